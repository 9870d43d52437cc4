// What the tool-position panel writes back to the host: the feedback status,
// a new frame, the tool's length, the job's feedback points and the frame
// feedback.
#include "toolpos/kvCToolPosDialog.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "host/object/kvPropAccess.h"
#include "toolpos/kvCCollisionCheck.h"
#include "toolpos/kvToolPlacement.h"

#include <cstdio>

namespace {

kvCString formatNumber(const wchar_t* format, double a, double b = 0.0)
{
    wchar_t text[160];
    std::swprintf(text, 160, format, a, b);
    return kvCString(text);
}

}  // namespace

void kvCToolPosDialog::resetFeedbackStatus()
{
    try {
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);
        kvIfPtr<kvISWParameter1> parameters(app.get());
        if (!parameters.isNull())
            parameters->setParameter(feedbackStatusName, 0);
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 24)");
    }
}

void kvCToolPosDialog::createFrameAtToolPosition()
{
    try {
        kvIfPtr<kvITwFrameSet1> frames(owner() ? static_cast<kvIUnknown*>(owner()->heldModel()) : nullptr);
        if (frames.isNull()) {
            setNote(kvCString(L"The model offers no frames: no frame was created"));
            return;
        }
        kvIfPtr<kvITwFrame1> frame;
        if (frames->createFrame(m_toolFrame.asDoubleMat(), &frame) != 0 || frame.isNull()) {
            setNote(kvCString(L"The model did not create the frame"));
            return;
        }
        newFrame = frame;
        wchar_t name[100] = {0};
        if (frame->getName(name, 100) != 0)
            name[0] = L'\0';
        name[99] = L'\0';
        setNote(kvCString(L"New frame ") + name + L" at the tool position");
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 19)");
    }
}

int kvCToolPosDialog::testWithLength(const kvToolDimensions& tool, double length)
{
    kvToolDimensions longer = tool;
    longer.length = length;
    kvCString problem;
    if (!sendTool(longer, problem))
        return -1;
    kvCdHit hit;
    const int result = m_check->test(m_toolFrame, &hit);
    if (result == 1 && hit.body != kvCdBodyHolder)
        return 2;  // the cutting part or the shank: a longer tool meets the same
    return result;
}

void kvCToolPosDialog::applyToolLength(double length)
{
    kvCPrPropertySet* tool = mpProp ? mpProp->getPropSet(kvKeyTool) : nullptr;
    if (tool)
        propSet(tool, kvKeyLength, length);
    m_appliedLength = length;
    redrawToolPosition(true, true);
}

void kvCToolPosDialog::optimizeToolLength(bool optimise)
{
    try {
        double offset = 0.0;
        propGet(mpProp, kvKeyToolLengthOffset, offset);
        if (!optimise) {
            if (m_freeLengthKnown)
                applyToolLength(m_freeLength + offset);
            return;
        }
        redrawToolPosition(true, false);
        if (!collisionReady() || !m_toolKnown) {
            setMessage(kvCString(L"The collision check is not ready: the tool length stays"));
            return;
        }
        const kvToolDimensions tool = m_tool;
        // A tool that still has the length the panel gave it is searched
        // from the free length found before, not from that length: its
        // offset is already in it, and each press would add it once more.
        const double from = m_freeLengthKnown && tool.length == m_appliedLength ? m_freeLength : tool.length;
        const kvToolLengthSearch search =
            kvSearchFreeToolLength(from, [&](double length) { return testWithLength(tool, length); });
        kvCString problem;
        switch (search.outcome) {
        case kvToolLengthSearch::found: {
            // A tool free at once has its own length as its free length: it
            // takes the offset as a lengthened one does, and a later offset
            // is applied to that length again.
            m_freeLengthKnown = true;
            m_freeLength = search.length;
            applyToolLength(search.length + offset);
            const bool freeAtItsOwn = search.tests == 1 && from == tool.length;
            setMessage(formatNumber(freeAtItsOwn ? L"The tool is free at its length %lg; length set to %lg"
                                                 : L"Free from tool length %lg; length set to %lg",
                                    search.length, search.length + offset));
            return;
        }
        case kvToolLengthSearch::gaveUp:
            sendTool(tool, problem);
            redrawToolPosition(false, true);
            setMessage(formatNumber(L"No free tool length up to %lg: the length stays %lg",
                                    from + kvToolLengthSearchLimit, tool.length));
            return;
        case kvToolLengthSearch::blocked:
            sendTool(tool, problem);
            redrawToolPosition(false, true);
            setMessage(kvCString(L"The cutting part or the shank collides: a longer tool does not clear it"));
            return;
        case kvToolLengthSearch::failed:
            sendTool(tool, problem);
            setMessage(kvCString(L"The collision test failed: the tool length stays"));
            return;
        }
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 20)");
    }
}

void kvCToolPosDialog::setToolAxisFeedbackPoints(kvIfPtr<kvITwCycleJobDef1> job)
{
    try {
        kvIfPtr<kvIGenericObject> generic(job.get());
        kvCPrPropertySet* settings = nullptr;
        if (generic.isNull() || generic->getPropertySet(&settings) != 0 || !settings)
            return;
        // The two points are one axis: the second is reckoned from the first,
        // so they are written together or not at all. Whether the job uses
        // feedback points is the job's setting, not the panel's to switch on.
        bool enabled = false, enabled2 = false;
        propGet(settings, kvKeyTFBPointEnable, enabled);
        propGet(settings, kvKeyTFBPointEnable2, enabled2);
        if (!enabled || !enabled2) {
            setNote(kvCString(L"The job's two tool feedback points are not both switched on: nothing was written"));
            return;
        }
        kvCGePoint first, second;
        kvToolFeedbackPoints(m_toolFrame, axialShiftSet ? axialShift : 0.0, first, second);
        propSet(settings, kvKeyTFBPoint, first);
        propSet(settings, kvKeyTFBPoint2, second);
        setNote(kvCString(L"The tool position is the job's tool feedback position"));
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 21)");
    }
}

void kvCToolPosDialog::updateFrameFeedback()
{
    try {
        const kvIfPtr<kvIDataSet1> setup = feedbackSettings();
        kvIfPtr<kvIFeedback1> feedback(setup.get());
        if (!feedback.isNull())
            feedback->setFrameFeedback(m_toolFrame.asDoubleMat());
    } catch (...) {
        showException(L"Exception in kvAnalyse (Plan 22)");
    }
}

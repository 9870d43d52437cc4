// The analysis window's part in mode 5: placing the job's tool when the
// window opens, the mode-5 buttons and menu commands, handing the mouse's
// turning of the tool to the page, and the tool-position steps of closing.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCMouseReactor.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"
#include "toolpos/kvCToolPosDialog.h"

#include <cmath>

namespace {

// The tool types whose feedback point lies half a diameter up the axis.
bool shiftsAlongAxis(short type, short toolRef)
{
    return (toolRef == 2 && type == 1) || type == 12;
}

}  // namespace

void kvCAnalyseDlg::placeToolFromJob(const kvIUnknownPtr& first)
{
    if (mode != 5)
        return;
    kvCGeMatrix F;
    propGet(&ownProperties, kvKeyFrameRef_Matrix, F);
    kvIfPtr<kvIGenericObject> generic(first.get());
    kvCPrPropertySet* job = nullptr;
    if (!jobDef.isNull() && !generic.isNull() && generic->getPropertySet(&job) == 0 && job) {
        propSet(&ownProperties, kvKeyTpPosManuell, false);
        propGet(job, kvKeyFrameRef_Matrix, F);
        const kvCPrPropertySet* tool = job->getPropSet(kvKeyTool);
        if (toolPosPanel) {
            toolPosPanel->axialShift = 0.0;
            toolPosPanel->axialShiftSet = false;
        }
        short type = 0, toolRef = 1;
        if (tool)
            propGet(tool, kvKeyType, type);
        propGet((type == 1 || type == 12) ? job : tool, kvKeyToolRef, toolRef);
        const bool shiftRule = shiftsAlongAxis(type, toolRef);
        double diameter = 0.0;
        if (tool)
            propGet(tool, kvKeyDiameter, diameter);
        auto storeShift = [&]() {
            if (toolPosPanel) {
                toolPosPanel->axialShift = -diameter / 2.0;
                toolPosPanel->axialShiftSet = true;
            }
        };

        kvCGePoint P, Q;
        bool enabled = false;
        if (propGet(job, kvKeyTFBPointEnable, enabled) && enabled && propGet(job, kvKeyTFBPoint, P)) {
            kvCGePoint origin;
            kvCGeVector x, y, z;
            F.getCoordSystem(origin, x, y, z);
            kvCGePoint tip = P;
            if (shiftRule) {
                storeShift();
                tip = P + z * (-diameter / 2.0);
            }
            F.setTranslation(tip);
        }
        bool enabled2 = false;
        if (propGet(job, kvKeyTFBPointEnable2, enabled2) && enabled2 && propGet(job, kvKeyTFBPoint2, Q) &&
            propGet(job, kvKeyTFBPoint, P) && (Q - P).length() > 1e-5) {
            kvCGeVector axis = Q - P;
            axis.normIt();
            kvCGePoint tip = P;
            if (shiftRule) {
                storeShift();
                tip = P + axis * (-diameter / 2.0);
            }
            F.setFromArbitraryAxis(axis);
            F.setTranslation(tip);
        }
    }
    // In mode 5 the pick marker places the tool in F.
    drawPickMarker(F, F);
    if (toolPosPanel)
        toolPosPanel->setupCollisionCheck(nullptr);
}

void kvCAnalyseDlg::beginMouseTurn(kvCGeMatrix turningPlane)
{
    if (!reactor)
        return;
    reactor->setMatrix(turningPlane);
    // The reactor drops a pick on the screen point of the pick before it as
    // a repeat; the pick that ends the turn often lands there (the user sets
    // the tool down where it was placed), and dropped, it would leave the
    // turn going and the turned tool unchecked.
    reactor->forgetLastPick();
}

bool kvCAnalyseDlg::toolPosMouseAngleActive()
{
    return toolPosPanel && toolPosPanel->isMouseAngleActive();
}

void kvCAnalyseDlg::toolPosFinishMouseAngle()
{
    if (toolPosPanel)
        toolPosPanel->finishMouseAngle();
}

void kvCAnalyseDlg::toolPosTurnToolByMouse(double x, double y)
{
    if (toolPosPanel)
        toolPosPanel->turnToolByMouse(x, y);
}

void kvCAnalyseDlg::toolPosTrackToolAxisWithMouse()
{
    if (toolPosPanel)
        toolPosPanel->trackToolAxisWithMouse();
}

void kvCAnalyseDlg::onToolLengthOptimisation()
{
    if (toolPosPanel)
        toolPosPanel->optimizeToolLength(true);
}

void kvCAnalyseDlg::onSetToolFeedbackPosition()
{
    if (toolPosPanel)
        toolPosPanel->setToolAxisFeedbackPoints(jobDef);
}

void kvCAnalyseDlg::onCreateLineInToolAxis()
{
    if (toolPosPanel)
        toolPosPanel->updateFrameFeedback();
}

void kvCAnalyseDlg::onToolLengthOffset(const wchar_t*)
{
    if (!toolPosPanel)
        return;
    toolPosPanel->optimizeToolLength(false);
    toolPosPanel->optimizeToolLength(false);
}

void kvCAnalyseDlg::closeToolPosition()
{
    if (mode == 5 && toolPosPanel)
        toolPosPanel->resetFeedbackStatus();
    if (jobDef.isNull() || !toolPosPanel || toolPosPanel->newFrame.isNull())
        return;
    kvIfPtr<kvIApplication1> app = application();
    KV_REQUIRE(!app.isNull(), L"pApp", kvUnitAnalyseUI);
    const kvCString question =
        kvCMsgEnt(L"twUiMain.loc|AnaFrameQ|Frame has been changed - Do want to use new frame for Job?")
            .getEntry(app.getIf());
    if (app->messageBox(1, question.c_str(), 0x8003) == 1) {
        kvIfPtr<kvIGenericObject> job(jobDef.get());
        if (!job.isNull())
            job->setReference(kvKeyFrameRef, toolPosPanel->newFrame.get(), 0);
    }
}

// The tool as the views show it: its bodies in the host's tool and holder
// colours, and the three turning handles in the colours a pick recognises.
#include "toolpos/kvCToolPosDialog.h"

#include "analyse/kvAnalyseKeys.h"
#include "toolpos/kvToolPlacement.h"

#include <algorithm>

namespace {

// The colour indices of the A, B and C handles (those of the X, Y and Z axes).
const int kHandleColourIndex[3] = {14, 94, 174};

}  // namespace

kvIfPtr<kvIDataSet1> kvCToolPosDialog::feedbackSettings()
{
    kvIfPtr<kvIAppDocument1> appDoc;
    if (execContext())
        execContext()->getAppDocument(&appDoc);
    kvIfPtr<kvIDataSet1> setup;
    if (!appDoc.isNull())
        appDoc->getDataSet(kvKeyFeedbacks, &setup);
    return setup;
}

void kvCToolPosDialog::releaseGraphics()
{
    toolGraphics.detach();
    handleGraphics.detach();
}

kvIfPtr<kvIBaseTmpGraphics> kvCToolPosDialog::newGraphics()
{
    kvIfPtr<kvIBaseTmpGraphics> group;
    kvIfPtr<kvIAppDocument1> appDoc;
    if (execContext())
        execContext()->getAppDocument(&appDoc);
    kvIfPtr<kvIBaseDocument1> baseDoc;
    if (!appDoc.isNull())
        appDoc->getBaseDocument(&baseDoc);
    if (!baseDoc.isNull())
        baseDoc->getTmpGraphics(&group);
    return group;
}

namespace {

bool sameTool(const kvToolDimensions& a, const kvToolDimensions& b)
{
    return a.diameter == b.diameter && a.length == b.length && a.cuttingLength == b.cuttingLength &&
           a.shaftDiameter == b.shaftDiameter && a.holderDiameter1 == b.holderDiameter1 &&
           a.holderLength1 == b.holderLength1 && a.holderDiameter2 == b.holderDiameter2 &&
           a.holderLength2 == b.holderLength2;
}

}  // namespace

void kvCToolPosDialog::drawTool()
{
    // The handles ring the axes their angles turn about.
    kvCGeMatrix handles[3];
    for (int axis = 0; axis < 3; ++axis)
        handles[axis] = turningPlane(axis);
    if (m_toolKnown && !toolGraphics.isNull() && !handleGraphics.isNull() && m_drawnFrame == m_toolFrame &&
        sameTool(m_drawnTool, m_tool) && std::equal(handles, handles + 3, m_drawnHandles))
        return;
    releaseGraphics();
    if (!m_toolKnown)
        return;
    m_drawnFrame = m_toolFrame;
    m_drawnTool = m_tool;
    std::copy(handles, handles + 3, m_drawnHandles);
    const kvIfPtr<kvIDataSet1> setup = feedbackSettings();
    const unsigned long toolColour = setup.isNull() ? 0xFFFFFF : setup->getColor(kvKeyColor_Tool);
    const unsigned long holderColour = setup.isNull() ? 0x808080 : setup->getColor(kvKeyColor_Toolholder);

    toolGraphics = newGraphics();
    kvIfPtr<kvITDTmpGraphicsExt> solids(toolGraphics.get());
    double reach = m_tool.diameter;
    if (!solids.isNull()) {
        for (const kvCdCylinder& body : kvToolCylinders(m_tool, 0.0)) {
            solids->drawCylinder(m_toolFrame.asDoubleMat(), body.radius, body.bottom, body.top,
                                 body.body == kvCdBodyHolder ? holderColour : toolColour);
            if (body.body != kvCdBodyHolder && 2.0 * body.radius > reach)
                reach = 2.0 * body.radius;
        }
        toolGraphics->setVisible(1);
    }

    // The handles ring the tool a little outside its cutting part.
    handleGraphics = newGraphics();
    kvIfPtr<kvITDTmpGraphicsExt> rings(handleGraphics.get());
    if (!rings.isNull()) {
        for (int axis = 0; axis < 3; ++axis) {
            kvCColor colour;
            colour.setFromAcadColorIndex(kHandleColourIndex[axis]);
            rings->drawCircle(handles[axis].asDoubleMat(), reach, colour.colorValue());
        }
        handleGraphics->setVisible(1);
    }
}

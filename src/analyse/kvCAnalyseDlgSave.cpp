// Saving a measurement into the model: the Save button raises the saving
// flag and redraws the shown result; every graphic drawn while the flag is
// up is also written into the model as CAD entities on the chosen layer and
// colour.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlg.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvMsgEnt.h"

namespace {

// The saving flag and the save's log, lowered and dropped again however the
// save ends: left up, every later pick would write into the model.
class SavingScope {
public:
    SavingScope(bool& flag, kvMeasurementLog*& log, kvMeasurementLog& own) : m_flag(flag), m_log(log)
    {
        m_flag = true;
        m_log = &own;
    }
    ~SavingScope()
    {
        m_flag = false;
        m_log = nullptr;
    }
    SavingScope(const SavingScope&) = delete;
    SavingScope& operator=(const SavingScope&) = delete;

private:
    bool& m_flag;
    kvMeasurementLog*& m_log;
};

// Told when the model did not take a measurement whole.
const wchar_t* const kSaveRefused =
    L"twUiCyc.loc|AnaSaveRefused|The model did not take the whole measurement: nothing was saved";
const wchar_t* const kSaveRefusedAndKept =
    L"twUiCyc.loc|AnaSaveRefusedKept|The model did not take the whole measurement, and kept part of it";

} // namespace

void kvCAnalyseDlg::onSaveMeasurement()
{
    // Redrawing the result releases the element-name graphic: whether the
    // name is shown is taken first.
    const bool nameShown = showInfoText && !graphics[gfxElementName].isNull();
    kvMeasurementLog log;
    SavingScope saving(savingMeasurement, saveLog, log);
    try {
        kvCString layer;
        unsigned long colour = 0;
        propGet(&ownProperties, kvKeyCadLayer, layer);
        propGet(&ownProperties, kvKeyCadColor, colour);
        saveStyle.layer = layer;
        saveStyle.colour = colour;
        saveStyle.useLayer = true;
        saveStyle.useColour = true;

        showResultGraphic(nullptr);
        if (nameShown) {
            kvCGeContour3d none;
            writeMeasurementToModel(&none, modelForWriting(), textFrame, elementNameText);
        }
        // A measurement is saved whole or not at all: what a refusing model
        // took is taken back, and the user is told.
        if (log.failed) {
            const bool takenBack = kvTakeBackMeasurement(modelForWriting(), log);
            kvIfPtr<kvIApplication1> app = application();
            kvShowAnalyseException(app, kvCMsgEnt(takenBack ? kSaveRefused : kSaveRefusedAndKept)
                                            .getEntry(app.getIf())
                                            .c_str());
        }
        clearResultGraphics(true);
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(19)");
    }
}

kvIfPtr<kvIBaseModel1> kvCAnalyseDlg::modelForWriting()
{
    kvIfPtr<kvIBaseDocument1> pBaseDoc;
    if (!mpExecContext.isNull())
        mpExecContext->getBaseDocument(&pBaseDoc);
    KV_REQUIRE(!pBaseDoc.isNull(), L"pBaseDoc");
    kvIUnknownPtr baseModel;
    pBaseDoc->getBaseModel(&baseModel);
    return kvIfPtr<kvIBaseModel1>(baseModel);
}

kvIUnknownPtr kvCAnalyseDlg::writeMeasurementToModel(kvCGeContour3d* contour, kvIfPtr<kvIBaseModel1> target,
                                                     kvCGeMatrix frame, const wchar_t* text)
{
    // A save the model refused once goes no further: it is taken back whole.
    if (saveLog && saveLog->failed)
        return kvIUnknownPtr();
    kvIfPtr<kvIBaseDocument1> baseDocument;
    if (!mpExecContext.isNull())
        mpExecContext->getBaseDocument(&baseDocument);
    try {
        return kvWriteMeasurement(baseDocument.get(), contour, target, frame, text, saveStyle, saveLog);
    } catch (wchar_t*) {
        // A text the model refused: its assertion has told the user, and the
        // save takes back what it wrote.
        if (!saveLog)
            throw;
    }
    return kvIUnknownPtr();
}

void kvCAnalyseDlg::writeResultDimensionToModel(const kvCGeContour3d& extension, const kvCGePoint& a,
                                                const kvCGePoint& b, const wchar_t* text,
                                                const kvCGeMatrix& textFrame,
                                                const std::vector<DrawnArrowhead>& arrowheads)
{
    kvIfPtr<kvIBaseModel1> target = modelForWriting();
    if (!extension.isEmpty()) {
        kvCGeContour3d extensionCopy = extension;
        writeMeasurementToModel(&extensionCopy, target, textFrame, nullptr);
    }
    kvCGeContour3d line;
    line.lineTo(a, 1).lineTo(b, 0);
    writeMeasurementToModel(&line, target, textFrame, text);
    // The arrowheads the view shows, no more and no fewer.
    for (const DrawnArrowhead& arrow : arrowheads) {
        kvCGePoint tip;
        kvCGeVector x, y, z;
        arrow.frame.getCoordSystem(tip, x, y, z);
        writeArrowheadToModel(target, z, tip, arrow.radius, arrow.height);
    }
}

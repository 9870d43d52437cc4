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

#include <string>
#include <vector>

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

// Told when the model did not take a measurement whole: that nothing of it
// stands in the model, or exactly what does.
const wchar_t* const kSaveRefused =
    L"twUiCyc.loc|AnaSaveRefused|The model did not take the whole measurement: nothing was saved";
const wchar_t* const kSaveRefusedAndKept =
    L"twUiCyc.loc|AnaSaveRefusedKept|The model did not take the whole measurement and holds of it";

// What stands in the model of a save, as the user is told it: each text by
// its own words, then how many lines and polylines.
std::wstring describeStanding(const std::vector<kvWrittenEntity>& standing, kvIApplication1* app)
{
    auto entry = [app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app).str(); };
    std::vector<std::wstring> parts;
    int lines = 0, polylines = 0;
    for (const kvWrittenEntity& e : standing) {
        if (e.kind == kvCadKindText)
            parts.push_back(entry(L"twUiCyc.loc|AnaSavedText|the text") + L" \"" + e.text + L"\"");
        else if (e.kind == kvCadKindLine)
            ++lines;
        else
            ++polylines;
    }
    if (lines)
        parts.push_back(std::to_wstring(lines) + L" " +
                        entry(lines == 1 ? L"twUiCyc.loc|AnaSavedLine|line" : L"twUiCyc.loc|AnaSavedLines|lines"));
    if (polylines)
        parts.push_back(std::to_wstring(polylines) + L" " +
                        entry(polylines == 1 ? L"twUiCyc.loc|AnaSavedPolyline|polyline"
                                             : L"twUiCyc.loc|AnaSavedPolylines|polylines"));
    std::wstring text = kvCMsgEnt(kSaveRefusedAndKept).getEntry(app).str() + L":";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? L", " : L" ") + parts[i];
    return text;
}

// The base document of the execution context, or empty.
kvIfPtr<kvIBaseDocument1> baseDocument(const kvIfPtr<kvIAppExecContext1>& context)
{
    kvIfPtr<kvIBaseDocument1> document;
    if (!context.isNull())
        context->getBaseDocument(&document);
    return document;
}

// The document's model, or empty (also without a document).
kvIfPtr<kvIBaseModel1> modelOf(const kvIfPtr<kvIBaseDocument1>& document)
{
    if (document.isNull())
        return kvIfPtr<kvIBaseModel1>();
    kvIUnknownPtr baseModel;
    document->getBaseModel(&baseModel);
    return kvIfPtr<kvIBaseModel1>(baseModel);
}

} // namespace

void kvCAnalyseDlg::onSaveMeasurement()
{
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
        // A model that cannot take a save back gets as much of it as it
        // takes; the user is told what it holds. Without a model nothing is
        // tried twice. (A missing base document is reported where the
        // measurement is written, not here.)
        const kvIfPtr<kvIBaseModel1> model = modelOf(baseDocument(mpExecContext));
        log.stopsAtRefusal = model.isNull() || !kvIfPtr<kvIBaseModelWithDelete>(model.get()).isNull();

        showResultGraphic(nullptr);
        // The name shown for the last pick is saved with every save of it,
        // though the previous save cleared its graphic from the view.
        if (elementNameShown) {
            kvCGeContour3d none;
            writeMeasurementToModel(&none, modelForWriting(), textFrame, elementNameText);
        }
        // A measurement is saved whole or not at all where the model can
        // take back what it took; the user is told what stands.
        if (log.failed) {
            const std::vector<kvWrittenEntity> standing = kvTakeBackMeasurement(model, log);
            kvIfPtr<kvIApplication1> app = application();
            const std::wstring told =
                standing.empty() ? kvCMsgEnt(kSaveRefused).getEntry(app.getIf()).str()
                                 : describeStanding(standing, app.getIf());
            kvShowAnalyseException(app, told.c_str());
        }
        clearResultGraphics(true);
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(19)");
    }
}

kvIfPtr<kvIBaseModel1> kvCAnalyseDlg::modelForWriting()
{
    const kvIfPtr<kvIBaseDocument1> pBaseDoc = baseDocument(mpExecContext);
    KV_REQUIRE(!pBaseDoc.isNull(), L"pBaseDoc", kvUnitAnalyseUI);
    return modelOf(pBaseDoc);
}

kvIUnknownPtr kvCAnalyseDlg::writeMeasurementToModel(kvCGeContour3d* contour, kvIfPtr<kvIBaseModel1> target,
                                                     kvCGeMatrix frame, const wchar_t* text)
{
    // A save the model refused once goes no further where it is taken back
    // whole.
    if (saveLog && saveLog->failed && saveLog->stopsAtRefusal)
        return kvIUnknownPtr();
    return kvWriteMeasurement(baseDocument(mpExecContext).get(), contour, target, frame, text, saveStyle, saveLog);
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

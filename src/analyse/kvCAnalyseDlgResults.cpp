// The measurement results of modes 1 and 2 as lines of the single-face
// panel's property control: types, colours and names as text lines, numeric
// results as check boxes of which at most one is ticked, and the CAD
// environment that saving a measurement needs.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "host/object/kvPropAccess.h"
#include "host/object/kvPropertyBag.h"
#include "sdk/kvAssert.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvTwRound.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

namespace {

struct NumericResult {
    int kind;
    const wchar_t* key;
    const wchar_t* label;
};

// The numeric result kinds with their keys and labels.
const NumericResult numericResults[] = {
    {4, kvKeyInfoAngle, L"twUiCyc.loc|Ang|Angle"},
    {5, kvKeyInfoDistance, L"twUiCyc.loc|AnaDistance|Distance"},
    {6, kvKeyInfoRadius, L"twUiCyc.loc|MacRadius|Radius"},
    {7, kvKeyInfoDiameter, L"twUiCyc.loc|HDia|Diameter"},
    {8, kvKeyInfoHoleDistance, L"twUiCyc.loc|AnaHoleDistance|Hole distance"},
    {9, kvKeyInfoPointDistance, L"twUiCyc.loc|AnaPointDistance|Point Distance"},
    {10, kvKeyInfoDiameter1, L"twUiCyc.loc|AnaDia1|Diameter1"},
    {11, kvKeyInfoDiameter2, L"twUiCyc.loc|AnaDia2|Diameter2"},
    {12, kvKeyInfoConeAngle, L"twUiCyc.loc|AnaConeAng|Cone Angle"},
    {13, kvKeyInfoDrillholeAngle, L"twUiCyc.loc|AnaHoleAng|Drill hole Angle"},
    {14, kvKeyInfoFaceholeAngle, L"twUiCyc.loc|AnaHoleAng|Drill hole Angle"},
    {15, kvKeyInfoAngledHoleDiff, L"twUiCyc.loc|AnaHoleOffset|Drill hole offset"},
    {16, kvKeyInfoHeight, L"twUiCyc.loc|AnaHeight|Cylinder height"},
    {17, kvKeyInfoMinRadius, L"twUiCyc.loc|AnaMinRadius|Min radius selection point"},
    {18, kvKeyInfoMinRadiusU, L"twUiCyc.loc|AnaMinRadiusU|Min radius U"},
    {19, kvKeyInfoMinRadiusV, L"twUiCyc.loc|AnaMinRadiusV|Min radius V"},
    {20, kvKeyInfoMaxRadius, L"twUiCyc.loc|AnaMaxRadius|Max radius"},
    {21, kvKeyInfoRadius1, L"twUiCyc.loc|AnaRadius1|Radius1"},
    {22, kvKeyInfoRadius2, L"twUiCyc.loc|AnaRadius2|Radius2"},
};

const NumericResult* numericResult(int kind)
{
    for (const NumericResult& r : numericResults)
        if (r.kind == kind)
            return &r;
    return nullptr;
}

// The result graphic kind a result key draws, 0 for none.
int graphicKindOf(const wchar_t* key)
{
    static const struct {
        const wchar_t* key;
        int kind;
    } table[] = {
        {kvKeyInfoDistance, 1},     {kvKeyInfoRadius, 6},       {kvKeyInfoRadius1, 14},
        {kvKeyInfoRadius2, 15},     {kvKeyInfoMinRadius, 10},   {kvKeyInfoMinRadiusU, 11},
        {kvKeyInfoMinRadiusV, 12},  {kvKeyInfoMaxRadius, 13},   {kvKeyInfoDiameter, 5},
        {kvKeyInfoHoleDistance, 3}, {kvKeyInfoPointDistance, 2}, {kvKeyInfoHeight, 4},
        {kvKeyInfoDiameter1, 5},    {kvKeyInfoDiameter2, 7},
    };
    for (const auto& entry : table)
        if (std::wcscmp(entry.key, key) == 0)
            return entry.kind;
    return 0;
}

const ePropCtrlType textLine = static_cast<ePropCtrlType>(15);
const ePropCtrlType checkBox = static_cast<ePropCtrlType>(5);
const ePropCtrlType plainValue = static_cast<ePropCtrlType>(0);

}  // namespace

double kvCAnalyseDlg::roundForDisplay(double value)
{
    if (std::fabs(value) > 100000.0)
        return 0.0;
    kvIfPtr<kvIAppDocument1> appDoc = appDocument();
    return twRound(appDoc.getIf(), value);
}

void kvCAnalyseDlg::showResultValue(int tag, int kind, double value)
{
    wchar_t text[valueTextSize];
    std::swprintf(text, valueTextSize, L"%lg", roundForDisplay(value));
    showResultProperties(tag, kind, text);
}

void kvCAnalyseDlg::showResultProperties(int, int kind, const wchar_t* text)
{
    try {
        kvIfPtr<kvIApplication1> app = application();
        if (mode == 5 && kind != -1 && kind != 100)
            return;
        selectListRowsOfResult(kind, text);
        if ((mode == 3 || mode == 4) && (kind == 1 || kind == 2))
            return;
        if (!text)
            text = L"";
        kvTPropertyBag<kvCProperty> bag;
        {
            std::wstring boolText = L" ";
            boolText += text;
            bag.setValue(L"UiBoolText", kvCString(boolText.c_str()), true);
        }
        kvCSingleFaceSelDialog* panel = singleFacePanel;
        if (!panel || !panel->GetSafeHwnd())
            return;
        auto entry = [&app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app.getIf()); };
        const bool first = pickIndex == 0 || pickIndex == -1;
        switch (kind) {
        case -1:
            clearResultDisplay();
            resultsShown = false;
            break;
        case 3: {
            const kvCString label = entry(L"twUiCyc.loc|AnaType|Type");
            propSet(&ownProperties, first ? kvKeyInfoType : kvKeyInfoType1, kvCString(text));
            panel->addProperty(L"FaceInfo", kvKeyInfoType, label.c_str(), textLine,
                               static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0), -1,
                               true);
            if (!first)
                panel->addProperty(L"FaceInfo1", kvKeyInfoType1, label.c_str(), textLine,
                                   static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                   -1, true);
            break;
        }
        case 1: {
            if (mode != 1)
                break;
            const kvCString label = entry(L"twUiCyc.loc|AnaColor|Color");
            propSet(&ownProperties, first ? kvKeyInfoColor : kvKeyInfoColor1, kvCString(text));
            panel->addProperty(L"FaceInfo", kvKeyInfoColor, label.c_str(), textLine,
                               static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0), -1,
                               true);
            if (!first)
                panel->addProperty(L"FaceInfo1", kvKeyInfoColor1, label.c_str(), textLine,
                                   static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                   -1, true);
            break;
        }
        case 2:
            if (text[0] == L'\0')
                break;
            if (first) {
                panel->addUiProperty(L"FaceInfo", kvKeyInfoShowText_, L"Name", checkBox, bag, true);
            } else {
                propSet(&ownProperties, kvKeyInfoText1_, kvCString(text));
                panel->addProperty(L"FaceInfo", kvKeyInfoText_, L"Name", textLine,
                                   static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                   -1, true);
                panel->addProperty(L"FaceInfo1", kvKeyInfoText1_, L"Name", textLine,
                                   static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                   -1, true);
            }
            break;
        case 100: {
            if (resultsShown) {
                kvIfPtr<kvIBaseSystem1> system;
                if (!mpExecContext.isNull())
                    mpExecContext->getBaseSystem(&system);
                kvIfPtr<kvITDSystem1> tdSystem(system.get());
                showControl(idSave, !tdSystem.isNull() && (mode == 1 || mode == 2));
                panel->addCategory(L"LayerColor", entry(L"twUiCyc.loc|CADenv|CAD environment").c_str(), true);
                kvTPropertyBag<kvCProperty> layerBag;
                layerBag.setValue(L"UiPropertyType", kvCString(L"UiLayerProperty"), true);
                layerBag.setValue(L"ValueType", kvCString(L"kvCString"), true);
                panel->addUiProperty(L"LayerColor", kvKeyCadLayer, entry(L"twUiCyc.loc|LayerLabel|Layer").c_str(),
                                     plainValue, layerBag, true);
                kvTPropertyBag<kvCProperty> colourBag;
                colourBag.setValue(L"UiPropertyType", kvCString(L"UiColorProperty"), true);
                colourBag.setValue(L"ValueType", kvCString(L"long"), true);
                panel->addUiProperty(L"LayerColor", kvKeyCadColor, entry(L"twUiCyc.loc|ColorLabel|Color").c_str(),
                                     plainValue, colourBag, true);
            } else {
                showControl(idSave, false);
            }
            panel->buildPropertyCtrl();
            break;
        }
        default:
            if (const NumericResult* r = numericResult(kind))
                panel->addUiProperty(L"General", r->key, entry(r->label).c_str(), checkBox, bag, true);
            break;
        }
        if (kind > 3 && kind < 100)
            resultsShown = true;
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(17)");
    }
}

void kvCAnalyseDlg::showResultGraphic(const wchar_t* key)
{
    try {
        if (mode == 5)
            return;
        clearResultGraphics(false);
        if (key) {
            // Keys come from the window's own tables, which live as long as
            // the module; a caller's text is matched to its table entry.
            const wchar_t* stored = nullptr;
            for (const NumericResult& r : numericResults)
                if (std::wcscmp(r.key, key) == 0)
                    stored = r.key;
            if (!stored && std::wcscmp(key, kvKeyInfoShowText_) == 0)
                stored = kvKeyInfoShowText_;
            lastResultKey = stored;
            // Ticking here must not come back as a user's tick: the other
            // results are unticked once, and the graphic is drawn once. The
            // element's name is not a result: its tick is the user's.
            const bool guarded = infoGuard;
            infoGuard = true;
            for (const NumericResult& r : numericResults)
                if (std::wcscmp(r.key, key) != 0)
                    propSet(&ownProperties, r.key, false);
            propSet(&ownProperties, key, true);
            infoGuard = guarded;
        }
        const wchar_t* used = key ? key : lastResultKey;
        if (!used)
            return;
        if (std::wcscmp(used, kvKeyInfoAngle) == 0) {
            drawMeasurementResults(secondVector, firstVector, secondPickPoint, firstPickPoint, 0);
        } else if (std::wcscmp(used, kvKeyInfoConeAngle) == 0) {
            showConeAngleGraphic(0);
        } else if (std::wcscmp(used, kvKeyInfoAngledHoleDiff) == 0) {
            showAngledHoleGraphic(false);
        } else if (std::wcscmp(used, kvKeyInfoFaceholeAngle) == 0) {
            showFaceHoleAngleGraphic();
        } else if (std::wcscmp(used, kvKeyInfoDrillholeAngle) == 0) {
            showDrillholeAngleGraphic();
        } else if (const int graphicKind = graphicKindOf(used)) {
            resultGraphicKind = graphicKind;
            drawAnalysisResults();
        }
        if (singleFacePanel)
            singleFacePanel->onPropertyChanged(used, true);
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(18)");
    }
}

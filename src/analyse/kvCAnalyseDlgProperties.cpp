// The analysis window's property table: the events it answers and the
// controls it binds, the default values written at every re-initialisation
// (with the settings kept from the last window), and the handlers of the
// property events.
#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvValueSets.h"

#include <cwchar>
#include <string>

namespace {

// The result switches of the property control, in the order they are cleared.
const wchar_t* const resultSwitches[] = {
    kvKeyInfoShowText_, kvKeyInfoAngle, kvKeyInfoDistance, kvKeyInfoRadius, kvKeyInfoDiameter,
    kvKeyInfoHoleDistance, kvKeyInfoPointDistance, kvKeyInfoDiameter1, kvKeyInfoDiameter2, kvKeyInfoConeAngle,
    kvKeyInfoDrillholeAngle, kvKeyInfoFaceholeAngle, kvKeyInfoAngledHoleDiff, kvKeyInfoHeight,
    kvKeyInfoMinRadius, kvKeyInfoMinRadiusU, kvKeyInfoMinRadiusV, kvKeyInfoMaxRadius, kvKeyInfoRadius1,
    kvKeyInfoRadius2,
};

}  // namespace

// ---------------------------------------------------------------- property tables

#define KV_ANA_HANDLER(h) &kvCAnalyseDlg::h

const KVPROP_DLGMSGMAP_ENTRY kvCAnalyseDlg::sMsgEntries[] = {
    KVPROP_DLGMSG_ENTRY(2, nullptr, KV_ANA_HANDLER(onAnyProperty)),
    KVPROP_DLGMSG_ENTRY(3, nullptr, KV_ANA_HANDLER(onAnyProperty)),
    KVPROP_DLGMSG_ENTRY(4, nullptr, KV_ANA_HANDLER(onAnyProperty)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyAnalyseMode, KV_ANA_HANDLER(onAnalyseModeChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoAngle, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoDistance, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoRadius, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoDiameter, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoHoleDistance, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoPointDistance, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoDiameter1, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoDiameter2, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoConeAngle, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoDrillholeAngle, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoFaceholeAngle, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoAngledHoleDiff, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoHeight, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoMinRadius, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoMinRadiusU, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoMinRadiusV, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoMaxRadius, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoRadius1, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoRadius2, KV_ANA_HANDLER(onInfoPropertyChanged)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyInfoShowText_, KV_ANA_HANDLER(onInfoShowText)),
    KVPROP_DLGMSG_ENTRY(2, kvKeyToolLengthOffset, KV_ANA_HANDLER(onToolLengthOffset)),
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCAnalyseDlg::sMessageMap = {&kvCDlgBase::sGetMessageMap, kvCAnalyseDlg::sMsgEntries};

const KVPROP_STDCTRL_ENTRY kvCAnalyseDlg::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_ENTRY_OF(kvCAnalyseDlg, modeList),
    KVPROP_STDCTRL_ENTRY_OF(kvCAnalyseDlg, cadAttribute),
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCAnalyseDlg::sStdCtrls = {&kvCDlgBase::sGetStdCtrls, kvCAnalyseDlg::sStdCtrlEntries};

const KVPROP_DLGMSGMAP* kvCAnalyseDlg::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCAnalyseDlg::getStdCtrls() const
{
    return &sStdCtrls;
}

void kvCAnalyseDlg::getLocFile(kvCString& file, kvCString&, kvCString&) const
{
    file = L"twUiCyc.loc";
}

// ---------------------------------------------------------------- defaults

void kvCAnalyseDlg::fillFaceColourTable(const kvCString& table)
{
    std::vector<std::wstring> itemsOfTable;
    const std::wstring& text = table.str();
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t bar = text.find(L'|', start);
        itemsOfTable.push_back(text.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    if (itemsOfTable.empty())
        return;
    kvIfPtr<kvIBaseDocWithColorSet> colourSet(m_pBaseDoc.get());
    while (faceColours.size() < 100) {
        for (const std::wstring& item : itemsOfTable) {
            wchar_t* end = nullptr;
            unsigned long colour = std::wcstoul(item.c_str(), &end, 0);
            if (item.empty() || !end || *end != L'\0')
                colour = 0xFF00FF;
            if (colour == elementColor || colour == 0xFFFBC9)
                colour = holderColour;
            if (!colourSet.isNull())
                colourSet->setColorSet(colour, &colour);
            faceColours.append(static_cast<unsigned int>(colour));
            faceColourUsed.append(true);
        }
    }
}

void kvCAnalyseDlg::reInitialize()
{
    kvIfPtr<kvIApplication1> app = application();
    kvIfPtr<kvIAppDocument1> appDoc = appDocument();
    appDoc->getBaseDocument(&m_pBaseDoc);
    KV_REQUIRE(!m_pBaseDoc.isNull(), L"m_pBaseDoc", kvUnitAnalyseUI);
    kvIfPtr<kvIDataSet1> setup = feedbacks(appDoc);

    holderColour = setup->getColor(kvKeyColor_Toolholder);
    frameColour = setup->getColor(kvKeyColor_Frame);
    toolColour = 0xFFFFFF;
    if (setup->getBool(kvKeyUseFLColorTable)) {
        kvCString table;
        if (setup->getString(kvKeyFLColorTable, table) == 0)
            fillFaceColourTable(table);
    }

    showPickPoint(true, 0.0, 0.0, 0.0);
    setPickIndex(0);
    setProperties(&ownProperties);

    const bool withJob = !jobDef.isNull();
    showInfoText = true;
    suspendEvents(true);
    try {
        kvCPrPropertySet* p = &ownProperties;
        propSet(p, kvKeyAnalyseType, 0);
        propSet(p, kvKeySurfaces, kvCSurfaceSet());
        propSet(p, kvKeyToolLengthOffset, 2.0);
        propSet(p, kvKeyTpPosUseframe, withJob);
        propSet(p, kvKeyTpPosUseface, !withJob);
        propSet(p, kvKeyTpPosManuell, false);
        propSet(p, kvKeyTpPosManuellAxis, false);
        propSet(p, kvKeyAAngle, 0.0);
        propSet(p, kvKeyBAngle, 0.0);
        propSet(p, kvKeyCAngle, 0.0);
        // A machine taken from the job on opening is kept.
        if (!p->hasProp(kvKeyMachine))
            propSet(p, kvKeyMachine, 0);
        propSet(p, kvKeyXCoordinate, 0.0);
        propSet(p, kvKeyYCoordinate, 0.0);
        propSet(p, kvKeyZCoordinate, 0.0);
        propSet(p, kvKeyAAngleMouse, false);
        propSet(p, kvKeyBAngleMouse, false);
        propSet(p, kvKeyCAngleMouse, false);
        propSet(p, kvKeyActionIncToolLength, false);
        propSet(p, kvKeyActionNewTool, false);
        propSet(p, kvKeyActionSearchTool, false);
        propSet(p, kvKeyToolCollisionCheck, 0);
        propSet(p, kvKeyStarPRECISION, 0.0);
        propSet(p, kvKeyMachineAngle, 1);
        propSet(p, kvKeyToolPosFrameMat, kvCGeMatrix());
        propSet(p, kvKeyToolPosFaceMat, kvCGeMatrix());
        propSet(p, kvKeySearchOptDiameter, 0.0);
        propSet(p, kvKeySearchOptDiameterTol, 0.0);
        propSet(p, kvKeySearchOptCornerRad, 0.0);
        propSet(p, kvKeySearchOptCornerRadTol, 0.0);
        propSet(p, kvKeyMinDiameter, 0.1);
        propSet(p, kvKeyMaxDiameter, 100.0);
        propSet(p, kvKeyDiameterSteps, 1.0);
        propSet(p, kvKeyAutoZoom, false);
        propSet(p, kvKeyMinAngle, 0.0);
        propSet(p, kvKeyMaxAngle, 90.0);
        propSet(p, kvKeyAngleSteps, 1.0);
        propSet(p, kvKeyShowKonkave, true);
        propSet(p, kvKeyShowKonvex, true);
        propSet(p, kvKeyShowUndercut, true);
        for (const wchar_t* key : resultSwitches)
            propSet(p, key, false);
        propSet(p, kvKeyInfoColor, kvCString());
        propSet(p, kvKeyInfoText_, kvCString());
        propSet(p, kvKeyInfoType, kvCString());
        propSet(p, kvKeyInfoColor1, kvCString());
        propSet(p, kvKeyInfoText1_, kvCString());
        propSet(p, kvKeyInfoType1, kvCString());
        propSet(p, kvKeyInfoCoordinate, kvCString());
        propSet(p, kvKeyCadLayer, kvCString(L"Analyse"));
        propSet(p, kvKeyCadColor, static_cast<unsigned long>(0x000000FF));
    } catch (...) {
        suspendEvents(false);
        throw;
    }
    suspendEvents(false);

    // Kept settings.
    const kvAnalyseLastSettings& last = kvAnalyseLastSettingsRecord();
    mode = last.mode;
    propSet(&ownProperties, kvKeyPosInc, 1.0);
    if (last.valid) {
        if (last.collisionValid) {
            // The key is an integer property: write it as one.
            propSet(&ownProperties, kvKeyToolCollisionCheck, last.toolCollisionCheck ? 1 : 0);
            propSet(&ownProperties, kvKeyStarPRECISION, last.precision);
        }
        // Any mode comes back as it was left, one the list has no entry
        // for too: the panel of such a mode is the single-face panel.
        int current = 0;
        propGet(&ownProperties, kvKeyAnalyseMode, current);
        if (current != mode)
            propSet(&ownProperties, kvKeyAnalyseMode, mode);
    }

    // The document's current layer becomes the layer of saved measurements.
    if (m_pBaseDoc->layerNameState() == 1) {
        wchar_t layer[100] = {0};
        if (m_pBaseDoc->getLayerName(layer, 100) == 0 && layer[0] != L'\0') {
            layer[99] = L'\0';
            ownProperties.disableUndo(true);
            kvCCadEntityData attributes;
            propGet(&ownProperties, kvKeyCadAttribute, attributes);
            attributes.setLayer(kvCString(layer));
            propSet(&ownProperties, kvKeyCadAttribute, attributes);
            ownProperties.disableUndo(false);
        }
    }

    setPickIndex(0);
    loadColorCatalog();
    setTitle();

    const bool invDoc = baseDocOffers(kvIfName<kvIInvDocument1>::value);
    if (GetDlgItem(idTransparent)) {
        ::EnableWindow(GetDlgItem(idTransparent)->GetSafeHwnd(), TRUE);
        setButtonIcon(idTransparent, 1009);
        showControl(idTransparent, !invDoc);
    }
    setButtonIcon(idClose, 1012);
    setButtonIcon(idHelp, 1013);
    setButtonIcon(idSave, 1001);
    showControl(idSave, false);
    setButtonIcon(idToolLength, 1014);

    kvCDlgBase::reInitialize();

    showResultProperties(0, -1, L"");
    drawAnalysisFrame();
    createModeSubDialog();
    onAnalyseModeChanged(kvKeyAnalyseMode);
}

// ---------------------------------------------------------------- property handlers

void kvCAnalyseDlg::onAnyProperty(const wchar_t* name)
{
    if (name && !std::wcsstr(name, kvKeySurfaces))
        return;
    planeDefined = 0;
    // A new selection starts a new pair; a plane first in it is its first element.
    firstElementKind = 0;
    kvCSurfaceSet surfaces;
    if (!propGet(&ownProperties, kvKeySurfaces, surfaces) || surfaces.count() == 0)
        return;
    kvCIUnknownData first;
    if (!surfaces.get(0, first) || !first.get())
        return;
    // Whether the face is a plane is the host's face library's judgement.
    kvCFeatureHelp feature;
    feature.clearCache();
    kvPoint3DRec point, normal, third;
    if (feature.isNurbsAsPlane(first.get(), point, normal, third)) {
        planeNormal = kvCGeVector(normal.x, normal.y, normal.z);
        planeNormal2 = planeNormal;
        planePoint = kvCGePoint(point.x, point.y, point.z);
        planeDefined = 1;
        recordSelectedPlaneAsFirstElement();
    }
}

void kvCAnalyseDlg::onInfoShowText(const wchar_t*)
{
    bool show = showInfoText;
    propGet(&ownProperties, kvKeyInfoShowText_, show);
    showInfoText = show;
    if (!showInfoText) {
        graphics[gfxElementName].detach();
        elementNameShown = false;
    } else {
        showElementNameText();
    }
}

void kvCAnalyseDlg::onInfoPropertyChanged(const wchar_t* key)
{
    if (infoGuard)
        return;
    infoGuard = true;
    uncheckOtherResults(key);
    showResultGraphic(key);
    infoGuard = false;
}

void kvCAnalyseDlg::uncheckOtherResults(const wchar_t* key)
{
    for (const wchar_t* k : resultSwitches) {
        if (key && std::wcscmp(k, key) == 0)
            continue;
        propSet(&ownProperties, k, false);
    }
}

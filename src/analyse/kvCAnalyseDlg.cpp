#include "analyse/kvCAnalyseDlg.h"

#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvAnalyseTemplates.h"
#include "analyse/kvCMouseReactor.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "host/kvExports.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvResourceCntxt.h"
#include "sdk/kvValueSets.h"
#include "toolpos/kvCToolPosDialog.h"

#include <cwchar>
#include <cwctype>
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

HINSTANCE moduleHandle()
{
    return kvplat::moduleFromAddress(reinterpret_cast<const void*>(&kvRegisterAnalyseTemplates));
}

kvAnalyseLastSettings g_lastSettings = {};

}  // namespace

kvAnalyseLastSettings& kvAnalyseLastSettingsRecord()
{
    return g_lastSettings;
}

bool kvCAnalyseDlg::isAnalysisMode(int m)
{
    return m >= 1 && m <= 5;
}

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

// ---------------------------------------------------------------- life cycle

kvCAnalyseDlg::kvCAnalyseDlg(CWnd* parent)
    : kvCDialog(IDD, parent),
      faceColours(0),
      faceColourUsed(0),
      modeList(kvKeyAnalyseMode, idModeList, -1,
               1, L"twUiCyc.loc|Ana1El|Analyse single element",
               2, L"twUiCyc.loc|Ana2El|Analyse two element",
               3, L"twUiCyc.loc|AnaRad|Radius analyse",
               4, L"twUiCyc.loc|AnaPlane|Plane analyse",
               5, L"twUiCyc.loc|AnaToolPos|Tool position analyse",
               -1),
      cadAttribute(kvKeyCadAttribute, idCadAttribute, 1)
{
    faceColours.setGrowBy(8);
    faceColourUsed.setGrowBy(8);
    lockModule();
    setProperties(&ownProperties);
}

kvCAnalyseDlg::~kvCAnalyseDlg()
{
    // Deleted while the window still exists (a host that gives up on a new
    // window): end the window without a second delete from its last message.
    destroyed = true;
    if (GetSafeHwnd())
        DestroyWindow();
    destroyPanels();
    disconnectMouseReactor();
    if (brush) {
        ::DeleteObject(brush);
        brush = nullptr;
    }
    unlockModule();
    // Whatever path ends the window, the document must not keep a pointer to it.
    try {
        unregisterFromDocument();
    } catch (...) {
    }
    setProperties(nullptr);
}

void kvCAnalyseDlg::unregisterFromDocument()
{
    if (mpExecContext.isNull())
        return;
    kvIfPtr<kvIAppDocument1> appDoc;
    mpExecContext->getAppDocument(&appDoc);
    if (!appDoc.isNull())
        appDoc->unregisterWindow(this);
}

void kvCAnalyseDlg::setModel(kvITarnwellModel1* pModel)
{
    model = pModel;
}

void kvCAnalyseDlg::getLastSettings(kvAnalyseLastSettings** settings)
{
    if (settings)
        *settings = &kvAnalyseLastSettingsRecord();
}

kvIfPtr<kvIApplication1> kvCAnalyseDlg::application() const
{
    kvIfPtr<kvIApplication1> app;
    if (!mpExecContext.isNull())
        mpExecContext->getApplication(&app);
    return app;
}

// The application document must exist whenever the window talks to the host.
kvIfPtr<kvIAppDocument1> kvCAnalyseDlg::appDocument() const
{
    kvIfPtr<kvIAppDocument1> appDoc;
    if (!mpExecContext.isNull())
        mpExecContext->getAppDocument(&appDoc);
    KV_REQUIRE(!appDoc.isNull(), L"pAppDoc");
    return appDoc;
}

// The host's "Feedbacks" settings: sizes and colours of what the window draws.
kvIfPtr<kvIDataSet1> kvCAnalyseDlg::feedbacks(const kvIfPtr<kvIAppDocument1>& appDoc) const
{
    kvIfPtr<kvIDataSet1> setup;
    appDoc->getDataSet(kvKeyFeedbacks, &setup);
    KV_REQUIRE(!setup.isNull(), L"pSetup");
    return setup;
}

bool kvCAnalyseDlg::baseDocOffers(const wchar_t* name) const
{
    if (m_pBaseDoc.isNull())
        return false;
    kvIUnknown* found = m_pBaseDoc.get()->queryInterface(name);
    if (!found)
        return false;
    found->release();
    return true;
}

// A bracket around long work that the document may offer.
namespace {
class LongOperation {
public:
    explicit LongOperation(const kvIfPtr<kvIBaseDocument1>& doc) : m_doc(doc.get())
    {
        if (!m_doc.isNull())
            m_doc->beginLongOperation();
    }
    ~LongOperation()
    {
        if (!m_doc.isNull())
            m_doc->endLongOperation();
    }

private:
    kvIfPtr<kvIInvDocument1> m_doc;
};
}  // namespace

// ---------------------------------------------------------------- opening

int kvCAnalyseDlg::openAnalysisDialog(CWnd* parent, kvIUnknownPtr first)
{
    kvCResourceCntxt scope(moduleHandle());
    kvRegisterAnalyseTemplates();
    jobDef = first.get();
    opened = false;
    ownProperties.setPropRef(kvKeyMillAreaRef, nullptr);
    if (!jobDef.isNull()) {
        mode = 5;
        kvAnalyseLastSettingsRecord().mode = 5;
        propSet(&ownProperties, kvKeyAnalyseMode, 5);
        takeJobReferences(first);
    }
    const BOOL created = Create(IDD, parent);
    resultsShown = false;
    if (created) {
        placeToolFromJob(first);
        installMouseReactor(kvCGeMatrix());
    }
    opened = true;
    return created;
}

// The job's machine and the sets its references point at become the window's
// own references, so that the panels read the job's frame, area and tool.
void kvCAnalyseDlg::takeJobReferences(const kvIUnknownPtr& first)
{
    kvIfPtr<kvIGenericObject> generic(first.get());
    if (generic.isNull())
        return;
    kvCPrPropertySet* job = nullptr;
    if (generic->getPropertySet(&job) != 0 || !job)
        return;
    kvCString machine;
    if (propGet(job, kvKeyMachine, machine))
        propSet(&ownProperties, kvKeyMachine, machine);
    for (const wchar_t* key : {kvKeyMillAreaRef, kvKeyFrameRef, kvKeyTool}) {
        if (kvCPrPropertySet* target = job->getPropSet(key))
            ownProperties.setPropRef(key, target);
    }
}

void kvCAnalyseDlg::reactivateAnalysisDialog(kvIUnknownPtr first)
{
    installMouseReactor(kvCGeMatrix());
    jobDef = first.get();
    if (!jobDef.isNull()) {
        mode = 5;
        kvAnalyseLastSettingsRecord().mode = 5;
        propSet(&ownProperties, kvKeyAnalyseMode, 5);
        // The new job's sets replace those of the job held before, which
        // may be gone once jobDef let go of it.
        takeJobReferences(first);
    }
    clearResultDisplay();
    onAnalyseModeChanged(kvKeyAnalyseMode);
    opened = true;
}

BOOL kvCAnalyseDlg::OnInitDialog()
{
    try {
        // The stand-in platform carries no icon resources: the buttons keep the
        // resource ids they would show (buttonIcon).
        enableToolTips();
        kvIfPtr<kvIApplication1> app = application();
        return kvCDialog::OnInitDialog();
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(9)");
        return FALSE;
    }
}

// One tooltip window for the buttons; it asks the window for each text
// (onToolTipText), so the texts follow the mode and the user's language.
void kvCAnalyseDlg::enableToolTips()
{
    if (toolTip || !GetSafeHwnd())
        return;
    toolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hWnd,
                                nullptr, nullptr, nullptr);
    if (!toolTip)
        return;
    for (int id : {idTransparent, idSave, idShowFaces, idNewFrame, idToolLength, idClose, idHelp}) {
        HWND button = ::GetDlgItem(m_hWnd, id);
        if (!button)
            continue;
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(button);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

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
    KV_REQUIRE(!m_pBaseDoc.isNull(), L"m_pBaseDoc");
    kvIfPtr<kvIDataSet1> setup = feedbacks(appDoc);

    holderColour = setup->getColor(kvKeyColor_Toolholder);
    frameColour = setup->getColor(kvKeyColor_Frame);
    toolColour = 0xFFFFFF;
    if (setup->getBool(kvKeyUseFLColorTable)) {
        kvCString table;
        if (setup->getString(kvKeyFLColorTable, table) == 0)
            fillFaceColourTable(table);
    }

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
        // Only one of the five modes is ever brought back.
        int current = 0;
        propGet(&ownProperties, kvKeyAnalyseMode, current);
        if (current != mode && isAnalysisMode(mode))
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

    loadColorCatalog();
    clearResultDisplay();
    drawAnalysisFrame();
    createModeSubDialog();
    onAnalyseModeChanged(kvKeyAnalyseMode);
}

void kvCAnalyseDlg::setTitle()
{
    if (!GetSafeHwnd())
        return;
    kvIfPtr<kvIApplication1> app = application();
    SetWindowText(kvCMsgEnt(L"twUiCyc.loc|AnaMain|Analyse faces").getEntry(app.getIf()).c_str());
}

// ---------------------------------------------------------------- controls

bool kvCAnalyseDlg::isChecked(int id) const
{
    return GetSafeHwnd() && GetDlgItem(id) && IsDlgButtonChecked(id) == BST_CHECKED;
}

void kvCAnalyseDlg::setChecked(int id, bool checked)
{
    if (GetSafeHwnd() && GetDlgItem(id))
        CheckDlgButton(id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void kvCAnalyseDlg::showControl(int id, bool show)
{
    if (!GetSafeHwnd())
        return;
    if (CWnd* c = GetDlgItem(id))
        c->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void kvCAnalyseDlg::setButtonIcon(int controlId, int icon)
{
    if (GetSafeHwnd() && GetDlgItem(controlId))
        buttonIcons[controlId] = icon;
}

int kvCAnalyseDlg::buttonIcon(int controlId) const
{
    auto it = buttonIcons.find(controlId);
    return it == buttonIcons.end() ? 0 : it->second;
}

kvCString kvCAnalyseDlg::toolTipText(int controlId) const
{
    const wchar_t* key = nullptr;
    switch (controlId) {
    case idTransparent: key = L"twUiMain.loc|MnFeatTransp|Transparent"; break;
    case idSave: key = L"twUiCyc.loc|AnaSave|Save result of measurement in model"; break;
    case idShowFaces:
        key = mode == 3 ? L"twUiCyc.loc|AnaShowRad|Show radien" : L"twUiCyc.loc|AnaShowFace|Show faces";
        break;
    case idNewFrame: key = L"twUiCyc.loc|AnaWrtFrame|Create new frame on tool position"; break;
    case idToolLength: key = L"twUiCyc.loc|AnaTlOpti|Tool length optimisation"; break;
    case idClose: key = L"twUiMain.loc|Cancel|Cancel"; break;
    case idHelp: key = L"twBase.loc|MnHlp|Help"; break;
    default: return kvCString();
    }
    kvIfPtr<kvIApplication1> app = application();
    return kvCMsgEnt(key).getEntry(app.getIf());
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
    if (!showInfoText)
        graphics[gfxElementName].detach();
    else
        showElementNameText();
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

// Clearing the results rebuilds the single-face panel's information, so a
// panel shown again for the other of its two modes shows that mode's
// categories.
void kvCAnalyseDlg::clearResultDisplay()
{
    if ((mode == 1 || mode == 2) && singleFacePanel && singleFacePanel->GetSafeHwnd())
        singleFacePanel->fillFaceInfo();
    resultsShown = false;
}

void kvCAnalyseDlg::clearResultGraphics(bool withPickMarkers)
{
    graphics[gfxElementName].detach();
    graphics[gfxMeasurement].detach();
    graphics[gfxResult].detach();
    if (withPickMarkers) {
        graphics[gfxPickMarker1].detach();
        graphics[gfxPickMarker2].detach();
    }
    if (toolPosPanel)
        toolPosPanel->releaseGraphics();
}

// ---------------------------------------------------------------- modes and panels

kvCDialog** kvCAnalyseDlg::panelSlot(int m)
{
    switch (m) {
    case 3:
    case 4:
        return &multiFacePanel;
    case 5:
        return reinterpret_cast<kvCDialog**>(&toolPosPanel);
    default:
        return reinterpret_cast<kvCDialog**>(&singleFacePanel);
    }
}

kvCDialog* kvCAnalyseDlg::panelForMode(int m) const
{
    return *const_cast<kvCAnalyseDlg*>(this)->panelSlot(m);
}

kvCDialog* kvCAnalyseDlg::newPanelForMode(int m, UINT& templateId)
{
    switch (m) {
    case 3:
    case 4:
        templateId = kvCMultiFaceSelDialog::IDD;
        return new kvCMultiFaceSelDialog();
    case 5:
        templateId = kvCToolPosDialog::IDD;
        return new kvCToolPosDialog();
    default:
        templateId = kvCSingleFaceSelDialog::IDD;
        return new kvCSingleFaceSelDialog();
    }
}

void kvCAnalyseDlg::hideOtherPanels(kvCDialog* keep)
{
    kvCDialog* all[] = {multiFacePanel, singleFacePanel, toolPosPanel};
    for (kvCDialog* panel : all) {
        if (panel && panel != keep && panel->GetSafeHwnd())
            panel->ShowWindow(SW_HIDE);
    }
}

void kvCAnalyseDlg::createModeSubDialog()
{
    // A panel is a child of the window: none before the window exists (the
    // mode may be set before, when a job opens the window).
    if (!GetSafeHwnd())
        return;
    kvIfPtr<kvIInvDocument1> inv(m_pBaseDoc.get());
    if (!inv.isNull())
        inv->beginLongOperation();
    try {
        KV_REQUIRE(mpProp, L"mpProp");
        propGet(mpProp, kvKeyAnalyseMode, mode);
        kvCResourceCntxt scope(moduleHandle());
        kvCDialog** slot = panelSlot(mode);
        bool isNew = false;
        UINT templateId = 0;
        if (!*slot) {
            *slot = newPanelForMode(mode, templateId);
            isNew = *slot != nullptr;
        }
        kvCDialog* panel = *slot;
        hideOtherPanels(panel);
        showControl(idPanelArea, false);
        if (panel && isNew) {
            panel->setExecContext(mpExecContext.getIf());
            panel->setProperties(mpProp);
            KV_REQUIRE(panel->Create(templateId, this), L"pNew->Create(id,this)");
            CRect area;
            if (CWnd* group = GetDlgItem(idPanelArea)) {
                group->GetWindowRect(&area);
                ScreenToClient(&area);
            }
            const UINT flags = SWP_NOZORDER | (panel->IsWindowVisible() ? 0 : SWP_NOREDRAW);
            panel->SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(), flags);
            panel->ShowWindow(SW_SHOWNA);
        } else if (panel) {
            panel->ShowWindow(SW_SHOW);
        }
        if (mode == 3 || mode == 4)
            showMultiFaceLists(isNew);
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(23)");
    }
    if (!inv.isNull())
        inv->endLongOperation();
}

void kvCAnalyseDlg::destroyPanels()
{
    kvCDialog** slots[] = {&multiFacePanel, reinterpret_cast<kvCDialog**>(&singleFacePanel),
                           reinterpret_cast<kvCDialog**>(&toolPosPanel)};
    for (kvCDialog** slot : slots) {
        kvCDialog* panel = *slot;
        *slot = nullptr;
        if (!panel)
            continue;
        if (panel->GetSafeHwnd())
            panel->DestroyWindow();
        delete panel;
    }
}

void kvCAnalyseDlg::onAnalyseModeChanged(const wchar_t*)
{
    kvIfPtr<kvIInvDocument1> inv(m_pBaseDoc.get());
    if (!inv.isNull())
        inv->beginLongOperation();
    try {
        if (mode == 5 && toolPosPanel)
            toolPosPanel->resetFeedbackStatus();
        if (isChecked(idTransparent)) {
            setChecked(idTransparent, false);
            onTransparentButton();
        }
        propGet(&ownProperties, kvKeyAnalyseMode, mode);
        createModeSubDialog();
        showControl(idTransparent, true);
        if (mode != 3 && mode != 4 && facesShown) {
            if (multiFacePanel) {
                if (isChecked(idTransparent)) {
                    setChecked(idTransparent, false);
                    transparent = false;
                }
                setChecked(idShowFaces, false);
                restoreGroupColours();
            }
            facesShown = false;
        }
        setPickIndex(-1);
        clearResultGraphics(true);
        planeDefined = 0;
        clearResultDisplay();
        switch (mode) {
        case 1: propSet(&ownProperties, kvKeyAnalyseType, 0); break;
        case 2: propSet(&ownProperties, kvKeyAnalyseType, 1); break;
        case 3: propSet(&ownProperties, kvKeyAnalyseType, 3); break;
        case 4: propSet(&ownProperties, kvKeyAnalyseType, 4); break;
        case 5:
            if (toolPosPanel)
                toolPosPanel->activatePage();
            break;
        default: break;
        }
        if (GetSafeHwnd()) {
            newFrameButton.Attach(idNewFrame, this);
            toolLengthButton.Attach(idToolLength, this);
        }
        if (baseDocOffers(kvIfName<kvIInvDocument1>::value))
            showControl(idTransparent, false);
        if (GetSafeHwnd() && GetDlgItem(idShowFaces))
            GetDlgItem(idShowFaces)->EnableWindow(TRUE);
        const bool toolPos = mode == 5;
        showControl(idNewFrame, toolPos);
        showControl(idToolLength, toolPos);
        showControl(idShowFaces, mode != 1 && mode != 2 && !toolPos);
        if (mode == 1)
            setButtonIcon(idShowFaces, 1010);
        else if (mode == 3)
            setButtonIcon(idShowFaces, 1008);
        else if (mode != 2 && !toolPos)
            setButtonIcon(idShowFaces, 1007);
        if (toolPos)
            setButtonIcon(idNewFrame, 1011);
        if (toolPos && !jobDef.isNull() && newFrameButton.GetSafeHwnd()) {
            kvIfPtr<kvIApplication1> app = application();
            HMENU menu = ::CreatePopupMenu();
            ::AppendMenuW(menu, MF_STRING, cmdToolFeedback,
                          kvCMsgEnt(L"twUiCyc.loc|TlFdback|Set as tool feedback position").getEntry(app.getIf()));
            ::AppendMenuW(menu, MF_STRING, cmdLineInToolAxis,
                          kvCMsgEnt(L"twUiCyc.loc|CrtZLin|Create line in tool axis").getEntry(app.getIf()));
            newFrameButton.SetRClickMenu(menu);
        }
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(11)");
    }
    if (!inv.isNull())
        inv->endLongOperation();
    layoutControls();
}

// ---------------------------------------------------------------- buttons

void kvCAnalyseDlg::onTransparentButton()
{
    if (mode == 1 || mode == 2 || mode == 5)
        setTransparency();
    else
        setTransparencyGroups();
}

void kvCAnalyseDlg::setTransparency()
{
    kvIfPtr<kvIBaseDocWithFeatureShowMode> showMode = transparencySwitch;
    if (showMode.isNull())
        showMode = m_pBaseDoc.get();
    if (showMode.isNull())
        return;
    transparent = isChecked(idTransparent);
    if (showMode->setFeatureShowMode(transparent ? 1 : 0, 1) != 0) {
        // The document did not switch: the flag follows the button back.
        setChecked(idTransparent, false);
        transparent = false;
    }
    if (transparent)
        transparencySwitch = showMode;
    else
        transparencySwitch.detach();
    kvIfPtr<kvIDataSet1> setup = feedbacks(appDocument());
    toolColour = setup->getColor(kvKeyColor_Tool);
    bottomColour = setup->getColor(kvKeyColor_Bottom);
}

void kvCAnalyseDlg::setTransparencyGroups()
{
    if (!baseDocOffers(kvIfName<kvIBaseDocWithFeatureShowMode>::value) || !GetSafeHwnd() ||
        !GetDlgItem(idTransparent))
        return;
    transparent = isChecked(idTransparent);
    if (transparent) {
        if (!isChecked(idShowFaces)) {
            setChecked(idShowFaces, true);
            onShowFacesButton();
        } else {
            showGroupFaces(false);
        }
    } else if (isChecked(idShowFaces)) {
        showGroupFaces(false);
    }
}

void kvCAnalyseDlg::showGroupFaces(bool clearResults)
{
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    (void)previous;
    kvIfPtr<kvIInvDocument1> inv(m_pBaseDoc.get());
    if (!inv.isNull())
        inv->beginLongOperation();
    if (clearResults) {
        clearResultDisplay();
        setPickIndex(-1);
    }
    if (baseDocOffers(kvIfName<kvIBaseDocWithAnalyseShowMode>::value) && GetSafeHwnd() && GetDlgItem(idShowFaces)) {
        facesShown = isChecked(idShowFaces);
        // The groups' faces are coloured by the multi-face panel; without it
        // there is nothing to show.
        if (facesShown && !colourGroupFaces()) {
            setChecked(idShowFaces, false);
            facesShown = false;
        }
    }
    if (!inv.isNull())
        inv->endLongOperation();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

void kvCAnalyseDlg::onShowFacesButton()
{
    if (mode == 5 && toolPosPanel)
        toolPosPanel->createFrameAtToolPosition();
    if (mode == 1 || mode == 2)
        onInfoShowText(kvKeyInfoShowText_);
    else if (mode != 5 && dynamic_cast<kvCMultiFaceSelDialog*>(multiFacePanel))
        static_cast<kvCMultiFaceSelDialog*>(multiFacePanel)->onDisplayTogglesChanged();
}

void kvCAnalyseDlg::showAnalysisHelp()
{
    try {
        KV_REQUIRE(!mpExecContext.isNull(), L"mpExecContext");
        kvIfPtr<kvIHelpContext1> help;
        mpExecContext->getHelpContext(&help);
        kvIfPtr<kvIApplication1> app = application();
        KV_REQUIRE(!app.isNull(), L"pApp");
        if (help.isNull()) {
            app->messageBox(0, L"No help available", 16);
            return;
        }
        help->clearContext();
        help->setContext(helpContext().c_str());
        help->setContext(L"Analysis");
        help->showHelp();
        help->clearContext();
    } catch (...) {
    }
}

bool kvCAnalyseDlg::onNcRButtonDown(UINT hitTest, POINT point)
{
    if (hitTest != HTCAPTION || !GetSafeHwnd())
        return false;
    CRect window;
    GetWindowRect(&window);
    const int middle = window.left + window.Width() / 2;
    if (point.x <= window.left || point.x >= middle)
        return false;
    if (::GetKeyState(VK_CONTROL) < 0)
        return false;
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(m_hWnd, focus))
        ::SendMessageW(focus, WM_KILLFOCUS, 0, 0);
    kvIfPtr<kvIApplication1> app = application();
    HMENU menu = ::CreatePopupMenu();
    ::InsertMenuW(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, idHelp,
                  kvCMsgEnt(L"twUiCyc.loc|PlbOpenHelp|Help").getEntry(app.getIf()));
    ::InsertMenuW(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    ::InsertMenuW(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, idClose,
                  kvCMsgEnt(L"twBase.loc|MnClose|End").getEntry(app.getIf()));
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    // The command may end the window: nothing of this object is touched after it.
    if (command != 0)
        ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return true;
}

// ---------------------------------------------------------------- layout

void kvCAnalyseDlg::layoutControls()
{
    if (!GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(&client);
    const int W = client.Width();
    auto height = [this](int id) {
        CRect r;
        if (CWnd* c = GetDlgItem(id))
            c->GetWindowRect(&r);
        return r.Height();
    };
    auto place = [this](int id, int left, int top, int right, int bottom) {
        if (CWnd* c = GetDlgItem(id))
            c->SetWindowPos(nullptr, left, top, right - left, bottom - top, SWP_NOZORDER);
    };
    showControl(idClose, false);
    showControl(idHelp, false);
    place(idTopGroup, 4, 4, W - 4, height(idTopGroup) + 4);
    place(idModeList, 16, 25, W - 105, height(idModeList) + 25);
    if (!baseDocOffers(kvIfName<kvIInvDocument1>::value))
        place(idTransparent, W - 70, 25, W - 70 + 24, height(idTransparent) + 25);
    for (int id : {idShowFaces, idNewFrame, idSave})
        place(id, W - 40, 25, W - 40 + 24, height(id) + 25);
    place(idToolLength, W - 100, 25, W - 100 + 24, height(idToolLength) + 25);
    for (int id : {idClose, idHelp}) {
        CRect r;
        if (CWnd* c = GetDlgItem(id))
            c->GetWindowRect(&r);
        const int left = id == idClose ? W / 2 - 40 : W / 2 + 10;
        const int bottom = client.bottom - 10;
        place(id, left, bottom - r.Height(), left + r.Width(), bottom);
    }
    place(idPanelArea, 4, 60, W - 4, client.bottom - 50);

    CRect area(4, 60, W - 4, client.bottom - 50);
    kvCDialog* panels[] = {multiFacePanel, singleFacePanel, toolPosPanel};
    for (kvCDialog* panel : panels) {
        if (!panel || !panel->GetSafeHwnd())
            continue;
        panel->SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(), SWP_NOZORDER);
        if (panel != multiFacePanel) {
            CRect inner;
            panel->GetClientRect(&inner);
            if (CWnd* group = panel->GetDlgItem(1080))
                group->SetWindowPos(nullptr, 0, 0, inner.Width(), inner.Height(), SWP_NOZORDER);
        }
    }
}

void kvCAnalyseDlg::drawAnalysisFrame()
{
    kvIfPtr<kvIDataSet1> setup = feedbacks(appDocument());
    feedbackSize = setup->getDouble(kvKeySize);
    kvCGeMatrix frame;
    propGet(&ownProperties, kvKeyFrameRef_Matrix, frame);
    graphics[gfxFrame].detach();
    if (!m_pBaseDoc.isNull())
        m_pBaseDoc->getTmpGraphics(&graphics[gfxFrame]);
    if (!graphics[gfxFrame].isNull()) {
        graphics[gfxFrame]->drawCs(frame.asDoubleMat(), 0.9 * feedbackSize, frameColour, frameColour, frameColour,
                                   1);
        graphics[gfxFrame]->setVisible(1);
    }
    ++frameDraws;
}

// ---------------------------------------------------------------- mouse

void kvCAnalyseDlg::installMouseReactor(kvCGeMatrix frame)
{
    if (!mouseEvents.isNull() && reactor)
        return;
    kvIfPtr<kvIMouseEvents1> events(m_pBaseDoc.get());
    if (events.isNull())
        return;
    mouseEvents = events;
    if (!reactor) {
        reactor = new kvCMouseReactor();
        reactor->addRef();
        reactor->setPickFilter(false, false, false, true);
        reactor->setCallbacks(&kvCAnalyseDlg::onMousePick, &kvCAnalyseDlg::onMouseMove, frame, this);
    }
    mouseEvents->addReactor(reactor);
}

void kvCAnalyseDlg::disconnectMouseReactor()
{
    try {
        if (!mouseEvents.isNull() && reactor)
            mouseEvents->removeReactor(reactor);
        mouseEvents.detach();
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(15)");
    }
    // The window's own reference goes with the connection.
    if (reactor) {
        kvCMouseReactor* r = reactor;
        reactor = nullptr;
        r->release();
    }
}

void kvCAnalyseDlg::setMouseReactorMatrix(kvCGeMatrix frame)
{
    if (reactor)
        reactor->setMatrix(frame);
}

void kvCAnalyseDlg::onMousePick(void* userData, const double* point, const double* position2d, int onObject,
                                const double* normal, kvIUnknown* hitObject, const double* viewDirection, bool flag)
{
    kvCAnalyseDlg* self = static_cast<kvCAnalyseDlg*>(userData);
    if (!self || !point || !position2d)
        return;
    PickRecord& r = self->pickRecord;
    ++r.count;
    r.point = kvCGePoint(point);
    r.position2d[0] = position2d[0];
    r.position2d[1] = position2d[1];
    r.onObject = onObject;
    r.hasNormal = normal != nullptr;
    r.normal = normal ? kvCGeVector(normal) : kvCGeVector();
    self->analyseElementAtPick(point, position2d, onObject != 0, normal, hitObject, viewDirection, flag);
}

void kvCAnalyseDlg::onMouseMove(void* userData, double x, double y)
{
    kvCAnalyseDlg* self = static_cast<kvCAnalyseDlg*>(userData);
    if (!self)
        return;
    ++self->pickRecord.moves;
    self->pickRecord.movePosition[0] = x;
    self->pickRecord.movePosition[1] = y;
    self->forwardMouseMove(x, y);
}

// ---------------------------------------------------------------- window messages

void kvCAnalyseDlg::OnOK()
{
    // Return never closes the window.
}

BOOL kvCAnalyseDlg::PreTranslateMessage(MSG* msg)
{
    // Return is kept from the controls and from the dialog's default button.
    // Only keyboard messages carry a key code in wParam; other messages whose
    // wParam happens to be 13 (a timer id, mouse-button flags) pass.
    if (msg && msg->wParam == VK_RETURN &&
        (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_CHAR))
        return TRUE;
    return kvCDialog::PreTranslateMessage(msg);
}

BOOL kvCAnalyseDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == BN_CLICKED) {
        switch (id) {
        case idSave: onSaveMeasurement(); return TRUE;
        case idTransparent: onTransparentButton(); return TRUE;
        case idShowFaces:
        case idNewFrame: onShowFacesButton(); return TRUE;
        case idToolLength: onToolLengthOptimisation(); return TRUE;
        case cmdToolFeedback: onSetToolFeedbackPosition(); return TRUE;
        case cmdLineInToolAxis: onCreateLineInToolAxis(); return TRUE;
        case idHelp: showAnalysisHelp(); return TRUE;
        case idClose: OnCancel(); return TRUE;
        default: break;
        }
    }
    return kvCDialog::OnCommand(wParam, lParam);
}

BOOL kvCAnalyseDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == TTN_GETDISPINFOW) {
        if (!mpExecContext.isNull()) {
            NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            if (info->uFlags & TTF_IDISHWND) {
                const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
                const kvCString text = toolTipText(id);
                if (!text.isEmpty()) {
                    std::wcsncpy(info->szText, text.c_str(), 79);
                    info->szText[79] = L'\0';
                    info->lpszText = info->szText;
                }
            }
        }
        if (result)
            *result = 0;
        return TRUE;
    }
    return kvCDialog::OnNotify(wParam, lParam, result);
}

BOOL kvCAnalyseDlg::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == 1) {
            KillTimer(1);
            toolPosTrackToolAxisWithMouse();
            if (result)
                *result = 0;
            return TRUE;
        }
        break;
    case WM_NCRBUTTONDOWN: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (onNcRButtonDown(static_cast<UINT>(wParam), pt)) {
            if (result)
                *result = 0;
            return TRUE;
        }
        break;
    }
    case WM_HELP:
        showAnalysisHelp();
        if (result)
            *result = TRUE;
        return TRUE;
    case WM_SIZE: {
        const BOOL handled = kvCDialog::OnWndMsg(msg, wParam, lParam, result);
        layoutControls();
        return handled;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnCancel();
            if (result)
                *result = 0;
            return TRUE;
        }
        break;
    case WM_CLOSE:
        OnCancel();
        if (result)
            *result = 0;
        return TRUE;
    default:
        break;
    }
    return kvCDialog::OnWndMsg(msg, wParam, lParam, result);
}

// ---------------------------------------------------------------- closing

void kvCAnalyseDlg::OnCancel()
{
    kvIfPtr<kvIInvDocument1> inv(m_pBaseDoc.get());
    if (!inv.isNull())
        inv->beginLongOperation();
    try {
        closeToolPosition();
        kvAnalyseLastSettings& last = kvAnalyseLastSettingsRecord();
        last.valid = true;
        if (isAnalysisMode(mode))
            last.mode = mode;
        if ((mode == 3 || mode == 4) && (facesShown || transparent))
            restoreGroupColours();
        if (transparent) {
            kvIfPtr<kvIBaseDocWithFeatureShowMode> showMode = transparencySwitch;
            if (showMode.isNull())
                showMode = m_pBaseDoc.get();
            if (!showMode.isNull())
                showMode->setFeatureShowMode(0, 1);
        }
        transparencySwitch.detach();
        disconnectMouseReactor();
        clearResultGraphics(true);
        resultsShown = false;
        kvIfPtr<kvIBaseDocWithAnalyseShowMode> analyseShowMode(m_pBaseDoc.get());
        if (!analyseShowMode.isNull())
            analyseShowMode->setAnalyseShowMode(0);
        opened = false;
        showControl(idSave, false);
        propSet(&ownProperties, kvKeySurfaces, kvCSurfaceSet());
        emptyGroupLists();
        // The window object may be gone after this.
        if (GetSafeHwnd())
            DestroyWindow();
    } catch (...) {
        kvIfPtr<kvIApplication1> app = application();
        kvShowAnalyseException(app, L"Exception in kvAnalyse(10)");
    }
    if (!inv.isNull())
        inv->endLongOperation();
}

void kvCAnalyseDlg::OnDestroy()
{
    ShowWindow(SW_HIDE);
    // Panels and the brush belong to the window and go with it on every close.
    destroyPanels();
    if (toolTip) {
        ::DestroyWindow(toolTip);
        toolTip = nullptr;
    }
    if (brush) {
        ::DeleteObject(brush);
        brush = nullptr;
    }
    if (!model.isNull()) {
        model->onAnalysisClosed();
        try {
            kvIfPtr<kvIHelpContext1> help;
            if (!mpExecContext.isNull())
                mpExecContext->getHelpContext(&help);
            KV_REQUIRE(!help.isNull(), L"pHelpContext");
            help->onWindowClosed();
        } catch (...) {
        }
        model.detach();
    }
    try {
        unregisterFromDocument();
    } catch (...) {
    }
    kvCDialog::OnDestroy();
}

void kvCAnalyseDlg::PostNcDestroy()
{
    kvCDialog::PostNcDestroy();
    // The window's last message ends the object, unless the object is being
    // deleted already and ended the window itself.
    if (!destroyed)
        delete this;
}

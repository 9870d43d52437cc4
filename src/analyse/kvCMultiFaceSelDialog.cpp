#include "analyse/kvCMultiFaceSelDialog.h"

#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "analyse/kvDialogToolTips.h"
#include "analyse/kvMultiFaceSupport.h"
#include "analyse/kvMultiFaceTemplates.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvAssert.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvResourceCntxt.h"

#include <algorithm>
#include <cwchar>

using namespace kv::ui::atl::layout;

#define KV_PANEL_HANDLER(f) &kvCMultiFaceSelDialog::f

const KVPROP_DLGMSGMAP_ENTRY kvCMultiFaceSelDialog::sMsgEntries[] = {
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyMinDiameter, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyMaxDiameter, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyDiameterSteps, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyMinAngle, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyMaxAngle, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyAngleSteps, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyShowKonkave, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyShowKonvex, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyShowUndercut, KV_PANEL_HANDLER(onFilterChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeySurfaces, KV_PANEL_HANDLER(onSurfacesChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_REMOVED, kvKeyFrameRef, KV_PANEL_HANDLER(onFrameChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_RESTRICTIONS, kvKeyFrameRef, KV_PANEL_HANDLER(onFrameChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyFrameRef, KV_PANEL_HANDLER(onFrameChanged)),
    KVPROP_DLGMSG_ENTRY(KVPROP_EVT_VALUECHANGED, kvKeyFrameRef_Matrix, KV_PANEL_HANDLER(onFrameChanged)),
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCMultiFaceSelDialog::sMessageMap = {&kvCDlgBase::sGetMessageMap,
                                                             kvCMultiFaceSelDialog::sMsgEntries};
const KVPROP_STDCTRL_ENTRY kvCMultiFaceSelDialog::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCMultiFaceSelDialog::sStdCtrls = {&kvCDlgBase::sGetStdCtrls,
                                                         kvCMultiFaceSelDialog::sStdCtrlEntries};

kvCMultiFaceSelDialog::kvCMultiFaceSelDialog() : kvCDialog(IDD, nullptr), m_layout(-1, -1)
{
}

kvCMultiFaceSelDialog::~kvCMultiFaceSelDialog()
{
    // Faces still painted when the panel goes (the window closed without
    // switching the colouring off) get their own colours back: nobody else
    // knows them.
    if (!m_savedColours.empty())
        selectAndColourFaces(false, false, false, kvGroupColouring());
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
    // The lists are the panel's: they go with it, windows first.
    for (kvCMultiSelListDialog* list :
         {static_cast<kvCMultiSelListDialog*>(m_radiusList.get()), static_cast<kvCMultiSelListDialog*>(m_planeList.get())})
        if (list && list->GetSafeHwnd())
            list->DestroyWindow();
}

const KVPROP_DLGMSGMAP* kvCMultiFaceSelDialog::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCMultiFaceSelDialog::getStdCtrls() const
{
    return &sStdCtrls;
}

void kvCMultiFaceSelDialog::getLocFile(kvCString& file, kvCString&, kvCString&) const
{
    file = L"twUiCyc.loc";
}

kvCString kvCMultiFaceSelDialog::helpContext() const
{
    return kvCString(kvModePanelHelpKey);
}

int kvCMultiFaceSelDialog::currentMode() const
{
    int mode = 0;
    if (m_mainDialog)
        propGet(m_mainDialog->properties(), kvKeyAnalyseMode, mode);
    else
        propGet(mpProp, kvKeyAnalyseMode, mode);
    return mode;
}

kvCMultiSelListDialog* kvCMultiFaceSelDialog::currentList() const
{
    switch (currentMode()) {
    case 3: return m_radiusList.get();
    case 4: return m_planeList.get();
    default: return nullptr;
    }
}

BOOL kvCMultiFaceSelDialog::Create(UINT templateId, CWnd* parent)
{
    m_mainDialog = dynamic_cast<kvCAnalyseDlg*>(parent);
    kvRegisterMultiFaceTemplates();
    const BOOL created = kvCDialog::Create(templateId, parent);
    kvIdentifyPanel(m_hWnd, templateId);
    return created;
}

BOOL kvCMultiFaceSelDialog::OnInitDialog()
{
    try {
        if (CWnd* placeholder = GetDlgItem(kvIDC_PANEL_PROPERTIES))
            ReplaceCtrl(placeholder->GetSafeHwnd());
        NodeBuilder builder(m_hWnd);
        builder.begin(makeNode(builder, rootNodeId, keepClipChildren | horizontal | sizeX));
        builder.add(makeListCtrlNode(builder, kvIDC_PANEL_PROPERTIES, sizeX));
        builder.end();
        if (builder.ok())
            m_layout.attach(m_hWnd, builder.root(), builder.gripId());
        m_layout.onSize(m_hWnd, 0);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse (2)");
    }
    const BOOL result = kvCDialog::OnInitDialog();
    if (!m_toolTip)
        m_toolTip = kvCreateDialogToolTips(m_hWnd, {kvIDC_PANEL_BORDER, kvIDC_PANEL_PROPERTIES});
    return result;
}

BOOL kvCMultiFaceSelDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (msg) {
    case WM_SIZE:
        m_layout.onSize(m_hWnd, static_cast<UINT>(wParam));
        if (result)
            *result = 0;
        return TRUE;
    case WM_TIMER:
        onAnalysisTimer(static_cast<UINT_PTR>(wParam));
        if (result)
            *result = 0;
        return TRUE;
    case WM_NOTIFY:
        if (lParam && onToolTipText(reinterpret_cast<NMHDR*>(lParam))) {
            if (result)
                *result = 0;
            return TRUE;
        }
        break;
    default:
        break;
    }
    return kvCDialog::OnWndMsg(msg, wParam, lParam, result);
}

bool kvCMultiFaceSelDialog::onToolTipText(NMHDR* header)
{
    if (header->code != TTN_NEEDTEXTW)
        return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (!execContext() || !m_mainDialog || !(info->uFlags & TTF_IDISHWND))
        return true;
    CWnd* button = m_mainDialog->GetDlgItem(kvCAnalyseDlg::idShowFaces);
    if (!button || reinterpret_cast<HWND>(header->idFrom) != button->GetSafeHwnd())
        return true;
    kvIfPtr<kvIApplication1> app;
    execContext()->getApplication(&app);
    const kvCString text = kvCMsgEnt(L"twUiCyc.loc|AnaShowAllRad|Show analysed radien").getEntry(app.getIf());
    std::wcsncpy(info->szText, text.c_str(), 79);
    info->szText[79] = L'\0';
    return true;
}

// ---------------------------------------------------------------- lists and page

void kvCMultiFaceSelDialog::createListDialogs(bool)
{
    try {
        const int mode = currentMode();
        buildAnalysisInfoPage();
        kvCResourceCntxt scope(kvMultiFaceModule());
        kvCMultiSelListDialog* show = nullptr;
        bool first = false;
        if (!m_radiusList) {
            m_planeList.reset(new kvCMultiSelPlanDialog());
            m_radiusList.reset(new kvCMultiSelRadiusDialog());
        }
        if (mode == 3) {
            first = m_radiusListPending;
            m_radiusListPending = false;
            if (m_planeList->GetSafeHwnd())
                m_planeList->ShowWindow(SW_HIDE);
            show = m_radiusList.get();
        } else {
            first = m_planeListPending;
            m_planeListPending = false;
            if (m_radiusList->GetSafeHwnd())
                m_radiusList->ShowWindow(SW_HIDE);
            show = m_planeList.get();
        }
        CWnd* place = GetDlgItem(kvIDC_PANEL_LISTPLACE);
        if (place)
            place->ShowWindow(SW_HIDE);
        if (first) {
            show->setExecContext(execContext());
            show->setProperties(mpProp);
            KV_REQUIRE(show->Create(kvIDD_MULTISELLIST, this), L"pNew->Create(id,this)", kvUnitAnalyseUI);
            CRect area;
            if (place) {
                place->GetWindowRect(&area);
                ScreenToClient(&area);
            }
            const UINT flags = SWP_NOZORDER | (show->GetSafeHwnd() ? 0 : SWP_NOREDRAW);
            show->SetWindowPos(nullptr, area.left, area.top, area.Width(), area.Height(), flags);
            show->ShowWindow(SW_SHOWNA);
        } else {
            show->ShowWindow(SW_SHOW);
        }
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(3)");
    }
}

void kvCMultiFaceSelDialog::placeListDialogs()
{
    if (!GetSafeHwnd())
        return;
    CRect border;
    GetClientRect(&border);
    if (CWnd* frame = GetDlgItem(kvIDC_PANEL_BORDER))
        frame->SetWindowPos(nullptr, border.left, border.top, border.Width(), border.Height(),
                            SWP_NOZORDER | SWP_NOACTIVATE);
    const int width = std::max(0, border.Width() - 2 * listMargin);
    const int height = std::max(0, border.Height() - listTop - listMargin);
    for (kvCMultiSelListDialog* list :
         {static_cast<kvCMultiSelListDialog*>(m_radiusList.get()), static_cast<kvCMultiSelListDialog*>(m_planeList.get())})
        if (list && list->GetSafeHwnd())
            list->SetWindowPos(nullptr, border.left + listMargin, border.top + listTop, width, height,
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

void kvCMultiFaceSelDialog::buildAnalysisInfoPage()
{
    try {
        kvCTwPropertyCtrlBase::reInitialize();
        kvIfPtr<kvIApplication1> app;
        if (execContext())
            execContext()->getApplication(&app);
        auto text = [&app](const wchar_t* key) { return kvCMsgEnt(key).getEntry(app.getIf()); };
        auto kind = [](int k) { return static_cast<ePropCtrlType>(k); };
        auto add = [&](const wchar_t* category, const wchar_t* key, const wchar_t* label, int k) {
            addProperty(category, key, text(label).c_str(), kind(k), static_cast<nCads::eGeoAssociateType>(0),
                        static_cast<nCads::eParameterType>(0), -1, true);
        };
        const tw::cfg::SurfaceAttributes faces(64, true, false, kvCString(L"Job"));
        const int mode = currentMode();
        if (mode == 3) {
            addCategory(L"General", text(L"twUiCyc.loc|AnaRadInfo|Radius info").c_str(), true);
            addSrfSetProperty(L"General", kvKeySurfaces, text(L"twUiCyc.loc|SelSrfs|Faces").c_str(), kind(12), faces,
                              false);
            add(L"General", kvKeyMinDiameter, L"twUiCyc.loc|AnaMinRad|Minimal radius", 1);
            add(L"General", kvKeyMaxDiameter, L"twUiCyc.loc|AnaMaxRad|Maximal radius", 1);
            add(L"General", kvKeyDiameterSteps, L"twUiCyc.loc|AnaSteps|Steps", 1);
            addCategory(L"Filter", text(L"twUiCyc.loc|AnaFilter|+Filter").c_str(), false);
            add(L"Filter", kvKeyFrameRef, L"twUiMain.loc|Frm|Frame", 10);
            add(L"Filter", kvKeyShowKonkave, L"twUiCyc.loc|AnaConcave|Show concave radien", 5);
            add(L"Filter", kvKeyShowKonvex, L"twUiCyc.loc|AnaConvex|Show convex radien", 5);
            add(L"Filter", kvKeyShowUndercut, L"twUiCyc.loc|AnaUndercut|Show undercut radien", 5);
            addCategory(L"LayerColor", text(L"twUiCyc.loc|CADenv1|CAD environment").c_str(), false);
            kvTPropertyBag<kvCProperty> layerLine;
            layerLine.setValue(L"UiPropertyType", kvCString(L"UiLayerColorProperty"), true);
            addUiProperty(L"LayerColor", kvKeyCadLayer, text(L"twUiCyc.loc|LayerLabel|Layer").c_str(), kind(0),
                          layerLine, false);
        } else if (mode == 4) {
            addCategory(L"General", text(L"twUiCyc.loc|AnaFaceInfo|Plan info").c_str(), true);
            addSrfSetProperty(L"General", kvKeySurfaces, text(L"twUiCyc.loc|SelSrfs|Faces").c_str(), kind(12), faces,
                              false);
            add(L"General", kvKeyFrameRef, L"twUiMain.loc|Frm|Frame", 10);
            add(L"General", kvKeyMinAngle, L"twUiCyc.loc|AnaMinAngle|Minimal angle", 1);
            add(L"General", kvKeyMaxAngle, L"twUiCyc.loc|AnaMaxAngle|Maximal angle", 1);
            add(L"General", kvKeyAngleSteps, L"twUiCyc.loc|AnaSteps|Steps", 1);
        }
        build(mpExecContext, mpProp, m_hWnd, true);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(4)");
    }
}

// ---------------------------------------------------------------- filters, frame, toggles

void kvCMultiFaceSelDialog::evaluateAndColour(bool evaluateList)
{
    if (!m_mainDialog)
        return;
    kvCMultiSelListDialog* list = currentList();
    // The list follows its range and steps in every document: a list left
    // grouped by the old steps would show groups the panel no longer asks
    // for. Only the colouring depends on the analyse show mode.
    const bool evaluated = !list || !evaluateList || list->evaluate();
    if (!m_mainDialog->baseDocOffers(kvIfName<kvIBaseDocWithAnalyseShowMode>::value) ||
        !m_mainDialog->GetDlgItem(kvCAnalyseDlg::idShowFaces))
        return;
    m_mainDialog->facesShown = m_mainDialog->isChecked(kvCAnalyseDlg::idShowFaces);
    if (list && evaluated && m_mainDialog->facesShown && colourCurrentList(true, true) != 0)
        m_mainDialog->setChecked(kvCAnalyseDlg::idShowFaces, false);
}

void kvCMultiFaceSelDialog::onFilterChanged(const wchar_t*)
{
    kvLongOperation busy(execContext());
    // The handler runs inside the property control: whatever fails here ends
    // here, and the long operation still ends.
    try {
        if (m_mainDialog)
            m_mainDialog->clearResultGraphics(true);
        evaluateAndColour(true);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(24)");
    }
}

void kvCMultiFaceSelDialog::onFrameChanged(const wchar_t* name)
{
    const int mode = currentMode();
    if (mode != 3 && mode != 4)
        return;
    if (m_mainDialog)
        m_mainDialog->drawAnalysisFrame();
    onFilterChanged(name);
}

void kvCMultiFaceSelDialog::refreshAnalysisDisplay(int)
{
    kvLongOperation busy(execContext());
    try {
        if (m_mainDialog && m_mainDialog->resultsShown && m_mainDialog->clearResultsOnRefresh) {
            m_mainDialog->clearResultDisplay();
            m_mainDialog->clearResultGraphics(true);
        }
        evaluateAndColour(false);
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(25)");
    }
}

bool kvCMultiFaceSelDialog::onDisplayTogglesChanged()
{
    kvLongOperation busy(execContext());
    try {
        if (!m_mainDialog)
            return true;
        // The flags follow the buttons in every document: without the analyse
        // show mode they would keep the state of the last run, and switching
        // the faces off would paint them again while the button shows them off.
        m_mainDialog->transparent = m_mainDialog->isChecked(kvCAnalyseDlg::idTransparent);
        if (m_mainDialog->GetDlgItem(kvCAnalyseDlg::idShowFaces))
            m_mainDialog->facesShown = m_mainDialog->isChecked(kvCAnalyseDlg::idShowFaces);
        if (!currentList())
            return true;
        const int r = colourCurrentList(m_mainDialog->facesShown, false);
        if (!m_mainDialog->facesShown)
            m_mainDialog->setChecked(kvCAnalyseDlg::idTransparent, false);
        if (r != 0) {
            m_mainDialog->setChecked(kvCAnalyseDlg::idShowFaces, false);
            return false;
        }
    } catch (...) {
        kvShowAnalyseException(execContext(), L"Exception in kvAnalyse(6)");
    }
    return true;
}

// The analysis window's controls: the row of icon buttons with their
// tooltips, the caption's title and menu, help, and the layout of the
// buttons and the panel area when the window's size changes.
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCAnalyseDlgInternal.h"

#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvDialogToolTips.h"
#include "sdk/kvMsgEnt.h"
#include "toolpos/kvCToolPosDialog.h"

using kvAnalyseDlgInternal::LongOperation;

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

// One tooltip window for the buttons; it asks the window for each text
// (onToolTipText), so the texts follow the mode and the user's language.
void kvCAnalyseDlg::enableToolTips()
{
    if (toolTip || !GetSafeHwnd())
        return;
    toolTip = kvCreateDialogToolTips(m_hWnd, {idTransparent, idSave, idShowFaces, idNewFrame, idToolLength, idClose,
                                              idHelp});
}

void kvCAnalyseDlg::setTitle()
{
    if (!GetSafeHwnd())
        return;
    kvIfPtr<kvIApplication1> app = application();
    SetWindowText(kvCMsgEnt(L"twUiCyc.loc|AnaMain|Analyse faces").getEntry(app.getIf()).c_str());
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
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    {
        LongOperation busy(m_pBaseDoc);
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
    }
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
        KV_REQUIRE(!mpExecContext.isNull(), L"mpExecContext", kvUnitAnalyseUI);
        kvIfPtr<kvIHelpContext1> help;
        mpExecContext->getHelpContext(&help);
        kvIfPtr<kvIApplication1> app = application();
        KV_REQUIRE(!app.isNull(), L"pApp", kvUnitAnalyseUI);
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
        if (auto* multiFace = dynamic_cast<kvCMultiFaceSelDialog*>(panel)) {
            multiFace->placeListDialogs();
        } else {
            CRect inner;
            panel->GetClientRect(&inner);
            if (CWnd* group = panel->GetDlgItem(1080))
                group->SetWindowPos(nullptr, 0, 0, inner.Width(), inner.Height(), SWP_NOZORDER);
        }
    }
}

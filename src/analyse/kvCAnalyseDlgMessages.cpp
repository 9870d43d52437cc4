// The analysis window's messages: commands of the buttons and the caption
// menu, tooltip texts, the keyboard's Return, the mouse-turning timer,
// resizing and the ways of closing.
#include "analyse/kvCAnalyseDlg.h"

#include <cwchar>

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

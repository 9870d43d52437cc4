#include "ui/atl/dv/CheckBox.h"

#include "ui/atl/ColorButton.h"
#include "ui/atl/Menu.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

CheckBox::CheckBox(const ControlColorsPtr& colors) : atl::Button(colors), m_updating(false), m_background(noColor)
{
    m_toolTipPolicy.setColors(colors);
}

CheckBox::~CheckBox() = default;

HWND CheckBox::create(HWND parent, const RECT& rect, const wchar_t* text, UINT id, DWORD style)
{
    return atl::Button::create(parent, rect, text, style, BS_AUTOCHECKBOX | WS_TABSTOP, id);
}

HWND CheckBox::createInPlace(const Placeholder& placeholder, const wchar_t* text)
{
    return create(placeholder.parent, placeholder.rect, text, placeholder.id, placeholder.style);
}

void CheckBox::setToolTipText(const std::wstring& text)
{
    m_toolTipPolicy.setToolTipText(inner(), m_texts[textToolTip], text);
}

void CheckBox::redisplay(unsigned flags)
{
    if ((flags & showQuietly) && inner()) {
        const bool was = m_updating;
        if (flags & showHolding)
            m_updating = true;
        ::SendMessageW(inner(), BM_SETCHECK, (!isNull() && m_value) ? BST_CHECKED : BST_UNCHECKED, 0);
        m_updating = was;
    }
    if ((flags & showRedraw) && inner())
        InvalidateRect(inner(), nullptr, TRUE);
}

void CheckBox::innerCreated(HWND inner)
{
    // What the inner button does when it is created: tooltip, the parent's
    // font, and the check from the field's value without a notification.
    m_toolTipPolicy.registerWindow(inner, hasTexts());
    ::SendMessageW(inner, WM_SETFONT, ::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0), 1);
    m_updating = true;
    ::SendMessageW(inner, BM_SETCHECK, (!isNull() && m_value) ? BST_CHECKED : BST_UNCHECKED, 0);
    m_updating = false;
}

BOOL CheckBox::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    switch (msg) {
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (GetStyle() & WS_DISABLED) {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        } else if (m_colors) {
            result = reinterpret_cast<LRESULT>(m_colors->controlColor(dc, m_fieldState, false, 0));
        } else {
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == inner() && inner()) {
            if (!m_updating) {
                takeValue(::SendMessageW(inner(), BM_GETCHECK, 0, 0) == BST_CHECKED);
                valueChanged(m_name, m_fieldState, getValue());
            }
            result = forwarding() ? forwardToParent() : 0;
            return TRUE;
        }
        break;
    default:
        break;
    }
    return atl::Button::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
}

BOOL CheckBox::processInnerMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    m_toolTipPolicy.ProcessWindowMessage(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->code == TTN_GETDISPINFOW) {
            m_toolTipPolicy.onGetDispInfo(reinterpret_cast<NMTTDISPINFOW*>(lParam), m_texts);
            result = 0;
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        m_toolTipPolicy.unregisterWindow(hwnd, hasTexts());
        if (m_fieldState & statePending) {
            m_fieldState &= ~statePending;
            writeValue();
        }
        result = m_impl.DefWindowProc();
        return TRUE;
    case WM_KILLFOCUS:
        result = m_impl.DefWindowProc();
        lostFocus(m_name);
        return TRUE;
    case WM_ERASEBKGND:
        if (m_background == noColor)
            return FALSE;
        {
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT client;
            ::GetClientRect(hwnd, &client);
            const COLORREF old = SetBkColor(dc, m_background & 0xFFFFFF);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
            SetBkColor(dc, old);
        }
        result = 1;
        return TRUE;
    case WM_CONTEXTMENU:
        showResetMenu(lParam);
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

void CheckBox::showResetMenu(LPARAM lParam)
{
    HWND button = inner();
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x < 0 || at.y < 0) {
        // Opened from the keyboard: below the middle of the check box.
        RECT client;
        ::GetClientRect(button, &client);
        at = POINT{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ClientToScreen(button, &at);
    }
    IntrusivePtr<Menu> menu = Menu::createPopup();
    if (!menu)
        return;
    const std::wstring text = libraryString(idResetText);
    menu->appendItem(text.c_str(), idResetCommand, nullptr);
    if (!(m_fieldState & (stateModified | stateDisplay1)))
        menu->EnableMenuItem(0, MF_BYPOSITION | MF_GRAYED);
    if (menu->trackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, button) == idResetCommand)
        restoreValue();
}

void CheckBox::OnFinalMessage(HWND) { finalMessage(m_name); }

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/ColorButtonDlg.h"

#include "platform/afx.h"
#include "ui/atl/ColorButton.h"
#include "ui/atl/PrivateMessages.h"
#include "ui/atl/ResourceStrings.h"

#include <algorithm>

namespace kv {
namespace ui {
namespace atl {

namespace {

ColorButtonDlg* g_open = nullptr;

RECT childRect(HWND child, HWND parent)
{
    RECT r{0, 0, 0, 0};
    if (!child)
        return r;
    ::GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

ColorButtonDlg* ColorButtonDlg::open() { return g_open; }
void ColorButtonDlg::setOpen(ColorButtonDlg* popup) { g_open = popup; }

ColorButtonDlg::ColorButtonDlg(HWND owner)
    : m_owner(owner), m_notifyId(0), m_anyColor(false), m_preview(nullptr), m_more(nullptr), m_color(dv::noColor),
      m_closing(false)
{
}

ColorButtonDlg::~ColorButtonDlg()
{
    if (g_open == this)
        g_open = nullptr;
}

HWND ColorButtonDlg::owner() const { return ::IsWindow(m_owner) ? m_owner : ::GetParent(m_hWnd); }

void ColorButtonDlg::setColor(dv::ComColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_grid.setColor(color);
    if (m_preview)
        InvalidateRect(m_preview, nullptr, FALSE);
}

void ColorButtonDlg::setAnyColor(bool any)
{
    if (any == m_anyColor)
        return;
    m_anyColor = any;
    if (m_grid.m_hWnd) {
        m_grid.setAnyColor(any);
        m_grid.setColor(m_color);
        layout();
    }
}

void ColorButtonDlg::layout()
{
    if (!m_grid.m_hWnd)
        return;
    int cellWidth = 16, cellHeight = 16;
    RECT units{0, 0, 14, 14};
    if (MapDialogRect(m_hWnd, &units))
        cellWidth = cellHeight = units.bottom - units.top;
    RECT window, client;
    ::GetWindowRect(m_grid.m_hWnd, &window);
    ::GetClientRect(m_grid.m_hWnd, &client);
    const int frameWidth = (window.right - window.left) - (client.right - client.left);
    const int frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
    const int width = m_grid.columns() * cellWidth + frameWidth;
    const int height = m_grid.rows() * cellHeight + frameHeight;
    int dx = width - (window.right - window.left);
    const int dy = height - (window.bottom - window.top);
    const RECT more = childRect(m_more, m_hWnd);
    const RECT preview = childRect(m_preview, m_hWnd);
    if (dx < 0 && m_more && m_preview)
        dx = std::max(dx, static_cast<int>(more.right + 4 - preview.left));
    RECT popup;
    ::GetWindowRect(m_hWnd, &popup);
    SetWindowPos(m_hWnd, nullptr, 0, 0, popup.right - popup.left + dx, popup.bottom - popup.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_more)
        SetWindowPos(m_more, nullptr, more.left, more.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_preview)
        SetWindowPos(m_preview, nullptr, preview.left + dx, preview.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_grid.m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ColorButtonDlg::place()
{
    RECT ownerRect, popup;
    if (!::GetWindowRect(owner(), &ownerRect) || !::GetWindowRect(m_hWnd, &popup))
        return;
    const int w = popup.right - popup.left, h = popup.bottom - popup.top;
    int x = ownerRect.left, y = ownerRect.bottom;
    if (y + h > GetSystemMetrics(SM_CYSCREEN))
        y = ownerRect.top - h;
    if (x + w > GetSystemMetrics(SM_CXSCREEN))
        x = ownerRect.right - w;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ColorButtonDlg::commit()
{
    m_closing = true;
    const UINT id = m_notifyId ? m_notifyId : static_cast<UINT>(GetDlgCtrlID());
    HWND self = m_hWnd;
    ::SendMessageW(owner(), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(self));
    if (::IsWindow(self))
        close(IDOK);
}

void ColorButtonDlg::close(int result)
{
    if (g_open == this) {
        HWND ownerWindow = owner();
        ::DestroyWindow(m_hWnd);  // the object may be gone after this
        if (::IsWindow(ownerWindow))
            SetFocus(ownerWindow);
    } else {
        EndDialog(result);
    }
}

BOOL ColorButtonDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                          DWORD)
{
    processModelessMessage(hwnd, msg, wParam, lParam, result);
    switch (msg) {
    case WM_INITDIALOG:
        m_grid.setAnyColor(m_anyColor);
        m_grid.setColor(m_color);
        if (m_grid.replaceDlgItem(hwnd, idColorGrid)) {
            m_grid.setAnyColor(m_anyColor);
            m_grid.setColor(m_color);
        }
        m_preview = GetDlgItem(hwnd, idColorPreview);
        m_more = GetDlgItem(hwnd, idMoreColors);
        layout();
        place();
        if (m_grid.m_hWnd)
            SetFocus(m_grid.m_hWnd);
        result = 0;
        return TRUE;
    case msgGetOwner:
        result = reinterpret_cast<LRESULT>(owner());
        return TRUE;
    case msgSetOwner:
        m_owner = reinterpret_cast<HWND>(lParam);
        result = 0;
        return TRUE;
    case WM_DRAWITEM: {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!dis || dis->hwndItem != m_preview)
            return FALSE;
        // The preview shows the nearest solid colour in every mode; only the
        // grid fills its cells with a solid brush in any-colour mode.
        const unsigned flags = (dis->itemState & (ODS_SELECTED | ODS_FOCUS | ODS_HOTLIGHT)) ? unsigned(cellHot) : 0u;
        drawColorCell(dis->hDC, dis->rcItem, m_color, flags);
        result = TRUE;
        return TRUE;
    }
    case WM_NCACTIVATE:
        if (wParam == 0 && !m_closing) {
            m_closing = true;
            close(IDCANCEL);
        }
        result = 1;
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            const dv::ComColor chosen = m_grid.getColor();
            if (chosen != dv::noColor)
                m_color = chosen;
            commit();
            return TRUE;
        }
        case IDCANCEL:
            m_closing = true;
            close(IDCANCEL);
            return TRUE;
        case idColorGrid:
            m_color = m_grid.getColor();
            commit();
            return TRUE;
        case idColorPreview:
            commit();
            return TRUE;
        case idMoreColors:
            ::PostMessageW(owner(), WM_COMMAND, MAKEWPARAM(idMoreColors, 0), reinterpret_cast<LPARAM>(hwnd));
            m_closing = true;
            if (g_open == this)
                close(idMoreColors);
            else
                EndDialog(idMoreColors);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void ColorButtonDlg::OnFinalMessage(HWND)
{
    if (g_open == this) {
        g_open = nullptr;
        delete this;
    }
}

ColorButtonDlg* openColorPopup(HWND owner, dv::ComColor color, bool anyColor, UINT notifyId)
{
    if (ColorButtonDlg* popup = ColorButtonDlg::open()) {
        popup->setColor(color);
        popup->setAnyColor(anyColor);
        popup->setNotifyId(notifyId);
        ::ShowWindow(popup->m_hWnd, SW_RESTORE);
        return popup;
    }
    if (!::IsWindow(owner))
        return nullptr;
    auto* popup = new ColorButtonDlg(owner);
    ColorButtonDlg::setOpen(popup);
    popup->setColor(color);
    popup->setAnyColor(anyColor);
    popup->setNotifyId(notifyId);
    // The template lives in a resource module of the library's list; it is the
    // current resource module while the popup is made.
    HINSTANCE holder = findResourceModule(MAKEINTRESOURCEW(idColorPaletteDialog), RT_DIALOG);
    HINSTANCE previous = AfxGetResourceHandle();
    if (holder)
        AfxSetResourceHandle(holder);
    HWND hwnd = holder ? popup->Create(idColorPaletteDialog, owner) : nullptr;
    AfxSetResourceHandle(previous);
    if (!hwnd) {
        if (ColorButtonDlg::open() == popup) {
            ColorButtonDlg::setOpen(nullptr);
            delete popup;
        }
        return nullptr;
    }
    ::ShowWindow(hwnd, SW_SHOW);
    return popup;
}

} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/PushButtonBase.h"

#include <algorithm>
#include <cwctype>

namespace kv {
namespace ui {
namespace atl {

namespace {

const unsigned kPushed = BST_PUSHED;
const unsigned kFocus = BST_FOCUS;

} // namespace

PushButtonBase::PushButtonBase()
    : m_kind(pushButton), m_font(nullptr), m_state(0), m_savedState(0), m_hot(false), m_tracking(false),
      m_trackChecked(false), m_default(false), m_wantChar(false)
{
}

PushButtonBase::~PushButtonBase() = default;

HWND PushButtonBase::create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, UINT id)
{
    // The library's controls are visible children that clip their neighbours.
    style |= controlTraits;
    return Create(windowClassName(), parent, rect, text, style | WS_CHILD, 0, id);
}

void PushButtonBase::redraw()
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

HFONT PushButtonBase::currentFont()
{
    return m_font ? m_font : reinterpret_cast<HFONT>(DefWindowProc(WM_GETFONT, 0, 0));
}

bool PushButtonBase::inside(LPARAM lParam) const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

void PushButtonBase::setCheck(unsigned check)
{
    const unsigned old = m_state;
    m_state = (m_state & ~3u) | (check & 3u);
    if (isCheckKind() || isRadioKind())
        m_state = (m_state & 3u) == 1 ? (m_state | kPushed) : (m_state & ~kPushed);
    if (m_state != old)
        redraw();
}

BOOL PushButtonBase::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    result = 0;
    switch (msg) {
    case WM_CREATE:
        result = onCreate(lParam);
        return TRUE;
    case WM_PAINT:
        onPaint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (lParam == 1)
            redraw();
        return TRUE;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(m_font ? m_font : reinterpret_cast<HFONT>(DefWindowProc()));
        return TRUE;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        if (!text)
            return TRUE;
        if (m_text != text) {
            m_text = text;
            DefWindowProc();  // keeps the platform's copy for GetWindowTextW callers
            redraw();
        }
        result = 1;
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        if (!buffer || wParam == 0)
            return TRUE;
        const size_t n = std::min(m_text.size(), static_cast<size_t>(wParam) - 1);
        std::copy(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
        buffer[n] = L'\0';
        // The characters copied, without the terminating null, as the platform answers.
        result = static_cast<LRESULT>(n);
        return TRUE;
    }
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(m_text.size());
        return TRUE;
    case WM_GETDLGCODE:
        if (isRadioKind()) {
            result = DLGC_RADIOBUTTON;
        } else if (isPushKind()) {
            result = m_default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
        } else if (isCheckKind()) {
            result = m_wantChar ? DLGC_WANTCHARS : DLGC_BUTTON;
            m_wantChar = false;
        }
        return TRUE;
    case WM_SETFOCUS:
        m_state |= kFocus;
        redraw();
        onSetFocus();
        return TRUE;
    case WM_KILLFOCUS:
        m_state &= ~kFocus;
        redraw();
        onKillFocus();
        return TRUE;
    case WM_MOUSEMOVE:
        onMouseMove(lParam);
        return TRUE;
    case WM_MOUSELEAVE:
        if (m_hot) {
            m_hot = false;
            redraw();
        }
        return TRUE;
    case WM_LBUTTONDOWN:
        onLButtonDown();
        return TRUE;
    case WM_LBUTTONUP:
        onLButtonUp(lParam);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        onDoubleClicked();
        return TRUE;
    case WM_CAPTURECHANGED:
        if (m_tracking) {
            m_tracking = false;
            m_trackChecked = false;
            m_state = m_savedState;
            m_savedState = 0;
            redraw();
        }
        return TRUE;
    case WM_KEYDOWN:
        onKeyDown(wParam);
        return TRUE;
    case WM_CHAR:
        onChar(wParam);
        return TRUE;
    case WM_KEYUP:
        m_wantChar = false;
        return TRUE;
    case WM_SYSKEYUP:
        onSysKeyUp(wParam);
        return TRUE;
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
        redraw();
        result = DefWindowProc();
        return TRUE;
    case BM_GETCHECK:
        result = static_cast<LRESULT>(m_state & 3u);
        return TRUE;
    case BM_SETCHECK:
        setCheck(static_cast<unsigned>(wParam));
        return TRUE;
    case BM_GETSTATE:
        result = static_cast<LRESULT>(m_state);
        return TRUE;
    case BM_SETSTATE: {
        const unsigned old = m_state;
        m_state = wParam == 1 ? (m_state | kPushed) : (m_state & ~kPushed);
        if (old != m_state)
            redraw();
        return TRUE;
    }
    case BM_SETSTYLE:
        if (isPushKind()) {
            const bool was = m_default;
            m_default = wParam == BS_DEFPUSHBUTTON;
            if (lParam == 1 && was != m_default)
                redraw();
        }
        return TRUE;
    case BM_CLICK:
        // The click stands for the user's: a disabled button takes none.
        if (::IsWindowEnabled(m_hWnd))
            simulateClick();
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT PushButtonBase::onCreate(LPARAM lParam)
{
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    const DWORD style = cs ? static_cast<DWORD>(cs->style) : GetStyle();
    const unsigned kind = style & BS_TYPEMASK;
    // Check boxes and radio buttons are drawn as push-like buttons only.
    const bool checkOrRadio = kind == checkBox || kind == autoCheckBox || kind == radioButton || kind == autoRadioButton;
    if (checkOrRadio && !(style & BS_PUSHLIKE))
        return -1;
    if (DefWindowProc() < 0)
        return -1;
    m_kind = kind;
    m_default = kind == defPushButton;
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
        m_text = cs->lpszName;
    return 0;
}

void PushButtonBase::onPaint(HDC given)
{
    if (given) {
        draw(given);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (!dc)
        return;
    HGDIOBJ oldFont = nullptr;
    if (HFONT font = currentFont())
        oldFont = SelectObject(dc, font);
    draw(dc);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(m_hWnd, &ps);
}

void PushButtonBase::onMouseMove(LPARAM lParam)
{
    if (!m_tracking) {
        if (m_hot)
            return;
        TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, m_hWnd, 0};
        if (TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == m_hWnd)
            return;
        TRACKMOUSEEVENT leave{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
        if (TrackMouseEvent(&leave)) {
            m_hot = true;
            redraw();
        }
        return;
    }
    if (m_trackChecked)
        return;
    const unsigned old = m_state;
    const unsigned savedPushed = m_savedState & kPushed;
    const unsigned pushed = inside(lParam) ? (savedPushed ^ kPushed) : savedPushed;
    m_state = (m_state & ~kPushed) | pushed;
    if (old != m_state)
        redraw();
}

void PushButtonBase::onLButtonDown()
{
    if (m_tracking) {
        ReleaseCapture();
        return;
    }
    m_savedState = m_state;
    // A radio button that is checked already keeps its look while pressed;
    // releasing it over the button still notifies, as the platform's does.
    m_trackChecked = isRadioKind() && (m_state & kPushed);
    if (!m_trackChecked)
        m_state ^= kPushed;
    SetCapture(m_hWnd);
    m_tracking = true;
    redraw();
}

void PushButtonBase::onLButtonUp(LPARAM lParam)
{
    if (!m_tracking)
        return;
    ReleaseCapture();
    if (inside(lParam)) {
        applyClick();
        onClicked();
    } else {
        m_hot = false;
    }
}

void PushButtonBase::applyClick()
{
    if (m_kind == autoCheckBox) {
        setCheck((m_state & 3u) == 1 ? 0 : 1);
        redraw();
    } else if (m_kind == autoRadioButton && (m_state & 3u) != 1) {
        setCheck(1);
        redraw();
        HWND parent = ::GetParent(m_hWnd);
        for (HWND other = GetNextDlgGroupItem(parent, m_hWnd, FALSE); other && other != m_hWnd;
             other = GetNextDlgGroupItem(parent, other, FALSE))
            if (::SendMessageW(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
                ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void PushButtonBase::simulateClick()
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const LPARAM centre = MAKELPARAM((client.left + client.right) / 2, (client.top + client.bottom) / 2);
    HWND self = m_hWnd;
    ::SendMessageW(self, WM_LBUTTONDOWN, 0, centre);
    if (::IsWindow(self))
        ::SendMessageW(self, WM_LBUTTONUP, 0, centre);
}

void PushButtonBase::onKeyDown(WPARAM key)
{
    if (m_tracking || GetKeyState(VK_MENU) < 0)
        return;
    if (key == VK_SPACE) {
        simulateClick();
        return;
    }
    if (!isCheckKind())
        return;
    if (key == VK_ADD || key == VK_SUBTRACT || key == VK_OEM_PLUS || key == VK_OEM_MINUS) {
        m_wantChar = true;
    } else if (key != VK_SHIFT) {
        BYTE keys[256];
        WORD chars[2] = {0, 0};
        if (GetKeyboardState(keys) && ToAscii(static_cast<UINT>(key), 0, keys, chars, 0) == 1 && chars[0] == '=')
            m_wantChar = true;
    }
}

void PushButtonBase::onChar(WPARAM ch)
{
    if (GetKeyState(VK_MENU) < 0 || !isCheckKind())
        return;
    if ((ch == L'+' || ch == L'=') && (m_state & 3u) != 1) {
        setCheck(1);
        redraw();
    } else if (ch == L'-' && (m_state & 3u) != 0) {
        setCheck(0);
        redraw();
    }
}

void PushButtonBase::onSysKeyUp(WPARAM key)
{
    const size_t amp = m_text.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= m_text.size())
        return;
    if (static_cast<WPARAM>(std::towupper(static_cast<wint_t>(m_text[amp + 1]))) == key)
        simulateClick();
}

void PushButtonBase::onClicked()
{
    ::PostMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void PushButtonBase::onSetFocus()
{
    if (GetStyle() & BS_NOTIFY)
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_SETFOCUS),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

void PushButtonBase::onKillFocus()
{
    if (GetStyle() & BS_NOTIFY)
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_KILLFOCUS),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

void PushButtonBase::onDoubleClicked()
{
    const DWORD style = GetStyle();
    const DWORD low = style & BS_TYPEMASK;
    if ((style & BS_NOTIFY) || low == 4 || low == 8 || low == 11)
        ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_DOUBLECLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

void PushButtonBase::draw(HDC dc)
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

} // namespace atl
} // namespace ui
} // namespace kv

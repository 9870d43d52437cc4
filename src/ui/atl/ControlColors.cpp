#include "ui/atl/ControlColors.h"

namespace kv {
namespace ui {
namespace atl {

namespace {

const unsigned kNullBits = 0x40 | 0x80;
const unsigned kNullAllowed = 0x100;

COLORREF rgbOf(ColorWord word) { return word & 0xFFFFFF; }
unsigned brushCode(ColorWord word) { return (word >> 24) & 0x7F; }

TOOLINFOW toolFor(HWND control, UINT flags)
{
    TOOLINFOW ti{};
    ti.cbSize = sizeof(TOOLINFOW);
    ti.uFlags = flags;
    ti.hwnd = control;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    return ti;
}

} // namespace

ControlColors::ControlColors() : m_owner(nullptr), m_toolTip(nullptr) {}

ControlColors::~ControlColors()
{
    for (auto& set : m_sets)
        if (set.owned && set.brush)
            DeleteObject(set.brush);
    if (m_toolTip && IsWindow(m_toolTip))
        DestroyWindow(m_toolTip);
}

void ControlColors::setColors(int set, ColorWord text, ColorWord background)
{
    if (set < 1 || set > 4)
        return;
    ColorSet& s = m_sets[set - 1];
    s.text = text;
    if (s.background != background && s.owned && s.brush) {
        DeleteObject(s.brush);
        s.brush = nullptr;
        s.owned = false;
    }
    s.background = background;
}

ColorWord ControlColors::textColor(int set) const { return set >= 1 && set <= 4 ? m_sets[set - 1].text : 0; }

ColorWord ControlColors::backgroundColor(int set) const
{
    return set >= 1 && set <= 4 ? m_sets[set - 1].background : 0;
}

HBRUSH ControlColors::brush(int set)
{
    if (set < 1 || set > 4)
        return nullptr;
    ColorSet& s = m_sets[set - 1];
    const unsigned code = brushCode(s.background);
    if (code == 0)
        return nullptr;
    if (code == 1) {
        if (!s.brush) {
            s.brush = CreateSolidBrush(rgbOf(s.background));
            s.owned = s.brush != nullptr;
        }
        return s.brush;
    }
    return GetSysColorBrush(static_cast<int>(code - 1));
}

void ControlColors::addControlToolTip(HWND control)
{
    if (!IsWindow(m_owner) || !control)
        return;
    if (!m_toolTip || !IsWindow(m_toolTip)) {
        m_toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                    m_owner, nullptr, nullptr, nullptr);
        if (!m_toolTip)
            return;
        SetWindowPos(m_toolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
        SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    }
    TOOLINFOW ti = toolFor(control, TTF_IDISHWND | TTF_CENTERTIP);
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlColors::removeControlToolTip(HWND control)
{
    if (!m_toolTip || !IsWindow(m_toolTip))
        return;
    TOOLINFOW ti = toolFor(control, TTF_IDISHWND);
    SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlColors::relayToolTipEvent(const MSG* msg)
{
    if (!msg || !m_toolTip || !IsWindow(m_toolTip))
        return;
    MSG copy = *msg;
    SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

HBRUSH ControlColors::controlColor(HDC dc, unsigned state, bool isEdit, DWORD style)
{
    if (!(state & kNullAllowed))
        state &= ~kNullBits;
    int set = 0;
    if (state & (0x1 | 0x4))
        set = 1;
    else if (state & (0x2 | 0x10))
        set = 2;
    else if (state & 0x20)
        set = 3;
    else if (isEdit && (style & (WS_DISABLED | ES_READONLY)))
        set = 4;
    if (set == 0) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    const ColorSet& s = m_sets[set - 1];
    if (set != 3)
        SetTextColor(dc, rgbOf(s.text));
    SetBkColor(dc, rgbOf(s.background));
    return brush(set);
}

} // namespace atl
} // namespace ui
} // namespace kv

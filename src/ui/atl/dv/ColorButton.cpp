#include "ui/atl/dv/ColorButton.h"

#include "ui/atl/PrivateMessages.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

ColorButton::ColorButton(const ControlColorsPtr& colors) { m_toolTipPolicy.setColors(colors); }

ColorButton::~ColorButton() = default;

HWND ColorButton::create(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    return atl::ColorButton::create(parent, rect, nullptr, style | WS_TABSTOP, id);
}

void ColorButton::setToolTipText(const std::wstring& text)
{
    m_toolTipPolicy.setToolTipText(m_hWnd, m_texts[textToolTip], text);
}

void ColorButton::redisplay(unsigned flags)
{
    if (flags & showQuietly) {
        // The field's own value: no change notification goes out.
        const bool was = m_settingColor;
        m_settingColor = true;
        atl::ColorButton::setColor(isNull() ? noColor : m_value);
        m_settingColor = was;
    }
    if ((flags & showRedraw) && m_hWnd)
        redraw();
}

void ColorButton::onColorChanged()
{
    // The field's own value shown on the button is no change: nothing is
    // written and the parent hears nothing.
    if (m_settingColor)
        return;
    takeValue(color());
    if (color() == noColor && (m_fieldState & stateNullAllowed))
        m_fieldState |= stateNull;
    writeValue();
    atl::ColorButton::onColorChanged();
}

BOOL ColorButton::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
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
        break;
    }
    case WM_CREATE:
        atl::ColorButton::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
        if (result < 0)
            return TRUE;
        m_toolTipPolicy.registerWindow(hwnd, hasTexts());
        ::SendMessageW(hwnd, WM_SETFONT, ::SendMessageW(::GetParent(hwnd), WM_GETFONT, 0, 0), 1);
        redisplay(showQuietly);
        return TRUE;
    case msgSetToolTipText: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        setToolTipText(text ? text : L"");
        result = 0;
        return TRUE;
    }
    case WM_KILLFOCUS: {
        atl::ColorButton::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
        HWND gaining = reinterpret_cast<HWND>(wParam);
        if (!gaining || !::SendMessageW(hwnd, msgIsPartOfControl, 0, reinterpret_cast<LPARAM>(gaining)))
            lostFocus(m_name);
        return TRUE;
    }
    case WM_DESTROY:
        m_toolTipPolicy.unregisterWindow(hwnd, hasTexts());
        if (m_fieldState & statePending) {
            m_fieldState &= ~statePending;
            writeValue();
        }
        result = DefWindowProc();
        return TRUE;
    default:
        break;
    }
    return atl::ColorButton::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
}

void ColorButton::OnFinalMessage(HWND) { finalMessage(m_name); }

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

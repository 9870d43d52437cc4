#include "ui/atl/dv/PushButton.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

PushButton::PushButton(const ControlColorsPtr& colors, bool dropDown) : atl::PushButton(dropDown), m_colors(colors) {}

PushButton::~PushButton() = default;

BOOL PushButton::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && m_colors) {
        MSG m{hwnd, msg, wParam, lParam, 0, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
        m_colors->relayToolTipEvent(&m);
    }
    switch (msg) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->code == TTN_GETDISPINFOW && m_colors) {
            reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = const_cast<LPWSTR>(m_toolTip.c_str());
            result = 0;
            return TRUE;
        }
        break;
    }
    case WM_CREATE:
        if (!atl::PushButton::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId) || result < 0)
            return TRUE;
        ::SendMessageW(hwnd, WM_SETFONT, ::SendMessageW(::GetParent(hwnd), WM_GETFONT, 0, 0), 1);
        if (!m_toolTip.empty() && m_colors)
            m_colors->addControlToolTip(hwnd);
        return TRUE;
    case msgSetToolTipText: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        setToolTipText(text ? text : L"");
        result = 0;
        return TRUE;
    }
    case WM_DESTROY:
        if (!m_toolTip.empty() && m_colors)
            m_colors->removeControlToolTip(hwnd);
        break;
    default:
        break;
    }
    return atl::PushButton::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
}

void PushButton::setToolTipText(const std::wstring& text)
{
    const bool had = !m_toolTip.empty();
    m_toolTip = text;
    if (!m_hWnd || !::IsWindow(m_hWnd) || !m_colors)
        return;
    if (had)
        m_colors->removeControlToolTip(m_hWnd);
    if (!m_toolTip.empty())
        m_colors->addControlToolTip(m_hWnd);
}

void PushButton::onClicked() { clicked(); }

void PushButton::OnFinalMessage(HWND) { finalMessage(); }

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/dv/ControlToolTipPolicy.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

void ControlToolTipPolicy::setToolTipText(HWND window, std::wstring& stored, const std::wstring& text)
{
    if (stored == text)
        return;
    const bool had = !stored.empty();
    stored = text;
    if (!IsWindow(window) || !m_colors)
        return;
    if (had)
        m_colors->removeControlToolTip(window);
    if (!text.empty())
        m_colors->addControlToolTip(window);
}

BOOL ControlToolTipPolicy::ProcessWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_colors && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        MSG m{window, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
        m_colors->relayToolTipEvent(&m);
    }
    return FALSE;
}

void ControlToolTipPolicy::onGetDispInfo(NMTTDISPINFOW* info, const std::wstring texts[3]) const
{
    if (!info)
        return;
    const std::wstring* text = !texts[0].empty() ? &texts[0] : !texts[2].empty() ? &texts[2] : &texts[1];
    info->lpszText = const_cast<LPWSTR>(text->c_str());
}

void ControlToolTipPolicy::registerWindow(HWND window, bool hasTexts)
{
    if (m_colors && hasTexts)
        m_colors->addControlToolTip(window);
}

void ControlToolTipPolicy::unregisterWindow(HWND window, bool hasTexts)
{
    if (m_colors && hasTexts)
        m_colors->removeControlToolTip(window);
}

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

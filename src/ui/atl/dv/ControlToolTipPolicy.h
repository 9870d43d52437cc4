// A field control's part in the dialog's shared tooltip window: it registers
// the control, relays its mouse messages and answers the tooltip's request
// for a text.
#pragma once

#include "ui/atl/ControlColors.h"

#include <string>

namespace kv {
namespace ui {
namespace atl {
namespace dv {

class ControlToolTipPolicy {
public:
    void setColors(const ControlColorsPtr& colors) { m_colors = colors; }
    const ControlColorsPtr& colors() const { return m_colors; }

    // Stores the tooltip text; a window that exists is registered again when
    // the text changes (removed when it became empty).
    void setToolTipText(HWND window, std::wstring& stored, const std::wstring& text);
    // Relays the mouse messages (WM_MOUSEMOVE .. WM_XBUTTONDBLCLK) to the
    // tooltip window; never handles them.
    BOOL ProcessWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // TTN_GETDISPINFOW: the tooltip text, else the description, else the label.
    void onGetDispInfo(NMTTDISPINFOW* info, const std::wstring texts[3]) const;

    void registerWindow(HWND window, bool hasTexts);
    void unregisterWindow(HWND window, bool hasTexts);

private:
    ControlColorsPtr m_colors;
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

// The push button of the property-grid framework's dialogs (its "PushButton"
// factory): a tooltip through the dialog's shared tooltip window, and signals
// in place of the parent notification.
#pragma once

#include "ui/atl/ControlColors.h"
#include "ui/atl/PrivateMessages.h"
#include "ui/atl/PushButton.h"

#include <boost/signals2/signal.hpp>

#include <string>

namespace kv {
namespace ui {
namespace atl {
namespace dv {

class PushButton : public atl::PushButton {
public:
    explicit PushButton(const ControlColorsPtr& colors, bool dropDown = false);
    ~PushButton() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void OnFinalMessage(HWND hwnd) override;
    void onClicked() override;

    void setToolTipText(const std::wstring& text);
    const std::wstring& toolTipText() const { return m_toolTip; }

    boost::signals2::signal<void()> clicked;
    boost::signals2::signal<void()> finalMessage;

private:
    ControlColorsPtr m_colors;
    std::wstring m_toolTip;
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

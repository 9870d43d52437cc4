// The check box of the property-grid framework (its "CheckBox" factory): a
// platform check box inside a proxy, whose check is the field's value. Its
// context menu offers to reset the field to its original value.
#pragma once

#include "ui/atl/ProxyCtrl.h"
#include "ui/atl/dv/Convert.h"
#include "ui/atl/dv/ControlToolTipPolicy.h"
#include "ui/atl/dv/FieldControl.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

// The reset menu's command and the string of its item.
const UINT idResetCommand = 100;
const UINT idResetText = 10453;

class CheckBox : public atl::Button, public FieldControl<dv::CheckBox, bool> {
public:
    explicit CheckBox(const ControlColorsPtr& colors);
    ~CheckBox() override;

    HWND create(HWND parent, const RECT& rect, const wchar_t* text, UINT id, DWORD style = 0);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    BOOL processInnerMessage(HWND inner, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void innerCreated(HWND inner) override;
    void OnFinalMessage(HWND hwnd) override;

    // The background the inner button erases to (0x80000000: its own).
    void setBackground(ComColor color) { m_background = color; }
    void setToolTipText(const std::wstring& text);

    void redisplay(unsigned flags);
    static bool fromAny(const boost::any& value, bool& out) { return AnyToBool(value, out); }

protected:
    // In place of a dialog item the inner control is still an automatic check box.
    HWND createInPlace(const Placeholder& placeholder, const wchar_t* text) override;

private:
    bool hasTexts() const { return !m_texts[0].empty() || !m_texts[1].empty() || !m_texts[2].empty(); }
    void showResetMenu(LPARAM lParam);

    bool m_updating;
    ComColor m_background;
    ControlToolTipPolicy m_toolTipPolicy;
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

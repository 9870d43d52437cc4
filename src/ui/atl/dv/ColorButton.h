// The colour button as a field control of the property-grid framework (its
// "ColorButton" factory): the value is the colour word, no colour (0x80000000)
// is its null value.
#pragma once

#include "ui/atl/ColorButton.h"
#include "ui/atl/ControlColors.h"
#include "ui/atl/dv/ControlToolTipPolicy.h"
#include "ui/atl/dv/FieldControl.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

class ColorButton : public atl::ColorButton, public FieldControl<dv::ColorButton, ComColor> {
public:
    explicit ColorButton(const ControlColorsPtr& colors);
    ~ColorButton() override;

    HWND create(HWND parent, const RECT& rect, UINT id, DWORD style = 0);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void onColorChanged() override;
    void OnFinalMessage(HWND hwnd) override;

    void setToolTipText(const std::wstring& text);

    // The field's redisplay: showQuietly puts the value on the button without
    // a notification, showRedraw redraws.
    void redisplay(unsigned flags);
    static bool fromAny(const boost::any& value, ComColor& out) { return anyToComColor(value, out); }

private:
    bool hasTexts() const { return !m_texts[0].empty() || !m_texts[1].empty() || !m_texts[2].empty(); }
    ControlToolTipPolicy m_toolTipPolicy;
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

// A button that shows a colour as a swatch. Clicking it (or the down arrow)
// drops the palette popup below it; the popup's more-colours button opens the
// platform's colour dialog.
#pragma once

#include "ui/atl/PrintExt.h"
#include "ui/atl/PushButtonBase.h"
#include "ui/atl/dv/Convert.h"

namespace kv {
namespace ui {
namespace atl {

class ColorButtonDlg;

// Resource and control ids of the palette.
enum ColorPaletteIds : UINT {
    idColorPaletteDialog = 10100,  // the popup's dialog template
    idNoColorText = 10101,         // string: the text of a button without colour and text
    idMoreColors = 10101,          // the popup's more-colours button
    idColorPreview = 10102,        // the popup's owner-drawn preview
    idColorGrid = 10103,           // the placeholder the grid replaces
    idColorChosen = 10104          // the command the popup sends to the button
};
// The notification a colour button sends its parent when its colour changed.
const WORD colorChangedNotification = 100;

class ColorButton : public PushButtonBase, public PrintExt<ColorButton, 1> {
public:
    ColorButton();
    ~ColorButton() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void onClicked() override;
    void draw(HDC dc) override;
    virtual void onColorChanged();

    dv::ComColor color() const { return m_color; }
    // Stores a colour that differs, redraws and notifies.
    void setColor(dv::ComColor color);
    void setDisplayOnly(bool displayOnly);
    bool displayOnly() const { return m_displayOnly; }
    void setAnyColor(bool any) { m_anyColor = any; }
    bool anyColor() const { return m_anyColor; }
    void setDropDown(bool dropDown) { m_dropDown = dropDown; }
    bool dropDown() const { return m_dropDown; }

    // Runs the platform's colour dialog; true when a colour was chosen.
    bool runColorDialog();
    // The popup of the process, or null.
    static ColorButtonDlg* openPopup();

    using PushButtonBase::DefWindowProc;

protected:
    const wchar_t* windowClassName() const override { return L"kv::ui::atl::ColorButton"; }
    // True while the colour is being set from the field's value.
    bool m_settingColor;

private:
    bool drawThemed(HDC dc);
    void drawClassic(HDC dc);
    std::wstring shownText() const;
    void drawSwatch(HDC dc, const RECT& swatch, bool disabled) const;

    dv::ComColor m_color;
    bool m_displayOnly;
    bool m_anyColor;
    bool m_dropDown;
};

// Opens the palette for the owner button, or updates the one that is open.
// Null when the owner is not a window or the popup cannot be made.
ColorButtonDlg* openColorPopup(HWND owner, dv::ComColor color, bool anyColor, UINT notifyId);

// The text of string id from the first module of the resource-module list
// that holds it; empty when none does.
std::wstring libraryString(UINT id);

} // namespace atl
} // namespace ui
} // namespace kv

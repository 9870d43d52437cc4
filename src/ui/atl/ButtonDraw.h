// Drawing pieces shared by the owner-drawn buttons: the drop-down arrow and
// frame, the placement of image and text, and printing into a caller's DC.
#pragma once

#include "platform/windows.h"
#include "ui/atl/Theme.h"

namespace kv {
namespace ui {
namespace atl {

// Image placement flags of a button.
enum ImagePlacement : unsigned {
    imageLeft = 0x100,
    imageRight = 0x200,
    imageAbove = 0x400,
    imageBelow = 0x800,
    imageSpread = 0x1000  // image and text spread over the whole button
};

// The drop-down triangle inside rect; greyed (embossed) when disabled.
void drawDropDownArrow(HDC dc, const RECT& rect, bool enabled);

// The classic drop-down button frame: the push frame for state (DFCS_*), the
// arrow at the right and an etched separator. With DFCS_ADJUSTRECT, area
// becomes the content left of the arrow.
void drawDropDownFrame(HDC dc, RECT& area, UINT state, int averageCharWidth);

// The themed push-button background of state over client, with the parent
// painted first where the theme leaves the button partly transparent; content
// becomes the part inside the theme's border. False (content unset) when the
// theme fails to draw it, so that the caller draws the classic button.
bool drawThemedPushBackground(Theme& theme, const ThemeData& data, HWND window, HDC dc, int state,
                              const RECT& client, RECT& content);

// The drop-down arrow and an etched separator at the right of a themed
// button's content; content becomes the part left of the separator.
void drawThemedDropDown(HDC dc, RECT& content, int averageCharWidth, bool enabled);

struct ImageTextPlacement {
    POINT image;
    POINT text;
};

// Places an image of imageSize and a text of textSize inside area, by the
// placement flags and the window style's text alignment (BS_LEFT .. BS_VCENTER).
ImageTextPlacement placeImageAndText(const RECT& area, SIZE textSize, SIZE imageSize, int gap, unsigned placement,
                                     DWORD style, bool hasImage);

// Maps a client device context to whole-window coordinates before printing
// with PRF_NONCLIENT.
void setupWindowDc(HDC dc, HWND window);

// A GDI object selected into a DC for a scope, deleted afterwards when owned.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object, bool owned) : m_dc(dc), m_object(object), m_owned(owned)
    {
        m_old = object ? SelectObject(dc, object) : nullptr;
    }
    ~SelectedObject()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_owned && m_object)
            DeleteObject(m_object);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_old;
    bool m_owned;
};

// Frames rect with a solid colour (made and deleted here).
void frameWithColor(HDC dc, const RECT& rect, COLORREF color);

} // namespace atl
} // namespace ui
} // namespace kv

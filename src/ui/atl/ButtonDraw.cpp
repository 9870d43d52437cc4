#include "ui/atl/ButtonDraw.h"

#include <algorithm>

namespace kv {
namespace ui {
namespace atl {

namespace {

void triangle(HDC dc, int left, int y, int base, COLORREF color)
{
    const POINT points[3] = {{left, y}, {left + base, y}, {left + base / 2, y + base / 2}};
    SelectedObject pen(dc, CreatePen(PS_SOLID, 1, color), true);
    SelectedObject brush(dc, CreateSolidBrush(color), true);
    Polygon(dc, points, 3);
}

} // namespace

void drawDropDownArrow(HDC dc, const RECT& rect, bool enabled)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int s = std::min(w, h);
    const int m = std::max(s / 5, 1);
    int b = (s - 2 * m) & ~1;
    if (b < 1)
        b = 1;
    const int left = rect.left + m;
    const int y = rect.top + (h - b / 2) / 2;
    if (enabled) {
        triangle(dc, left, y, b, GetSysColor(COLOR_BTNTEXT));
    } else {
        triangle(dc, left + 1, y + 1, b, GetSysColor(COLOR_3DHILIGHT));
        triangle(dc, left, y, b, GetSysColor(COLOR_BTNSHADOW));
    }
}

void drawDropDownFrame(HDC dc, RECT& area, UINT state, int averageCharWidth)
{
    RECT frame = area;
    DrawFrameControl(dc, &frame, DFC_BUTTON, state | DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    const bool pushed = (state & DFCS_PUSHED) != 0;
    if (pushed)
        OffsetRect(&frame, 1, 1);
    RECT arrow = frame;
    arrow.right = frame.right - 1 + (pushed ? 1 : 0);
    arrow.left = frame.right - 1 - averageCharWidth - 5 + (pushed ? 1 : 0);
    drawDropDownArrow(dc, arrow, !(state & DFCS_INACTIVE));
    RECT edge{frame.left, frame.top + 1, arrow.left, frame.bottom - 1};
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RIGHT);
    if (state & DFCS_ADJUSTRECT) {
        area = frame;
        area.left = frame.left + averageCharWidth;
        area.right = arrow.left - averageCharWidth - GetSystemMetrics(SM_CXEDGE);
    }
}

bool drawThemedPushBackground(Theme& theme, const ThemeData& data, HWND window, HDC dc, int state,
                              const RECT& client, RECT& content)
{
    if (data.isBackgroundPartiallyTransparent(BP_PUSHBUTTON, state)) {
        RECT outer;
        ::GetWindowRect(window, &outer);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&outer), 2);
        theme.drawThemeParentBackground(window, dc, &outer);
    }
    return SUCCEEDED(data.drawBackground(dc, BP_PUSHBUTTON, state, &client, nullptr)) &&
           SUCCEEDED(data.backgroundContentRect(dc, BP_PUSHBUTTON, state, &client, &content));
}

void drawThemedDropDown(HDC dc, RECT& content, int averageCharWidth, bool enabled)
{
    RECT arrow{content.right - 2 - averageCharWidth - 4, content.top + 1, content.right - 2, content.bottom - 1};
    drawDropDownArrow(dc, arrow, enabled);
    RECT rest{content.left, content.top, arrow.left, content.bottom};
    DrawEdge(dc, &rest, EDGE_ETCHED, BF_RIGHT | BF_ADJUST);
    content.right = rest.right;
}

ImageTextPlacement placeImageAndText(const RECT& area, SIZE text, SIZE image, int gap, unsigned placement,
                                     DWORD style, bool hasImage)
{
    if (text.cx < 1 || text.cy < 1) {
        text = SIZE{0, 0};
        gap = 0;
    }
    if (!hasImage || image.cx < 1 || image.cy < 1) {
        image = SIZE{0, 0};
        gap = 0;
        hasImage = false;
    }
    const unsigned where = placement & 0xF00;
    const bool horizontal = !hasImage || !(where == imageAbove || where == imageBelow);
    const LONG aw = area.right - area.left, ah = area.bottom - area.top;
    LONG bw = text.cx, bh = text.cy;
    if (hasImage) {
        if (horizontal) {
            bw = text.cx + image.cx + gap;
            bh = std::max(text.cy, image.cy);
        } else {
            bh = text.cy + image.cy + gap;
            bw = std::max(text.cx, image.cx);
        }
    }
    // Text alignment of the style: 1 start, 2 end, 3 (or 0) centred.
    unsigned hAlign = (style & BS_CENTER) >> 8;
    unsigned vAlign = (style & BS_VCENTER) >> 10;
    if (hAlign == 0)
        hAlign = 3;
    if (vAlign == 0)
        vAlign = 3;
    if ((placement & imageSpread) && hasImage) {
        const unsigned align = horizontal ? hAlign : vAlign;
        const LONG extra = horizontal ? aw - bw : ah - bh;
        if (extra > 0) {
            const bool imageSide = horizontal ? ((align == 1 && where != imageRight) || (align == 2 && where == imageRight))
                                              : ((align == 1 && where == imageAbove) || (align == 2 && where == imageBelow));
            if (align == 3)
                gap += extra / 2;
            else if (!imageSide)
                gap += extra;
            if (horizontal)
                bw = aw;
            else
                bh = ah;
        }
    }
    LONG bx = hAlign == 1 ? area.left : hAlign == 2 ? area.right - bw : area.left + (aw - bw) / 2;
    LONG by = vAlign == 1 ? area.top : vAlign == 2 ? area.bottom - bh : area.top + (ah - bh) / 2;
    ImageTextPlacement out{{bx, by}, {bx, by}};
    if (!hasImage)
        return out;
    if (where == imageRight) {
        out.image = POINT{bx + bw - image.cx, by + (bh - image.cy) / 2};
        out.text = POINT{bx + bw - image.cx - gap - text.cx, by + (bh - text.cy) / 2};
    } else if (where == imageAbove) {
        out.image = POINT{bx + (bw - image.cx) / 2, by};
        out.text = POINT{bx + (bw - text.cx) / 2, by + image.cy + gap};
    } else if (where == imageBelow) {
        out.image = POINT{bx + (bw - image.cx) / 2, by + bh - image.cy};
        out.text = POINT{bx + (bw - text.cx) / 2, by + bh - image.cy - gap - text.cy};
    } else {
        out.image = POINT{bx, by + (bh - image.cy) / 2};
        out.text = POINT{bx + image.cx + gap, by + (bh - text.cy) / 2};
    }
    return out;
}

void setupWindowDc(HDC dc, HWND window)
{
    RECT windowRect, clientRect;
    if (!GetWindowRect(window, &windowRect) || !GetClientRect(window, &clientRect))
        return;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // Client coordinates start at the client area's offset inside the window.
    SetWindowOrgEx(dc, windowRect.left - origin.x, windowRect.top - origin.y, nullptr);
    IntersectClipRect(dc, windowRect.left - origin.x, windowRect.top - origin.y, windowRect.right - origin.x,
                      windowRect.bottom - origin.y);
}

void frameWithColor(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

} // namespace atl
} // namespace ui
} // namespace kv

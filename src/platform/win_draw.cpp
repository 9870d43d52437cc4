// The drawing calls of owner-drawn controls: memory device contexts, fonts,
// bitmaps with real pixels (so that recoloured icons can be checked), icons,
// image lists, regions, frames, edges and state drawing. Every call is a line
// of the GDI log; every object counts as live until it is deleted.
#include "platform/platform_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kvplat {
namespace detail {
namespace {

GdiObject* object(HGDIOBJ h, GdiKind kind)
{
    auto it = gdi().objects.find(h);
    return it != gdi().objects.end() && it->second.kind == kind ? &it->second : nullptr;
}

std::string handleText(const void* h) { return hex(reinterpret_cast<uintptr_t>(h)); }

std::string pointText(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

bool isDc(HDC dc) { return gdi().dcs.count(dc) != 0; }

// Pixel access that honours the row order of DIB sections.
uint32_t& pixel(GdiObject& bitmap, int x, int y)
{
    const int row = bitmap.bottomUp ? bitmap.height - 1 - y : y;
    return bitmap.bits[static_cast<size_t>(row) * static_cast<size_t>(bitmap.width) + static_cast<size_t>(x)];
}

HBITMAP newBitmap(int width, int height, bool bottomUp)
{
    HGDIOBJ h = newObject(GdiKind::Bitmap, 0, false);
    GdiObject& o = gdi().objects[h];
    o.width = std::max(width, 0);
    o.height = std::max(height, 0);
    o.bottomUp = bottomUp;
    o.bits.assign(static_cast<size_t>(o.width) * static_cast<size_t>(o.height), 0);
    return static_cast<HBITMAP>(h);
}

// Top-down copy of a bitmap's pixels.
std::vector<uint32_t> topDown(GdiObject& bitmap)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < bitmap.height; ++y)
        for (int x = 0; x < bitmap.width; ++x)
            out.push_back(pixel(bitmap, x, y));
    return out;
}

int g_deviceColors = -1;

} // namespace

HICON newIcon(int width, int height, const std::vector<uint32_t>& bits, const std::vector<uint32_t>& mask)
{
    HGDIOBJ h = newObject(GdiKind::Icon, 0, false);
    GdiObject& o = gdi().objects[h];
    o.width = width;
    o.height = height;
    o.bits = bits;
    o.maskBits = mask;
    o.bits.resize(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    o.maskBits.resize(o.bits.size(), 0);
    return static_cast<HICON>(h);
}

void resetDraw() { g_deviceColors = -1; }

} // namespace detail

void setDeviceColorCount(int count) { detail::g_deviceColors = count; }

std::map<std::string, int> liveGdiObjectsByKind()
{
    static const char* const names[] = {"brush", "pen", "font", "bitmap", "icon", "imagelist", "region"};
    std::map<std::string, int> out;
    for (const auto& kv : detail::gdi().objects)
        if (!kv.second.stock)
            ++out[names[static_cast<int>(kv.second.kind)]];
    if (!detail::gdi().dcs.empty())
        out["dc"] = static_cast<int>(detail::gdi().dcs.size());
    if (const int themes = detail::openThemeCount())
        out["theme"] = themes;
    return out;
}

int liveGdiTotal()
{
    int n = 0;
    for (const auto& kv : liveGdiObjectsByKind())
        n += kv.second;
    return n;
}

} // namespace kvplat

using kvplat::detail::gdi;
using kvplat::detail::GdiKind;
using kvplat::detail::GdiObject;
using kvplat::detail::handleText;
using kvplat::detail::isDc;
using kvplat::detail::log;
using kvplat::detail::pointText;
using kvplat::detail::rectText;

// ---------------------------------------------------------------- device contexts

HDC WINAPI CreateCompatibleDC(HDC)
{
    HDC h = reinterpret_cast<HDC>(gdi().next);
    gdi().next += 4;
    gdi().dcs[h].memory = true;
    log("CreateCompatibleDC -> " + handleText(h));
    return h;
}

BOOL WINAPI DeleteDC(HDC dc)
{
    auto it = gdi().dcs.find(dc);
    if (it == gdi().dcs.end() || !it->second.memory)
        return FALSE;
    gdi().dcs.erase(it);
    log("DeleteDC " + handleText(dc));
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC dc, int index)
{
    if (!isDc(dc))
        return 0;
    switch (index) {
    case NUMCOLORS:
        return kvplat::detail::g_deviceColors;
    case BITSPIXEL:
        return kvplat::detail::g_deviceColors < 0 ? 32 : 8;
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

int WINAPI GetClipBox(HDC dc, LPRECT rect)
{
    auto it = gdi().dcs.find(dc);
    if (it == gdi().dcs.end() || !rect)
        return 0;
    if (it->second.hwnd)
        GetClientRect(it->second.hwnd, rect);
    else
        SetRect(rect, 0, 0, 4096, 4096);
    OffsetRect(rect, it->second.origin.x, it->second.origin.y);
    return 2;  // SIMPLEREGION
}

BOOL WINAPI SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old)
{
    auto it = gdi().dcs.find(dc);
    if (it == gdi().dcs.end())
        return FALSE;
    if (old)
        *old = it->second.origin;
    it->second.origin = POINT{x, y};
    log("SetWindowOrgEx " + pointText(x, y));
    return TRUE;
}

BOOL WINAPI SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old)
{
    if (!isDc(dc))
        return FALSE;
    if (old)
        *old = POINT{0, 0};
    log("SetViewportOrgEx " + pointText(x, y));
    return TRUE;
}

int WINAPI IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    if (!isDc(dc))
        return 0;
    const RECT r{left, top, right, bottom};
    log("IntersectClipRect " + rectText(&r));
    return 2;
}

// ---------------------------------------------------------------- objects

HFONT WINAPI CreateFontW(int height, int, int, int, int weight, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                         LPCWSTR)
{
    HGDIOBJ h = kvplat::detail::newObject(GdiKind::Font, 0, false);
    log("CreateFont height=" + std::to_string(height) + " weight=" + std::to_string(weight) + " -> " + handleText(h));
    return static_cast<HFONT>(h);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (!isDc(dc) || width < 0 || height < 0)
        return nullptr;
    HBITMAP h = kvplat::detail::newBitmap(width, height, false);
    log("CreateCompatibleBitmap " + std::to_string(width) + "x" + std::to_string(height) + " -> " + handleText(h));
    return h;
}

HBITMAP WINAPI CreateBitmap(int width, int height, UINT, UINT bitCount, const void* bits)
{
    if (width < 0 || height < 0)
        return nullptr;
    HBITMAP h = kvplat::detail::newBitmap(width, height, false);
    if (bits && bitCount == 32) {
        GdiObject& o = gdi().objects[h];
        std::memcpy(o.bits.data(), bits, o.bits.size() * sizeof(uint32_t));
    }
    log("CreateBitmap " + std::to_string(width) + "x" + std::to_string(height) + " -> " + handleText(h));
    return h;
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0)
        return nullptr;
    const LONG height = info->bmiHeader.biHeight;
    HBITMAP h = kvplat::detail::newBitmap(info->bmiHeader.biWidth, height < 0 ? -height : height, height > 0);
    if (bits)
        *bits = gdi().objects[h].bits.data();
    log("CreateDIBSection " + std::to_string(info->bmiHeader.biWidth) + "x" + std::to_string(height) + " -> " +
        handleText(h));
    return h;
}

int WINAPI GetObjectW(HGDIOBJ h, int size, LPVOID out)
{
    GdiObject* o = kvplat::detail::object(h, GdiKind::Bitmap);
    if (!o)
        return 0;
    if (!out)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP bm{};
    bm.bmWidth = o->width;
    bm.bmHeight = o->height;
    bm.bmWidthBytes = o->width * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    bm.bmBits = o->bottomUp ? o->bits.data() : nullptr;
    std::memcpy(out, &bm, sizeof(bm));
    return sizeof(BITMAP);
}

BOOL WINAPI BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop)
{
    auto d = gdi().dcs.find(dst);
    auto s = gdi().dcs.find(src);
    if (d == gdi().dcs.end() || s == gdi().dcs.end())
        return FALSE;
    log("BitBlt " + pointText(x, y) + " " + std::to_string(cx) + "x" + std::to_string(cy));
    GdiObject* to = kvplat::detail::object(d->second.selected[3], GdiKind::Bitmap);
    GdiObject* from = kvplat::detail::object(s->second.selected[3], GdiKind::Bitmap);
    if (!to || !from || rop != SRCCOPY)
        return TRUE;
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i) {
            const int sx = x1 + i, sy = y1 + j, dx = x + i, dy = y + j;
            if (sx < 0 || sy < 0 || sx >= from->width || sy >= from->height || dx < 0 || dy < 0 || dx >= to->width ||
                dy >= to->height)
                continue;
            kvplat::detail::pixel(*to, dx, dy) = kvplat::detail::pixel(*from, sx, sy);
        }
    return TRUE;
}

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom)
{
    HGDIOBJ h = kvplat::detail::newObject(GdiKind::Region, 0, false);
    const RECT r{left, top, right, bottom};
    log("CreateRectRgn " + rectText(&r) + " -> " + handleText(h));
    return static_cast<HRGN>(h);
}

// ---------------------------------------------------------------- drawing

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT old)
{
    if (!isDc(dc))
        return FALSE;
    if (old)
        *old = POINT{0, 0};
    log("MoveTo " + pointText(x, y));
    return TRUE;
}

BOOL WINAPI LineTo(HDC dc, int x, int y)
{
    if (!isDc(dc))
        return FALSE;
    auto& sel = gdi().dcs[dc].selected[1];
    const auto it = gdi().objects.find(sel);
    const COLORREF c = it != gdi().objects.end() ? it->second.color : 0;
    log("LineTo " + pointText(x, y) + " " + kvplat::detail::colorText(c));
    return TRUE;
}

BOOL WINAPI Polygon(HDC dc, const POINT* points, int count)
{
    if (!isDc(dc) || !points || count < 2)
        return FALSE;
    std::string line = "Polygon";
    for (int i = 0; i < count; ++i)
        line += " " + pointText(points[i].x, points[i].y);
    auto& sel = gdi().dcs[dc].selected[0];
    const auto it = gdi().objects.find(sel);
    if (it != gdi().objects.end())
        line += " " + kvplat::detail::colorText(it->second.color);
    log(line);
    return TRUE;
}

BOOL WINAPI DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state)
{
    if (!isDc(dc) || !rect)
        return FALSE;
    char flags[16];
    std::snprintf(flags, sizeof(flags), "0x%x", state);
    log("DrawFrameControl " + rectText(rect) + " type=" + std::to_string(type) + " state=" + flags);
    if (state & DFCS_ADJUSTRECT)
        InflateRect(rect, -2, -2);
    return TRUE;
}

BOOL WINAPI DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags)
{
    if (!isDc(dc) || !rect)
        return FALSE;
    char text[48];
    std::snprintf(text, sizeof(text), " edge=0x%x flags=0x%x", edge, flags);
    log("DrawEdge " + rectText(rect) + text);
    if (flags & BF_ADJUST) {
        // Two-pixel edges (raised, sunken, etched); one pixel for a single border.
        const int w = ((edge & 0x3) && (edge & 0xC)) ? 2 : 1;
        if (flags & BF_LEFT)
            rect->left += w;
        if (flags & BF_TOP)
            rect->top += w;
        if (flags & BF_RIGHT)
            rect->right -= w;
        if (flags & BF_BOTTOM)
            rect->bottom -= w;
    }
    return TRUE;
}

BOOL WINAPI DrawStateW(HDC dc, HBRUSH, DRAWSTATEPROC, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
                       UINT flags)
{
    if (!isDc(dc))
        return FALSE;
    char text[32];
    std::snprintf(text, sizeof(text), " flags=0x%x", flags);
    std::string what;
    const UINT kind = flags & 0xF;
    if (kind == DST_TEXT || kind == DST_PREFIXTEXT) {
        const auto* s = reinterpret_cast<const wchar_t*>(data);
        std::wstring t = s ? (wData ? std::wstring(s, wData) : std::wstring(s)) : std::wstring();
        std::string narrow;
        for (wchar_t c : t)
            narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        what = "\"" + narrow + "\"";
    } else {
        what = handleText(reinterpret_cast<void*>(data));
    }
    log("DrawState " + what + " " + pointText(x, y) + " " + std::to_string(cx) + "x" + std::to_string(cy) + text);
    return TRUE;
}

BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT*)
{
    auto it = gdi().dcs.find(dc);
    if (it == gdi().dcs.end())
        return FALSE;
    std::string line = "ExtTextOut " + pointText(x, y);
    if (options & ETO_OPAQUE)
        line += " opaque " + rectText(rect) + " " + kvplat::detail::colorText(it->second.background);
    if (text && count) {
        line += " \"";
        for (UINT i = 0; i < count; ++i)
            line.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
        line += "\"";
    }
    log(line);
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics)
{
    if (!isDc(dc) || !metrics)
        return FALSE;
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = 16;
    metrics->tmAscent = 13;
    metrics->tmDescent = 3;
    metrics->tmAveCharWidth = 7;
    metrics->tmMaxCharWidth = 14;
    metrics->tmWeight = 400;
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size)
{
    if (!isDc(dc) || !size || (!text && count))
        return FALSE;
    size->cx = kvplat::detail::kCharWidth * count;
    size->cy = kvplat::detail::kLineHeight;
    return TRUE;
}

COLORREF WINAPI GetNearestColor(HDC dc, COLORREF color) { return isDc(dc) ? (color & 0xFFFFFF) : CLR_INVALID; }

// ---------------------------------------------------------------- icons and image lists

HICON WINAPI CreateIconIndirect(PICONINFO info)
{
    if (!info || !info->hbmColor || !info->hbmMask)
        return nullptr;
    GdiObject* color = kvplat::detail::object(info->hbmColor, GdiKind::Bitmap);
    GdiObject* mask = kvplat::detail::object(info->hbmMask, GdiKind::Bitmap);
    if (!color || !mask)
        return nullptr;
    // The icon keeps copies; the caller still owns the bitmaps it passed.
    HICON h = kvplat::detail::newIcon(color->width, color->height, kvplat::detail::topDown(*color),
                                      kvplat::detail::topDown(*mask));
    log("CreateIconIndirect -> " + handleText(h));
    return h;
}

BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info)
{
    GdiObject* o = kvplat::detail::object(icon, GdiKind::Icon);
    if (!o || !info)
        return FALSE;
    const int w = o->width, h = o->height;
    const std::vector<uint32_t> bits = o->bits, mask = o->maskBits;
    // Two new bitmaps that the caller deletes, as on the real system.
    info->fIcon = TRUE;
    info->xHotspot = static_cast<DWORD>(w / 2);
    info->yHotspot = static_cast<DWORD>(h / 2);
    info->hbmColor = kvplat::detail::newBitmap(w, h, false);
    gdi().objects[info->hbmColor].bits = bits;
    info->hbmMask = kvplat::detail::newBitmap(w, h, false);
    gdi().objects[info->hbmMask].bits = mask;
    return TRUE;
}

BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT flags)
{
    if (!isDc(dc) || !kvplat::detail::object(icon, GdiKind::Icon))
        return FALSE;
    log("DrawIconEx " + handleText(icon) + " " + pointText(x, y) + " " + std::to_string(cx) + "x" + std::to_string(cy) +
        " flags=" + std::to_string(flags));
    return TRUE;
}

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int, int)
{
    if (cx <= 0 || cy <= 0)
        return nullptr;
    HGDIOBJ h = kvplat::detail::newObject(GdiKind::ImageList, 0, false);
    GdiObject& o = gdi().objects[h];
    o.width = cx;
    o.height = cy;
    char text[16];
    std::snprintf(text, sizeof(text), "0x%x", flags);
    log("ImageList_Create " + std::to_string(cx) + "x" + std::to_string(cy) + " flags=" + text + " -> " + handleText(h));
    return static_cast<HIMAGELIST>(h);
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST list)
{
    auto it = gdi().objects.find(list);
    if (it == gdi().objects.end() || it->second.kind != GdiKind::ImageList)
        return FALSE;
    gdi().objects.erase(it);
    log("ImageList_Destroy " + handleText(list));
    return TRUE;
}

int WINAPI ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    if (!o || !kvplat::detail::object(icon, GdiKind::Icon))
        return -1;
    if (index < 0)
        return o->count++;
    return index < o->count ? index : -1;
}

int WINAPI ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    if (!o || !kvplat::detail::object(image, GdiKind::Bitmap))
        return -1;
    return o->count++;
}

int WINAPI ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask)
{
    return ImageList_Add(list, image, reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(mask)));
}

int WINAPI ImageList_GetImageCount(HIMAGELIST list)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    return o ? o->count : 0;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    if (!o || !cx || !cy)
        return FALSE;
    *cx = o->width;
    *cy = o->height;
    return TRUE;
}

COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST list, COLORREF color)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    if (!o)
        return CLR_NONE;
    const COLORREF old = o->background;
    o->background = color;
    return old;
}

BOOL WINAPI ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int, int, COLORREF, COLORREF, UINT style)
{
    GdiObject* o = kvplat::detail::object(list, GdiKind::ImageList);
    if (!o || !isDc(dc) || index < 0 || index >= o->count)
        return FALSE;
    log("ImageList_DrawEx " + handleText(list) + " image " + std::to_string(index) + " " + pointText(x, y) +
        " style=" + std::to_string(style));
    return TRUE;
}

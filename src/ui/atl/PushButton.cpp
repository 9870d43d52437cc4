#include "ui/atl/PushButton.h"

#include "ui/atl/Theme.h"

namespace kv {
namespace ui {
namespace atl {

namespace {

int averageCharWidth(HDC dc)
{
    TEXTMETRICW tm{};
    return GetTextMetricsW(dc, &tm) ? tm.tmAveCharWidth : 0;
}

} // namespace

PushButton::PushButton(bool dropDown)
    : m_dropDown(dropDown), m_icon(nullptr), m_iconOwned(false), m_bitmap(nullptr), m_bitmapOwned(false),
      m_imageList(nullptr), m_imageListOwned(false), m_normalImage(-1), m_disabledImage(-1), m_placement(imageLeft),
      m_imageSize{0, 0}, m_gap(-1)
{
}

PushButton::~PushButton()
{
    destroyImages();
    if (m_icon && m_iconOwned)
        DestroyIcon(m_icon);
    if (m_bitmap && m_bitmapOwned)
        DeleteObject(m_bitmap);
}

void PushButton::destroyImages()
{
    if (m_imageList && m_imageListOwned)
        ImageList_Destroy(m_imageList);
    m_imageList = nullptr;
    m_imageListOwned = false;
    m_normalImage = -1;
    m_disabledImage = -1;
    m_imageSize = SIZE{0, 0};
}

BOOL PushButton::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    switch (msg) {
    case BM_GETIMAGE:
        result = wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(m_icon)
                 : wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(m_bitmap)
                                          : 0;
        return TRUE;
    case BM_SETIMAGE:
        result = reinterpret_cast<LRESULT>(setImage(reinterpret_cast<HANDLE>(lParam), static_cast<UINT>(wParam), false,
                                                    imageLeft));
        return TRUE;
    default:
        break;
    }
    if (PushButtonBase::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId))
        return TRUE;
    return processPrint(hwnd, msg, wParam, lParam, result);
}

HANDLE PushButton::setImage(HANDLE image, UINT type, bool owned, unsigned placement)
{
    if (type != IMAGE_ICON && type != IMAGE_BITMAP)
        return nullptr;
    HANDLE previous = nullptr;
    if (m_icon && !m_iconOwned)
        previous = m_icon;
    else if (m_bitmap && !m_bitmapOwned)
        previous = m_bitmap;
    if (m_icon && m_iconOwned)
        DestroyIcon(m_icon);
    if (m_bitmap && m_bitmapOwned)
        DeleteObject(m_bitmap);
    m_icon = nullptr;
    m_bitmap = nullptr;
    m_iconOwned = m_bitmapOwned = false;
    destroyImages();
    m_placement = placement;
    if (type == IMAGE_ICON) {
        m_icon = static_cast<HICON>(image);
        m_iconOwned = owned;
        ICONINFO info{};
        if (m_icon && GetIconInfo(m_icon, &info)) {
            BITMAP bm{};
            if (GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm))
                m_imageSize = SIZE{bm.bmWidth, bm.bmHeight};
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
            m_imageList = ImageList_Create(m_imageSize.cx, m_imageSize.cy, ILC_COLOR32 | ILC_MASK, 2, 1);
            m_imageListOwned = m_imageList != nullptr;
            if (m_imageList)
                m_normalImage = ImageList_ReplaceIcon(m_imageList, -1, m_icon);
        }
    } else {
        m_bitmap = static_cast<HBITMAP>(image);
        m_bitmapOwned = owned;
        BITMAP bm{};
        if (m_bitmap && GetObjectW(m_bitmap, sizeof(bm), &bm)) {
            m_imageSize = SIZE{bm.bmWidth, bm.bmHeight};
            m_imageList = ImageList_Create(m_imageSize.cx, m_imageSize.cy, ILC_COLOR32, 2, 1);
            m_imageListOwned = m_imageList != nullptr;
            if (m_imageList)
                m_normalImage = ImageList_Add(m_imageList, m_bitmap, nullptr);
        }
    }
    redraw();
    return previous;
}

void PushButton::makeDisabledImage()
{
    if (!m_imageList || m_disabledImage >= 0 || (!m_icon && !m_bitmap))
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, m_imageSize.cx, m_imageSize.cy);
    if (memory && canvas) {
        HGDIOBJ old = SelectObject(memory, canvas);
        RECT all{0, 0, m_imageSize.cx, m_imageSize.cy};
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
        if (m_icon)
            DrawStateW(memory, nullptr, nullptr, reinterpret_cast<LPARAM>(m_icon), 0, 0, 0, m_imageSize.cx,
                       m_imageSize.cy, DST_ICON | DSS_DISABLED);
        else
            DrawStateW(memory, nullptr, nullptr, reinterpret_cast<LPARAM>(m_bitmap), 0, 0, 0, m_imageSize.cx,
                       m_imageSize.cy, DST_BITMAP | DSS_DISABLED);
        SelectObject(memory, old);
        const int index = m_icon ? ImageList_AddMasked(m_imageList, canvas, GetSysColor(COLOR_BTNFACE))
                                 : ImageList_Add(m_imageList, canvas, nullptr);
        if (index >= 0)
            m_disabledImage = index;
    }
    if (canvas)
        DeleteObject(canvas);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

int PushButton::imageToDraw(bool disabled)
{
    if (!m_imageList)
        return -1;
    if (disabled) {
        makeDisabledImage();
        if (m_disabledImage >= 0)
            return m_disabledImage;
    }
    return m_normalImage;
}

int PushButton::gapFor(int averageCharWidth) const
{
    if (m_gap >= 0)
        return m_gap;
    return m_imageList ? averageCharWidth : 0;
}

SIZE PushButton::textSize(HDC dc) const
{
    SIZE size{0, 0};
    if (!text().empty())
        GetTextExtentPoint32W(dc, text().c_str(), static_cast<int>(text().size()), &size);
    return size;
}

void PushButton::draw(HDC dc)
{
    if (!drawThemed(dc))
        drawClassic(dc);
}

bool PushButton::drawThemed(HDC dc)
{
    Theme& theme = Theme::instance();
    if (!theme.isThemeActive())
        return false;
    ThemeDataPtr data = theme.open(m_hWnd, L"Button");
    if (!data)
        return false;
    const LRESULT uiState = DefWindowProc(WM_QUERYUISTATE, 0, 0);
    const bool disabled = !IsWindowEnabled(m_hWnd);
    int part = PBS_NORMAL;
    if (disabled)
        part = PBS_DISABLED;
    else if (state() & BST_PUSHED)
        part = PBS_PRESSED;
    else if (hot())
        part = PBS_HOT;
    else if ((isCheckKind() || isRadioKind()) && checkState() == BST_CHECKED)
        part = PBS_PRESSED;
    else if (isDefault())
        part = PBS_DEFAULTED;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    RECT content;
    if (!drawThemedPushBackground(theme, *data, m_hWnd, dc, part, client, content))
        return false;
    if ((state() & BST_FOCUS) && !(uiState & UISF_HIDEFOCUS))
        DrawFocusRect(dc, &content);
    TEXTMETRICW tm{};
    data->textMetrics(dc, BP_PUSHBUTTON, part, &tm);
    if (m_dropDown)
        drawThemedDropDown(dc, content, tm.tmAveCharWidth, !disabled);
    const DWORD textFlags = (uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0;
    SIZE size{0, 0};
    if (!text().empty()) {
        RECT extent{0, 0, 0, 0};
        if (SUCCEEDED(data->textExtent(dc, BP_PUSHBUTTON, part, text().c_str(), -1, textFlags, &content, &extent)))
            size = SIZE{extent.right - extent.left, extent.bottom - extent.top};
    }
    const int image = imageToDraw(disabled);
    const ImageTextPlacement at = placeImageAndText(content, size, m_imageSize, gapFor(tm.tmAveCharWidth), m_placement,
                                                    GetStyle(), image >= 0);
    if (image >= 0) {
        RECT imageRect{at.image.x, at.image.y, at.image.x + m_imageSize.cx, at.image.y + m_imageSize.cy};
        if (FAILED(data->drawIcon(dc, BP_PUSHBUTTON, part, &imageRect, m_imageList, image)))
            return false;
    }
    if (!text().empty()) {
        RECT textRect{at.text.x, at.text.y, at.text.x + size.cx, at.text.y + size.cy};
        if (FAILED(data->drawText(dc, BP_PUSHBUTTON, part, text().c_str(), -1, DT_SINGLELINE | textFlags, 0,
                                  &textRect)))
            return false;
    }
    return true;
}

void PushButton::drawClassic(HDC dc)
{
    const LRESULT uiState = DefWindowProc(WM_QUERYUISTATE, 0, 0);
    const bool disabled = !IsWindowEnabled(m_hWnd);
    const bool pushed = (state() & BST_PUSHED) != 0;
    const bool checked = (isCheckKind() || isRadioKind()) && checkState() == BST_CHECKED;
    RECT area;
    ::GetClientRect(m_hWnd, &area);
    if (isDefault()) {
        SelectedObject pen(dc, GetStockObject(BLACK_PEN), false);
        MoveToEx(dc, area.left, area.top, nullptr);
        LineTo(dc, area.right - 1, area.top);
        LineTo(dc, area.right - 1, area.bottom - 1);
        LineTo(dc, area.left, area.bottom - 1);
        LineTo(dc, area.left, area.top);
        InflateRect(&area, -1, -1);
    }
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (disabled)
        flags |= DFCS_INACTIVE;
    if (pushed)
        flags |= DFCS_PUSHED;
    else if (checked)
        flags |= DFCS_CHECKED;
    const int average = averageCharWidth(dc);
    RECT focus = area;
    RECT content = area;
    if (m_dropDown) {
        drawDropDownFrame(dc, content, flags, average);
        InflateRect(&content, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        InflateRect(&focus, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    } else {
        DrawFrameControl(dc, &content, DFC_BUTTON, flags);
        focus = content;
    }
    content.right -= 1;
    content.bottom -= 1;
    if (!isDefault())
        InflateRect(&content, -1, -1);
    const int image = imageToDraw(disabled);
    ImageTextPlacement at =
        placeImageAndText(content, textSize(dc), m_imageSize, gapFor(average), m_placement, GetStyle(), image >= 0);
    if (pushed || checked) {
        at.image.x += 1;
        at.image.y += 1;
        at.text.x += 1;
        at.text.y += 1;
    }
    if (image >= 0) {
        ImageList_SetBkColor(m_imageList, GetSysColor(COLOR_BTNFACE));
        ImageList_DrawEx(m_imageList, image, dc, at.image.x, at.image.y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
    }
    if (!text().empty()) {
        const SIZE size = textSize(dc);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        UINT state = DST_PREFIXTEXT;
        if (disabled)
            state |= DSS_DISABLED;
        if (uiState & UISF_HIDEACCEL)
            state |= DSS_HIDEPREFIX;
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text().c_str()), text().size(), at.text.x, at.text.y,
                   size.cx, size.cy, state);
        SetBkMode(dc, oldMode);
    }
    if ((this->state() & BST_FOCUS) && !(uiState & UISF_HIDEFOCUS)) {
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

} // namespace atl
} // namespace ui
} // namespace kv

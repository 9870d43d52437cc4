#include "ui/atl/Menu.h"

#include "ui/atl/ButtonDraw.h"
#include "ui/atl/ResourceStrings.h"

#include <algorithm>
#include <vector>

namespace kv {
namespace ui {
namespace atl {

namespace {

const int kSnapshotColors[4] = {COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_3DHILIGHT};

// A COLORREF (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB).
uint32_t dibPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

} // namespace

IntrusivePtr<Menu> Menu::createPopup()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return IntrusivePtr<Menu>();
    return IntrusivePtr<Menu>(new Menu(menu, true, 16, 16));
}

IntrusivePtr<Menu> Menu::load(UINT resourceId, int position)
{
    HINSTANCE module = findResourceModule(MAKEINTRESOURCEW(resourceId), RT_MENU);
    if (!module)
        return IntrusivePtr<Menu>();
    HMENU bar = LoadMenuW(module, MAKEINTRESOURCEW(resourceId));
    if (!bar)
        return IntrusivePtr<Menu>();
    HMENU sub = GetSubMenu(bar, position);
    IntrusivePtr<Menu> menu;
    if (sub && RemoveMenu(bar, static_cast<UINT>(position), MF_BYPOSITION))
        menu = IntrusivePtr<Menu>(new Menu(sub, true, 16, 16));
    DestroyMenu(bar);
    return menu;
}

Menu::Menu(HMENU menu, bool owns, int iconWidth, int iconHeight)
    : m_menu(menu), m_ownsMenu(owns), m_owner(nullptr), m_iconWidth(iconWidth), m_iconHeight(iconHeight),
      m_checkIcon(nullptr), m_checkIconOwned(false), m_selectedCheckIcon(nullptr), m_selectedCheckIconOwned(false)
{
    snapshotColors(m_colors);
}

Menu::~Menu()
{
    if (m_hWnd)
        UnsubclassWindow(TRUE);
    // A handle that became the owner window's menu bar is the window's now:
    // destroying it would leave the window a bar that is gone.
    const bool ownersBar = m_owner && ::IsWindow(m_owner) && ::GetMenu(m_owner) == m_menu;
    if (m_ownsMenu && !m_parent && m_menu && !ownersBar)
        DestroyMenu(m_menu);
    m_parent = nullptr;
    m_icons.clear();
    destroyCheckIcons();
}

void Menu::snapshotColors(COLORREF out[4]) const
{
    for (int i = 0; i < 4; ++i)
        out[i] = GetSysColor(kSnapshotColors[i]);
}

IconHandlePtr Menu::icon(UINT id) const
{
    auto it = m_icons.find(id);
    return it == m_icons.end() ? IconHandlePtr() : it->second;
}

bool Menu::insertItem(UINT position, UINT flags, const wchar_t* text, UINT id, HICON icon)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    mii.fType = MFT_STRING;
    mii.wID = id;
    mii.dwTypeData = const_cast<LPWSTR>(text ? text : L"");
    mii.cch = static_cast<UINT>(text ? std::wcslen(text) : 0);
    if (icon) {
        mii.fMask |= MIIM_BITMAP;
        mii.hbmpItem = HBMMENU_CALLBACK;
    }
    if (!InsertMenuItemW(m_menu, position, (flags & MF_BYPOSITION) ? TRUE : FALSE, &mii))
        return false;
    if (icon && id != static_cast<UINT>(-1))
        m_icons[id] = IconHandlePtr(new Handle<HICON>(icon, true));
    return true;
}

bool Menu::appendItem(const wchar_t* text, UINT id, HICON icon)
{
    const int count = ::GetMenuItemCount(m_menu);
    if (count < 0)
        return false;
    if (!insertItem(static_cast<UINT>(count), MF_BYPOSITION, text, id, nullptr))
        return false;
    if (icon && id != static_cast<UINT>(-1)) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_BITMAP;
        mii.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoW(m_menu, static_cast<UINT>(count), TRUE, &mii);
        m_icons[id] = IconHandlePtr(new Handle<HICON>(icon, false));
    }
    return true;
}

bool Menu::insertSeparator(UINT position, UINT flags)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = MFT_SEPARATOR;
    return InsertMenuItemW(m_menu, position, (flags & MF_BYPOSITION) ? TRUE : FALSE, &mii) != FALSE;
}

UINT_PTR Menu::trackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude)
{
    if (!IsMenu(m_menu) || !owner || !::IsWindow(owner))
        return 0;
    m_owner = owner;
    // The menu answers the owner-draw messages while it is shown.
    const bool subclassed = SubclassWindow(owner) != FALSE;
    const UINT_PTR command = static_cast<UINT_PTR>(
        TrackPopupMenu(m_menu, (flags & ~static_cast<UINT>(TPM_NONOTIFY)) | TPM_RETURNCMD, x, y, 0, owner, exclude));
    if (subclassed && m_hWnd)
        UnsubclassWindow(FALSE);
    if (flags & TPM_RETURNCMD)
        return command;
    if (!command)
        return 0;
    ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return 1;
}

BOOL Menu::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    switch (msg) {
    case WM_INITMENUPOPUP:
        onInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return FALSE;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (!mis || mis->CtlType != ODT_MENU)
            return FALSE;
        onMeasureItem(mis);
        result = TRUE;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!dis || dis->CtlType != ODT_MENU)
            return FALSE;
        onDrawItem(dis);
        result = TRUE;
        return TRUE;
    }
    case WM_SYSCOLORCHANGE:
        onSysColorChange();
        return FALSE;
    case WM_DESTROY:
        result = DefWindowProc();
        UnsubclassWindow(TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

void Menu::onInitMenuPopup(HMENU popup)
{
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    GetMenuInfo(popup, &info);
    info.dwStyle |= MNS_NOCHECK;
    SetMenuInfo(popup, &info);
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_BITMAP;
        mii.hbmpItem = HBMMENU_CALLBACK;
        SetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &mii);
    }
}

void Menu::onMeasureItem(MEASUREITEMSTRUCT* mis) const
{
    mis->itemHeight = std::max(static_cast<UINT>(m_iconHeight + 2), mis->itemHeight);
    mis->itemWidth = std::max(static_cast<UINT>(m_iconWidth + 2), mis->itemHeight) + 2;
}

bool Menu::loadCheckIcons()
{
    if (!m_checkIcon || !m_selectedCheckIcon) {
        HINSTANCE module = findResourceModule(MAKEINTRESOURCEW(idCheckIcon), RT_ICON);
        if (!m_checkIcon) {
            m_checkIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(idCheckIcon), IMAGE_ICON, 16, 16,
                                                        LR_SHARED | LR_LOADMAP3DCOLORS));
            m_checkIconOwned = m_checkIcon != nullptr;
        }
        module = findResourceModule(MAKEINTRESOURCEW(idSelectedCheckIcon), RT_ICON);
        if (!m_selectedCheckIcon) {
            m_selectedCheckIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(idSelectedCheckIcon),
                                                                IMAGE_ICON, 16, 16, LR_SHARED | LR_LOADMAP3DCOLORS));
            m_selectedCheckIconOwned = m_selectedCheckIcon != nullptr;
        }
    }
    return m_checkIcon && m_selectedCheckIcon;
}

void Menu::destroyCheckIcons()
{
    if (m_checkIcon && m_checkIconOwned)
        DestroyIcon(m_checkIcon);
    if (m_selectedCheckIcon && m_selectedCheckIconOwned)
        DestroyIcon(m_selectedCheckIcon);
    m_checkIcon = m_selectedCheckIcon = nullptr;
    m_checkIconOwned = m_selectedCheckIconOwned = false;
}

void Menu::onDrawItem(const DRAWITEMSTRUCT* dis)
{
    HICON icon = nullptr;
    if (IconHandlePtr stored = this->icon(dis->itemID))
        icon = stored->get();
    if (!icon) {
        if (!(dis->itemState & ODS_CHECKED) || !loadCheckIcons())
            return;
        icon = (dis->itemState & ODS_SELECTED) ? m_selectedCheckIcon : m_checkIcon;
    }
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    r.right -= 2;
    const RECT area{0, 0, r.right, r.bottom + 2 * r.top};
    FillRect(dc, &area, GetSysColorBrush(COLOR_MENU));
    if ((dis->itemState & ODS_SELECTED) && !(dis->itemState & (ODS_GRAYED | ODS_CHECKED))) {
        {
            SelectedObject light(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT)), true);
            MoveToEx(dc, r.left, r.bottom - 1, nullptr);
            LineTo(dc, r.left, r.top);
            LineTo(dc, r.right - 1, r.top);
        }
        SelectedObject shadow(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)), true);
        LineTo(dc, r.right - 1, r.bottom - 1);
        LineTo(dc, r.left, r.bottom - 1);
    }
    const int x = r.left + (r.right - 2 - m_iconWidth - r.left) / 2;
    const int y = r.top + (r.bottom - m_iconHeight - r.top) / 2;
    DrawIconEx(dc, x, y, icon, m_iconWidth, m_iconHeight, 0, nullptr, DI_NORMAL);
}

HICON Menu::recolored(HICON icon, const COLORREF oldColors[4], const COLORREF newColors[4]) const
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return nullptr;
    HICON result = nullptr;
    BITMAP bm{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bm), &bm)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = bm.bmHeight;  // bottom-up
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        if (dib && bits && from && to) {
            HGDIOBJ oldFrom = SelectObject(from, info.hbmColor);
            HGDIOBJ oldTo = SelectObject(to, dib);
            BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
            auto* pixels = static_cast<uint32_t*>(bits);
            const size_t count = static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight);
            for (size_t i = 0; i < count; ++i)
                for (int k = 0; k < 4; ++k)
                    if ((pixels[i] & 0xFFFFFF) == dibPixel(oldColors[k])) {
                        pixels[i] = dibPixel(newColors[k]);
                        break;
                    }
            ICONINFO made{TRUE, 0, 0, info.hbmMask, dib};
            result = CreateIconIndirect(&made);
        }
        if (from)
            DeleteDC(from);
        if (to)
            DeleteDC(to);
        if (dib)
            DeleteObject(dib);
        ReleaseDC(nullptr, screen);
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return result;
}

void Menu::onSysColorChange()
{
    COLORREF now[4];
    snapshotColors(now);
    if (std::equal(now, now + 4, m_colors))
        return;
    for (auto& entry : m_icons) {
        if (!entry.second)
            continue;
        if (HICON copy = recolored(entry.second->get(), m_colors, now))
            entry.second = IconHandlePtr(new Handle<HICON>(copy, true));
    }
    destroyCheckIcons();
    std::copy(now, now + 4, m_colors);
}

} // namespace atl
} // namespace ui
} // namespace kv

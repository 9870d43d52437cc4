// Menu item records (MENUITEMINFOW, MENUINFO), removing without destroying,
// menus loaded from resource modules, and the owner-drawn items a popup asks
// its owner to measure and draw when it opens.
#include "platform/platform_internal.h"

#include <algorithm>

// ---------------------------------------------------------------- menu item records and owner-drawn items

namespace kvplat {
namespace detail {
namespace {

std::vector<SIZE>& measures()
{
    return lasting<std::vector<SIZE>>();
}

// Applies the parts of a MENUITEMINFOW that its mask selects.
void applyItemInfo(MenuItem& item, const MENUITEMINFOW& info)
{
    if (info.fMask & MIIM_ID)
        item.id = info.wID;
    if (info.fMask & MIIM_FTYPE)
        item.flags = (item.flags & ~MF_SEPARATOR) | ((info.fType & MFT_SEPARATOR) ? MF_SEPARATOR : 0);
    if ((info.fMask & MIIM_STRING) && !(item.flags & MF_SEPARATOR))
        item.text = info.dwTypeData ? std::wstring(info.dwTypeData) : std::wstring();
    if (info.fMask & MIIM_BITMAP)
        item.bitmap = info.hbmpItem;
    if (info.fMask & MIIM_STATE)
        item.flags = (item.flags & ~(MF_GRAYED | MF_DISABLED | MF_CHECKED)) |
                     (info.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
    if (info.fMask & MIIM_SUBMENU) {
        item.popup = info.hSubMenu;
        item.flags = info.hSubMenu ? (item.flags | MF_POPUP) : (item.flags & ~MF_POPUP);
    }
    if (info.fMask & MIIM_DATA)
        item.data = info.dwItemData;
}

} // namespace

// The owner measures and draws the bitmap area of every item that asks for it
// (HBMMENU_CALLBACK) or that is owner-drawn as a whole, as the menu window does
// when it opens. Items are stacked from the top; the item to be chosen is drawn
// selected.
void drawMenuItems(HMENU menu, HWND owner)
{
    Menu* m = menuOf(menu);
    measures().clear();
    if (!m)
        return;
    const UINT selected = menus().choices.empty() ? 0 : menus().choices.front();
    int top = 0;
    for (const MenuItem& item : std::vector<MenuItem>(m->items)) {
        const bool custom = item.bitmap == HBMMENU_CALLBACK || (item.flags & MF_OWNERDRAW);
        if (!custom || (item.flags & MF_SEPARATOR)) {
            top += (item.flags & MF_SEPARATOR) ? 8 : 20;
            continue;
        }
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_MENU;
        mis.itemID = static_cast<UINT>(item.id);
        mis.itemHeight = 20;  // what the system proposes for the menu font
        mis.itemData = item.data;
        SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        measures().push_back(SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)});
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = static_cast<UINT>(item.id);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = ((item.flags & MF_CHECKED) ? ODS_CHECKED : 0) |
                        ((item.flags & (MF_GRAYED | MF_DISABLED)) ? ODS_GRAYED : 0) |
                        (selected && item.id == selected ? ODS_SELECTED : 0);
        dis.hwndItem = reinterpret_cast<HWND>(menu);
        dis.hDC = GetDC(nullptr);
        dis.rcItem = RECT{0, top, static_cast<LONG>(mis.itemWidth), top + static_cast<LONG>(mis.itemHeight)};
        dis.itemData = item.data;
        SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        ReleaseDC(nullptr, dis.hDC);
        top += static_cast<int>(mis.itemHeight);
    }
}

} // namespace detail

std::vector<SIZE> lastMenuMeasures() { return detail::measures(); }

UINT menuItemInsertMask(HMENU menu, UINT position)
{
    const detail::Menu* m = detail::menuOf(menu);
    if (!m || position >= m->items.size())
        return 0;
    return m->items[position].insertMask;
}

} // namespace kvplat

BOOL WINAPI InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || !info || info->cbSize != sizeof(MENUITEMINFOW))
        return FALSE;
    size_t at = m->items.size();
    if (byPosition) {
        if (item != 0xFFFFFFFFu)
            at = std::min<size_t>(item, m->items.size());
    } else {
        for (size_t i = 0; i < m->items.size(); ++i)
            if (!(m->items[i].flags & MF_POPUP) && m->items[i].id == item) {
                at = i;
                break;
            }
    }
    kvplat::detail::MenuItem record;
    kvplat::detail::applyItemInfo(record, *info);
    record.insertMask = info->fMask;
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), record);
    return TRUE;
}

BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, byPosition ? MF_BYPOSITION : 0);
    if (!it || !info || info->cbSize != sizeof(MENUITEMINFOW))
        return FALSE;
    kvplat::detail::applyItemInfo(*it, *info);
    return TRUE;
}

BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOW info)
{
    kvplat::detail::MenuItem* it = kvplat::detail::menuItem(menu, item, byPosition ? MF_BYPOSITION : 0);
    if (!it || !info || info->cbSize != sizeof(MENUITEMINFOW))
        return FALSE;
    if (info->fMask & MIIM_ID)
        info->wID = static_cast<UINT>(it->id);
    if (info->fMask & MIIM_FTYPE)
        info->fType = (it->flags & MF_SEPARATOR) ? MFT_SEPARATOR : MFT_STRING;
    if (info->fMask & MIIM_BITMAP)
        info->hbmpItem = it->bitmap;
    if (info->fMask & MIIM_STATE)
        info->fState = it->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = (it->flags & MF_POPUP) ? it->popup : nullptr;
    if (info->fMask & MIIM_DATA)
        info->dwItemData = it->data;
    if (info->fMask & MIIM_STRING) {
        if (info->dwTypeData && info->cch > 0) {
            const size_t n = std::min<size_t>(it->text.size(), info->cch - 1);
            std::wmemcpy(info->dwTypeData, it->text.c_str(), n);
            info->dwTypeData[n] = L'\0';
        }
        info->cch = static_cast<UINT>(it->text.size());
    }
    return TRUE;
}

BOOL WINAPI SetMenuInfo(HMENU menu, LPCMENUINFO info)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || !info || info->cbSize != sizeof(MENUINFO))
        return FALSE;
    if (info->fMask & MIM_STYLE)
        m->style = info->dwStyle;
    return TRUE;
}

BOOL WINAPI GetMenuInfo(HMENU menu, LPMENUINFO info)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m || !info || info->cbSize != sizeof(MENUINFO))
        return FALSE;
    if (info->fMask & MIM_STYLE)
        info->dwStyle = m->style;
    return TRUE;
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    kvplat::detail::Menu* m = kvplat::detail::menuOf(menu);
    if (!m)
        return FALSE;
    const std::ptrdiff_t i = kvplat::detail::itemIndex(*m, position, flags);
    if (i < 0)
        return FALSE;
    // Unlike DeleteMenu, a sub-menu survives its removal.
    m->items.erase(m->items.begin() + i);
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu) { return kvplat::detail::menuOf(menu) ? TRUE : FALSE; }

HMENU WINAPI LoadMenuW(HINSTANCE instance, LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    const auto* popups = kvplat::detail::resourceMenu(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    if (!popups)
        return nullptr;
    HMENU bar = CreateMenu();
    for (const auto& popup : *popups) {
        HMENU sub = CreatePopupMenu();
        for (const auto& item : popup)
            AppendMenuW(sub, item.text.empty() ? MF_SEPARATOR : MF_STRING, item.id, item.text.c_str());
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"");
    }
    return bar;
}


// A menu bar belongs to a top-level window: a child window's menu handle is
// its id.
BOOL WINAPI SetMenu(HWND hwnd, HMENU menu)
{
    kvplat::detail::Window* w = kvplat::detail::find(hwnd);
    if (!w || (w->style & WS_CHILD) || (menu && !IsMenu(menu)))
        return FALSE;
    w->menuBar = menu;
    return TRUE;
}

HMENU WINAPI GetMenu(HWND hwnd)
{
    const kvplat::detail::Window* w = kvplat::detail::find(hwnd);
    return w && !(w->style & WS_CHILD) ? w->menuBar : nullptr;
}

// A popup menu whose items carry 16 x 16 icons and whose checked items show
// the library's own check icons. While a popup is tracked the menu subclasses
// its owner window to answer the owner-draw messages for the items' bitmap
// area; when the system colours change it recolours its icons.
#pragma once

#include "platform/atl.h"
#include "ui/atl/RefCountedObj.h"

#include <boost/shared_ptr.hpp>

#include <map>

namespace kv {
namespace ui {
namespace atl {

// An icon and whether its holder destroys it.
template <typename H>
class Handle;

template <>
class Handle<HICON> {
public:
    Handle(HICON icon, bool owned) : m_icon(icon), m_owned(owned) {}
    ~Handle()
    {
        if (m_owned && m_icon)
            DestroyIcon(m_icon);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HICON get() const { return m_icon; }
    bool owned() const { return m_owned; }

private:
    HICON m_icon;
    bool m_owned;
};
typedef boost::shared_ptr<Handle<HICON>> IconHandlePtr;

// Resource ids of the check icons.
enum MenuIconIds : UINT { idCheckIcon = 10250, idSelectedCheckIcon = 10251 };

class Menu : public RefCountedObj, public ATL::CWindowImplBase {
public:
    // A new owning popup menu with 16 x 16 icons; empty when none can be made.
    // An owning menu destroys its handle when it goes, unless it is a
    // sub-menu or the handle became the menu bar of the window it was last
    // shown for (that window destroys it then).
    static IntrusivePtr<Menu> createPopup();
    // The sub-menu at position of the menu resource, detached from its bar;
    // empty when any step fails.
    static IntrusivePtr<Menu> load(UINT resourceId, int position);

    Menu(HMENU menu, bool owns, int iconWidth, int iconHeight);

    // A text item at position (by command id unless MF_BYPOSITION); an icon
    // given here is taken over and destroyed with the menu.
    bool insertItem(UINT position, UINT flags, const wchar_t* text, UINT id, HICON icon);
    // A text item at the end; its icon is only borrowed.
    bool appendItem(const wchar_t* text, UINT id, HICON icon);
    bool insertSeparator(UINT position, UINT flags);
    BOOL EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_menu, item, enable); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_menu, position); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_menu); }

    // Shows the popup for owner. With TPM_RETURNCMD the chosen command (0 for
    // none); otherwise a choice is posted to the owner as WM_COMMAND and the
    // result says whether there was one.
    UINT_PTR trackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude = nullptr);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

    HMENU handle() const { return m_menu; }
    void setParent(Menu* parent) { m_parent = parent; }
    IconHandlePtr icon(UINT id) const;

protected:
    ~Menu() override;

private:
    void onInitMenuPopup(HMENU popup);
    void onMeasureItem(MEASUREITEMSTRUCT* mis) const;
    void onDrawItem(const DRAWITEMSTRUCT* dis);
    void onSysColorChange();
    bool loadCheckIcons();
    void destroyCheckIcons();
    void snapshotColors(COLORREF out[4]) const;
    // A copy of the icon with old colour i replaced by new colour i; null
    // when it cannot be made.
    HICON recolored(HICON icon, const COLORREF oldColors[4], const COLORREF newColors[4]) const;

    HMENU m_menu;
    bool m_ownsMenu;
    HWND m_owner;  // the window the menu was last shown for
    IntrusivePtr<Menu> m_parent;
    int m_iconWidth;
    int m_iconHeight;
    std::map<UINT, IconHandlePtr> m_icons;
    HICON m_checkIcon;
    bool m_checkIconOwned;
    HICON m_selectedCheckIcon;
    bool m_selectedCheckIconOwned;
    COLORREF m_colors[4];
};

} // namespace atl
} // namespace ui
} // namespace kv

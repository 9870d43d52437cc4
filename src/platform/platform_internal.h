// Shared state of the stand-in platform's own sources; not for other code.
#pragma once

#include "platform/kvPlatform.h"
#include "platform/kvPlatformUi.h"
#include "platform/windows.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvplat {
namespace detail {

// The platform's own tables live to the very end of the process, never torn
// down: a module's static objects may still call the platform (unhook, destroy
// a window, delete an object) while the process ends, after this library's
// statics would otherwise be gone, as they can on the real system.
template <class Table>
Table& lasting()
{
    static Table* const table = new Table();
    return *table;
}

// Per-control state that a built-in window class keeps.
struct ControlState {
    virtual ~ControlState() = default;
};

struct WindowClass {
    std::wstring name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    bool builtIn = false;
};

struct ScrollState {
    SCROLLINFO info{};
};

struct Window {
    RECT normalRect{};  // the restored rectangle while maximised
    HWND handle = nullptr;
    std::wstring className;
    WNDPROC proc = nullptr;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr;  // the parent of a child window, the owner of any other
    std::vector<HWND> children;  // child windows in creation order
    std::vector<HWND> owned;     // top-level windows owned by this one
    RECT rect{};  // in the parent's client coordinates (child) or screen (other)
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR msgResult = 0;
    HFONT font = nullptr;
    bool redraw = true;
    bool invalid = false;
    bool destroying = false;
    int paintCount = 0;
    int invalidateCount = 0;
    UINT showCmd = SW_SHOWNORMAL;
    HWND dialogFocus = nullptr;  // dialogs: the control that had the focus when it lost activation
    HMENU menuBar = nullptr;     // top-level windows: the menu bar, destroyed with the window
    ScrollState scroll[2];
    std::unique_ptr<ControlState> control;
};

Window* find(HWND hwnd);
// The current WM_PAINT device context of painting functions.
HDC windowDc(HWND hwnd);

// Non-client insets of a window's style: left, top, right, bottom.
RECT insets(const Window& w);

// Sends without logging through the public entry (used inside the platform).
LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The original procedure of a window's class.
WNDPROC classProc(HWND hwnd);

// The dialog-class library's part (afx.cpp): binds the object being created to
// a new window before its first message; forgets a window that is gone; offers
// a queued message to the window objects first (true swallows it); frees
// temporary window objects when the queue runs idle.
void afxOnCreate(HWND hwnd);
void afxOnDestroy(HWND hwnd);
bool afxPreTranslate(MSG* msg);
void afxIdle();
void afxReset();

// Built-in classes.
void registerBuiltInClasses();
LRESULT CALLBACK buttonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK comboProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listViewProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK headerProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK toolTipProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);

// Resets state owned by the other platform sources.
void resetMenus();
void resetGdi();
void resetHooks();

// Whether the file at path is a whole shared object: an ELF image whose
// program and section headers, and the parts they describe, lie inside the
// file. ERROR_SUCCESS, or the error a loader reports (ERROR_FILE_NOT_FOUND
// for a file that cannot be read, ERROR_BAD_EXE_FORMAT for a short or
// foreign one).
DWORD checkModuleImage(const std::string& path);

// The WH_GETMESSAGE hooks see a message about to be taken off the queue.
void callGetMessageHooks(MSG* msg);

// ---------------------------------------------------------------- GDI records
// The one font the stand-in draws with: every character is as wide as the
// average, every line as high.
const int kCharWidth = 7;
const int kLineHeight = 16;

// Shared by the GDI sources (win_gdi.cpp, win_draw.cpp): every object and
// device context is a record, every call a line of the log.

enum class GdiKind { Brush, Pen, Font, Bitmap, Icon, ImageList, Region };

struct GdiObject {
    GdiKind kind;
    COLORREF color;
    bool stock;
    int width = 0, height = 0;  // bitmaps, icons and image lists
    std::vector<uint32_t> bits;    // bitmaps and icons: 0x00RRGGBB pixels, row by row
    std::vector<uint32_t> maskBits;  // icons: the mask, 0 where the icon is opaque
    bool bottomUp = false;          // bitmaps: bits start with the bottom row (DIB sections)
    int count = 0;                 // image lists: images held
    COLORREF background = CLR_NONE;
};

struct DcState {
    HWND hwnd = nullptr;
    HGDIOBJ selected[4] = {nullptr, nullptr, nullptr, nullptr};
    COLORREF text = 0;
    COLORREF background = 0xFFFFFF;
    int bkMode = OPAQUE;
    bool memory = false;  // made by CreateCompatibleDC, ended by DeleteDC
    POINT origin{0, 0};
};

struct GdiState {
    std::map<HGDIOBJ, GdiObject> objects;
    std::map<HDC, DcState> dcs;
    std::map<int, HGDIOBJ> stock;
    std::map<int, HBRUSH> sysBrushes;
    std::vector<std::string> log;
    uintptr_t next = 0x20000;
};

GdiState& gdi();
std::string hex(uintptr_t v);
std::string colorText(COLORREF c);
std::string rectText(const RECT* r);
void log(const std::string& line);
HGDIOBJ newObject(GdiKind kind, COLORREF color, bool stock);

// System modules built into the platform (the visual-styles library): a handle
// for a name LoadLibraryW would otherwise look for on disk, and their entry
// points by name. Null when the name is not such a module (or is switched off).
HMODULE systemModule(const std::wstring& name);
FARPROC systemProc(HMODULE module, const char* name);
bool isSystemModule(HMODULE module);
// Resource modules made by kvplat::createResourceModule.
bool isResourceModule(HMODULE module);
// How many UTF-16 units the platform's own text form of a text takes: two
// for a character past the basic plane, one for any other.
size_t utf16Length(const std::wstring& text);
// Registry writes are refused while set.
bool registryReadOnly();
// Whether a write of the value into the key (its full path) is refused.
bool registryRefuses(const std::wstring& keyPath, const std::wstring& valueName);
// A system colour changed by kvplat::setSysColor, if any.
bool sysColorOverride(int index, COLORREF& color);
void resetUiExtras();
void resetDraw();
// Theme handles opened and not yet closed.
int openThemeCount();
// A new icon of that size with its pixels and mask (row by row, top row first).
HICON newIcon(int width, int height, const std::vector<uint32_t>& bits, const std::vector<uint32_t>& mask);
// ---------------------------------------------------------------- menus
// Shared by the menu sources (win_system.cpp, win_menu_items.cpp).

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::wstring text;
    HMENU popup = nullptr;
    HBITMAP bitmap = nullptr;  // HBMMENU_CALLBACK: the owner draws the item's bitmap area
    ULONG_PTR data = 0;
    UINT insertMask = 0;  // the fields InsertMenuItemW was given (MIIM_*); 0 for other insertions
};

struct Menu {
    std::vector<MenuItem> items;
    DWORD style = 0;
};

struct MenuState {
    std::map<HMENU, std::unique_ptr<Menu>> menus;
    uintptr_t next = 0x7000;
    std::vector<UINT> choices;
    MenuChoiceHook hook;
    std::vector<std::wstring> lastTracked;
};

MenuState& menus();
Menu* menuOf(HMENU h);
// The item addressed by position or by command (searching submenus too).
MenuItem* menuItem(HMENU h, UINT item, UINT flags);
// The index in m itself (not its submenus) of the item addressed by position
// (MF_BYPOSITION in flags) or by command; -1 when there is none.
std::ptrdiff_t itemIndex(const Menu& m, UINT item, UINT flags);
MenuItem makeItem(UINT flags, UINT_PTR id, LPCWSTR text);

// Owner-drawn menu items: measured and drawn by the owner when a popup opens.
void drawMenuItems(HMENU menu, HWND owner);
// The menu resource of a resource module, or null.
const std::vector<std::vector<MenuResourceItem>>* resourceMenu(HMODULE module, UINT id);

} // namespace detail
} // namespace kvplat

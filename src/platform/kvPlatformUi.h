// Controls of the headless platform for owner-drawn controls: the visual-styles
// service switched on and off, resource modules described in code, the colour
// dialog's scripted answer, the display's colour count, live GDI objects by
// kind, and a registry that can be told to refuse writes.
#pragma once

#include "platform/kvPlatform.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kvplat {

// ---------------------------------------------------------------- visual styles

// Whether "UxTheme.dll" can be loaded at all (true at start), and whether
// visual styles are switched on (IsThemeActive; true at start).
void setThemeLibraryAvailable(bool available);
void setThemeActive(bool active);

// ---------------------------------------------------------------- resource modules

// A module that holds only resources: string tables (stored as the platform
// does, in blocks of 16 counted 16-bit strings), icons, menus and dialog
// templates. Its handle works with FindResourceW, LoadImageW and LoadMenuW.
HMODULE createResourceModule(const std::wstring& name);
// A block stores each string's length in 16 bits: a longer string (in UTF-16
// units) is refused with false and the module keeps what it had. False too for
// a module that is not a resource module.
const size_t kMaxResourceStringLength = 0xFFFF;
bool addResourceString(HMODULE module, UINT id, const std::wstring& text);
void addResourceIcon(HMODULE module, UINT id);
struct MenuResourceItem {
    std::wstring text;  // empty for a separator
    UINT id = 0;
};
// A menu bar whose items are popups, one per inner list.
void addResourceMenu(HMODULE module, UINT id, const std::vector<std::vector<MenuResourceItem>>& popups);
// Registers the dialog template under its id and marks the module as its holder.
void addResourceDialog(HMODULE module, UINT id, const DialogTemplate& dialogTemplate);
// The raw 16-bit words of a string block, for writing odd blocks in tests.
void setResourceStringBlock(HMODULE module, UINT blockNumber, const std::vector<uint16_t>& words);

// ---------------------------------------------------------------- colour dialog

// The next ChooseColorW call answers with this colour (ok) or is cancelled.
// Without a queued answer the dialog is cancelled.
void pushColorDialogAnswer(bool ok, COLORREF color);
struct ColorDialogCall {
    HWND owner = nullptr;
    COLORREF initial = 0;
    DWORD flags = 0;
    bool hooked = false;
};
// The calls made so far, oldest first.
std::vector<ColorDialogCall> colorDialogCalls();

// ---------------------------------------------------------------- display, GDI, registry

// GetDeviceCaps(NUMCOLORS): -1 (true colour) at start.
void setDeviceColorCount(int count);
// Live objects by kind: "brush", "pen", "font", "bitmap", "icon", "imagelist",
// "region", "dc" (memory device contexts and window DCs not yet released) and
// "theme" (visual-styles handles not yet closed).
std::map<std::string, int> liveGdiObjectsByKind();
// Every live GDI object of any kind above; 0 when nothing leaked.
int liveGdiTotal();

// While set, RegSetValueExW fails with ERROR_ACCESS_DENIED.
void setRegistryReadOnly(bool readOnly);
// RegSetValueExW fails with ERROR_ACCESS_DENIED for each value the predicate
// names (the key's full path, as registryDump shows it, and the value's name),
// as a store that refuses some values only; an empty predicate refuses none.
using RegistryRefusal = std::function<bool(const std::wstring& keyPath, const std::wstring& valueName)>;
void setRegistryRefusal(RegistryRefusal refuses);

// The mouse leaves every window that asked to hear of it (TrackMouseEvent
// with TME_LEAVE): each is posted WM_MOUSELEAVE and its request ends.
void moveMouseAway();

// The sizes the owner gave the owner-drawn items of the last popup menu shown.
std::vector<SIZE> lastMenuMeasures();
// The fields (MIIM_*) the item at position was inserted with by
// InsertMenuItemW; 0 for an item inserted otherwise or no such item.
UINT menuItemInsertMask(HMENU menu, UINT position);

// System colours can be changed, as the user would in the display settings
// (WM_SYSCOLORCHANGE is not sent; the caller sends it to the windows it means).
void setSysColor(int index, COLORREF color);

} // namespace kvplat

// Controls of the headless platform for the host simulator and tests: the
// clock and message pump, keyboard state, scripted answers for message boxes
// and popup menus, the "user" acting on controls, dialog templates described
// in code, and views of what would be on screen (window tree, GDI log,
// tooltips, registry).
#pragma once

#include "platform/windows.h"

#include <functional>
#include <string>
#include <vector>

namespace kvplat {

// ---------------------------------------------------------------- clock and queue

// Milliseconds since start; moves only through advanceClock.
DWORD now();
// Moves the clock forward, firing every timer at each of its due times in time
// order (a 100 ms timer fires three times in 300 ms), and dispatches posted
// messages on the way. Returns the number of messages dispatched.
int advanceClock(DWORD milliseconds);
// Dispatches every posted message (and due timer) until the queue is empty,
// then paints invalid visible windows. Each message first passes the
// WH_GETMESSAGE hooks and the pre-translation of its window objects; one that
// is swallowed there is not dispatched. Returns the number dispatched.
int pumpMessages();
// Number of posted messages waiting.
size_t pendingMessages();

// ---------------------------------------------------------------- hooks

// Every message sent or dispatched to a window procedure, before the call.
using MessageLogHook = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
void setMessageLogHook(MessageLogHook hook);

// MessageBoxW's answer. Without a hook the text goes to standard error and the
// first button is answered (IDOK, IDYES, ...).
using MessageBoxHook = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;
void setMessageBoxHook(MessageBoxHook hook);

// Called by ExitProcess and FatalAppExitW before the process ends. A test hook
// throws to get control back; when the hook returns the process still ends.
using ExitHook = std::function<void(UINT code)>;
void setExitHook(ExitHook hook);

// TrackPopupMenu's choice: a queued command id first, else the hook, else
// nothing chosen (0).
using MenuChoiceHook = std::function<UINT(HMENU menu)>;
void setMenuChoiceHook(MenuChoiceHook hook);
void pushMenuChoice(UINT commandId);
// The menu shown by the last TrackPopupMenu, item texts in order (separators
// as empty texts); kept after the menu is destroyed.
std::vector<std::wstring> lastTrackedMenu();

// The hooks installed and not yet removed, newest first, as their callers
// gave them: type, the module that holds the hook procedure and the thread.
struct InstalledHook {
    HHOOK handle;
    int type;
    HINSTANCE module;
    DWORD threadId;
};
std::vector<InstalledHook> installedHooks();

// ---------------------------------------------------------------- keyboard

void setKeyDown(int virtualKey, bool down);
void releaseAllKeys();

// ---------------------------------------------------------------- the user

// Clicks a button as the user would: nothing when it, or a window it lies in,
// is hidden or disabled; the window it lies in is activated first; check
// boxes and radio buttons of the automatic kinds change their state; the
// parent receives WM_COMMAND with BN_CLICKED. True when clicked.
bool clickButton(HWND button);
// Chooses an item of a combo box as the user would: the selection changes and
// the parent receives CBN_SELCHANGE then CBN_SELENDOK. False for a combo box
// the user cannot reach (it, or a window it lies in, is hidden or disabled)
// or an index outside the list.
bool selectComboItem(HWND combo, int index);
// Right-clicks a window as the user would, at a point of its client area:
// nothing when it, or a window it lies in, is hidden or disabled; the window
// it lies in is activated first; then it receives WM_RBUTTONDOWN (with the
// right button held) and WM_RBUTTONUP. True when clicked.
bool rightClick(HWND window, POINT at);
// Resizes a top-level window as the user would by dragging its frame.
void userResize(HWND hwnd, int width, int height);

// ---------------------------------------------------------------- dialog templates

// Written in place as {class, id, text, x, y, width, height, style}, the
// order of a resource script's control line.
struct DialogControl {
    std::wstring className;  // "Button", "ComboBox", "Static", "Edit", "SysListView32", ...
    int id = 0;
    std::wstring text;
    int x = 0, y = 0, width = 0, height = 0;  // pixels in the dialog's client area
    DWORD style = WS_VISIBLE;                 // WS_CHILD is always added
    DWORD exStyle = 0;
};

struct DialogTemplate {
    int x = 0, y = 0;
    int width = 0, height = 0;  // the window's outer size in pixels
    std::wstring caption;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    std::vector<DialogControl> controls;
};

// Registers (or replaces) the template of a dialog id.
void registerDialogTemplate(UINT id, const DialogTemplate& dialogTemplate);
// The template of an id, or null.
const DialogTemplate* findDialogTemplate(UINT id);
// Builds a dialog window and its controls from a registered template; the
// window is not shown and no WM_INITDIALOG is sent. Null without a template.
HWND createDialogWindow(UINT id, HWND parent, WNDPROC proc);

// ---------------------------------------------------------------- views

std::wstring windowClassName(HWND hwnd);
std::wstring windowText(HWND hwnd);
std::vector<HWND> childWindows(HWND parent);
// Every top-level window, owned ones too, in Z order: the top one first.
std::vector<HWND> topLevelWindows();
// How often the window was painted (WM_PAINT) and invalidated.
int paintCount(HWND hwnd);
int invalidateCount(HWND hwnd);
bool isInvalid(HWND hwnd);
// False between WM_SETREDRAW FALSE and WM_SETREDRAW TRUE.
bool isRedrawEnabled(HWND hwnd);

// The texts of the tools registered with a tooltip window, in order.
struct ToolTipTool {
    HWND owner;
    UINT_PTR id;
    UINT flags;
    std::wstring text;
};
std::vector<ToolTipTool> toolTipTools(HWND tooltip);

// GDI calls in call order ("CreateSolidBrush 0x0000ff", "FillRect ...").
std::vector<std::string> gdiLog();
void clearGdiLog();
// Brushes, pens and fonts created and not yet deleted.
int liveGdiObjects();

// Everything stored in the registry, one "path\\value = data" line each.
std::vector<std::wstring> registryDump();
void clearRegistry();

void setScreenSize(int width, int height);

// The module whose image holds the address (its file found with dladdr).
HMODULE moduleFromAddress(const void* address);

// Puts a string into a module's string table (as its resource compiler
// would), for LoadStringW and the window-class library's string look-up.
// False when a resource module refuses it (see addResourceString).
bool setStringResource(HMODULE module, UINT id, const std::wstring& text);

// Temporary window objects of the dialog-class library (wrappers that
// FromHandle made for windows without an object of their own), the live
// ones and those of destroyed windows not yet freed. The message loop's
// idle step (pumpMessages) frees the latter.
size_t temporaryWindowObjects();

// The next count window objects of the dialog-class library (CWnd and every
// class derived from it) are refused their memory, as on a full heap: new
// throws std::bad_alloc, new (std::nothrow) gives null. reset() ends it.
void failWindowObjectAllocations(int count);

// Destroys every window, drops timers, queued messages, hooks and key states:
// a clean platform for the next test.
void reset();

} // namespace kvplat

// The window tree's state, shared by the sources of the stand-in's windows:
// the tree and classes, messages and timers, geometry, painting, dialogs and
// input. Not for other code.
#pragma once

#include "platform/platform_internal.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kvplat {
namespace detail {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    DWORD due;
    TIMERPROC proc;
};

struct DeferInfo {
    std::vector<WINDOWPOS> positions;
};

struct State {
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel;
    std::map<std::wstring, WindowClass> classes;  // by lower-case name
    ATOM nextAtom = 0xC000;
    uintptr_t nextHandle = 0x10010;
    std::deque<MSG> queue;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 0x7F00;
    DWORD clock = 0;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;        // the active top-level window
    int activating = 0;           // depth of activation changes under way
    HWND focusAfterActivation = nullptr;  // where SetFocus goes once it has activated
    bool keys[256] = {};
    MessageLogHook logHook;
    std::map<std::wstring, UINT> registeredMessages;
    UINT nextMessage = 0xC000;
    std::unordered_map<HDWP, DeferInfo> defers;
    uintptr_t nextDefer = 0x5000;
    int screenWidth = 1920;
    int screenHeight = 1080;
    MSG lastMessage{};
    bool builtInsRegistered = false;
};

// The one window tree of the process.
State& st();
// Registers the built-in classes before the first class or window is made.
void ensureInit();
// Class and message names compare without case.
std::wstring lower(const std::wstring& s);
// The list a window is kept in: its parent's children, its owner's owned
// windows, or the top-level windows.
std::vector<HWND>* siblingList(Window* w);
bool isDescendant(HWND ancestor, HWND hwnd);
// Every top-level window, owned ones too, in Z order, top first. Each list
// of windows is kept top first, and an owned window stands above its owner.
std::vector<HWND> zOrder();
void forEachDescendant(HWND hwnd, const std::function<void(HWND)>& fn);

// Geometry (win_geometry.cpp).
SIZE clientSize(const Window* w);
// Moves, sizes and reorders a window with the messages the system sends;
// false when the window is gone before it was placed.
bool setPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags, WPARAM sizeType);

// Whether the user's input keeps off the window: it, or a window it lies in,
// is disabled (win_messages.cpp).
bool takesNoInput(HWND hwnd);

// Activation (win_input.cpp).
// The top-level window that holds hwnd (hwnd itself when it is one).
HWND topLevelOf(HWND hwnd);
// Makes target (a top-level window, or null for none of ours) the active
// window: the old one hears WM_NCACTIVATE and WM_ACTIVATE that it loses, the
// new one that it wins (how: WA_ACTIVE or WA_CLICKACTIVE); WM_ACTIVATEAPP
// goes to every top-level window when activation comes from or goes to
// another application. A request made while a change is under way (a window
// that closes or moves the focus on losing activation) changes nothing: the
// change under way decides.
void activate(HWND target, WORD how);
// The window that should become active when the active window is hidden or
// destroyed: its owner when that is visible and enabled, else the next
// visible and enabled top-level window in Z order, else none (another
// application's).
void activateNextAfter(HWND leaving);
// Brings a top-level window to the top of the Z order, as showing and
// activating it do; its owners come up with it, since an owned window stays
// above its owner.
void raise(HWND hwnd);
// What default processing of WM_ACTIVATE does for an activated window: the
// focus goes to target unless it is inside the window already, or SetFocus
// is about to put it there.
void focusOnActivation(HWND window, HWND target);

// Painting (win_paint.cpp).
void paintNow(HWND hwnd);
void invalidate(Window* w);

} // namespace detail
} // namespace kvplat

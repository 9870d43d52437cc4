// Shared state of the stand-in platform's own sources; not for other code.
#pragma once

#include "platform/kvPlatform.h"
#include "platform/windows.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvplat {
namespace detail {

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

} // namespace detail
} // namespace kvplat

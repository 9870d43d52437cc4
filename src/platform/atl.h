// The window-template library stand-in: window objects that process their
// window's messages through ProcessWindowMessage, created on a class of their
// own or subclassing an existing window, and modeless dialogs built from
// registered templates. As in the real library, every bound object has a
// window procedure of its own (taken from a fixed pool of trampolines), so the
// same window can be subclassed by several objects in turn, each passing
// what it does not handle to the procedure it replaced.
//
// A message being processed is "current": DefWindowProc() passes it on. When
// the window is destroyed (WM_NCDESTROY), the object lets go of it and
// OnFinalMessage runs once the outermost message of the window has returned;
// an object may delete itself there.
#pragma once

#include "platform/windows.h"

#include <string>
#include <vector>

namespace ATL {

// The module's resource-module list and its lock.
class CAtlBaseModule {
public:
    CAtlBaseModule();
    ~CAtlBaseModule();
    // Modules searched for resources, in order; index 0 first.
    HINSTANCE GetHInstanceAt(int index) const;
    bool AddResourceInstance(HINSTANCE instance);
    bool RemoveResourceInstance(HINSTANCE instance);
    HINSTANCE GetResourceInstance() const { return GetHInstanceAt(0); }

    // Guards the module's one-time static data (registrations made once).
    CRITICAL_SECTION m_csStaticDataInitAndTypeInfo;

private:
    std::vector<HINSTANCE> m_resources;
};

CAtlBaseModule& atlBaseModule();

// Holds a critical section for a scope.
class CCritSecLock {
public:
    explicit CCritSecLock(CRITICAL_SECTION& section) : m_section(section) { EnterCriticalSection(&m_section); }
    ~CCritSecLock() { LeaveCriticalSection(&m_section); }
    CCritSecLock(const CCritSecLock&) = delete;
    CCritSecLock& operator=(const CCritSecLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

class CWindow {
public:
    explicit CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}
    HWND m_hWnd;

    operator HWND() const { return m_hWnd; }
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageW(m_hWnd, msg, wParam, lParam); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL GetClientRect(LPRECT rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(LPRECT rect) const { return ::GetWindowRect(m_hWnd, rect); }
    BOOL ShowWindow(int cmdShow) const { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    std::wstring text() const;
};

class CMessageMap {
public:
    virtual ~CMessageMap() = default;
    // True when the message was handled, with its result in result.
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId) = 0;
};

class CWindowImplBase : public CWindow, public CMessageMap {
public:
    CWindowImplBase();
    ~CWindowImplBase() override;
    CWindowImplBase(const CWindowImplBase&) = delete;
    CWindowImplBase& operator=(const CWindowImplBase&) = delete;

    // The procedure that routes this object's window's messages to it.
    virtual WNDPROC GetWindowProc();
    // After the window is gone; the object may delete itself here.
    virtual void OnFinalMessage(HWND hwnd);

    // Creates a window of the class (registered on first use with this
    // library's procedure) bound to this object. Null on failure.
    HWND Create(LPCWSTR className, HWND parent, const RECT& rect, LPCWSTR windowName, DWORD style, DWORD exStyle,
                UINT id, LPVOID param = nullptr);
    // Puts this object's procedure in front of the window's.
    BOOL SubclassWindow(HWND hwnd);
    // Puts the replaced procedure back. Without force, fails when another
    // procedure was put in front of this one since.
    HWND UnsubclassWindow(BOOL force = FALSE);

    // The current message, passed to the replaced procedure.
    LRESULT DefWindowProc();
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // The message being processed (null between messages).
    const MSG* m_pCurrentMsg;
    enum { WINSTATE_DESTROYED = 0x1 };
    DWORD m_dwState;
    WNDPROC m_pfnSuperWindowProc;

    static LRESULT dispatch(CWindowImplBase* object, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Dialogs pass what they do not handle to the dialog class's procedure.
    void bindDialog(HWND hwnd);
    bool acquireSlot();
    void releaseSlot();

private:
    int m_slot;
};

// A modeless dialog from a template registered under templateId (see
// kvplat::registerDialogTemplate / kvplat::addResourceDialog).
class CDialogImplBase : public CWindowImplBase {
public:
    // Builds the dialog, sends WM_INITDIALOG with initParam and shows it when
    // the template asks for WS_VISIBLE. Null on failure.
    HWND Create(UINT templateId, HWND parent, LPARAM initParam = 0);
    BOOL EndDialog(int result) { return ::EndDialog(m_hWnd, result); }
};

} // namespace ATL

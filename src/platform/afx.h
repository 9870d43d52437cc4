// The dialog-class-library stand-in: window objects bound to window handles,
// modeless dialogs built from templates registered in code, and the
// extension-module start-up of a library that shares the host's copy.
//
// A CWnd created through CreateEx or CDialog::Create is "permanent": it is
// found by CWnd::FromHandle, receives every message of its window through the
// virtual WindowProc, and loses its handle on WM_NCDESTROY, after which
// PostNcDestroy runs (a modeless dialog object may delete itself there).
// FromHandle on a window without an object hands out a temporary wrapper that
// lives until the window is destroyed.
#pragma once

#include "platform/windows.h"

#include <cstddef>
#include <new>

class CWnd;

// ---------------------------------------------------------------- small value types

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int ix, int iy) { x = ix; y = iy; }
    CPoint(POINT p) { x = p.x; y = p.y; }
};

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int w, int h) { cx = w; cy = h; }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const RECT& o) const { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const { return !(*this == o); }
};

// ---------------------------------------------------------------- windows

class CWnd {
public:
    CWnd();
    virtual ~CWnd();

    // Window objects come from the heap through these, so that a test can
    // make the next ones fail as on a full heap
    // (kvplat::failWindowObjectAllocations): the throwing form then throws
    // std::bad_alloc, the non-throwing one answers null.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void* p) noexcept;
    static void operator delete(void* p, const std::nothrow_t&) noexcept;
    static void operator delete(void*, void*) noexcept {}

    HWND m_hWnd;

    // The object of a window: the permanent one, else a temporary wrapper; null
    // for a null or destroyed handle.
    static CWnd* FromHandle(HWND hwnd);
    // Only a permanent object, else null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // Binds an existing window to this object (subclassing its procedure).
    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    BOOL ShowWindow(int cmdShow);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    void SetWindowText(LPCWSTR text);
    int GetWindowText(LPWSTR buffer, int maxCount) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, LPCWSTR text);
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT update = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    CWnd* SetFocus();
    void SetFont(HFONT font, BOOL redraw = TRUE);
    HFONT GetFont() const;
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);

    // Every message of the window arrives here. The default hands it to
    // OnWndMsg and, when that does not handle it, to DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The handlers of the standard messages; true when handled, with *result set.
    virtual BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The window's original procedure (its class procedure, or the one it had
    // before it was attached).
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called by the message pump for every queued message of this window or
    // its descendants, innermost window first; true swallows the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Runs after WM_NCDESTROY, when the object no longer has a window.
    virtual void PostNcDestroy();

    // Message handlers; each default passes the current message on with Default().
    virtual int OnCreate(LPCREATESTRUCTW create);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnClose();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnTimer(UINT_PTR id);

    // The current message handed to the window's original procedure.
    LRESULT Default();

    // The procedure that permanent objects install on their windows.
    static LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    WNDPROC m_pfnSuper;

private:
    bool m_temporary = false;
    friend struct CWndMap;

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
};

// A modeless dialog built from a template registered with
// kvplat::registerDialogTemplate under its id.
class CDialog : public CWnd {
public:
    CDialog();
    CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Builds the dialog window and its controls from the template (the
    // template's own id when id is 0) and sends WM_INITDIALOG. False when no
    // template is registered under the id or the window cannot be created.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    using CWnd::Create;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDHelp = 0;
    UINT m_lpszTemplateName = 0;  // the template id
    CWnd* m_pParentWnd = nullptr;
};

// ---------------------------------------------------------------- image lists

// An image list the object owns: made by Create, destroyed with the object.
class CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // A list of images cx by cy, empty at first; false (and no list) when the
    // platform makes none of that size. A list made before is destroyed first.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};

// ---------------------------------------------------------------- extension modules

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

// Joins a module to the chain of modules searched for resources; the chain
// keeps the object, so the caller may let go of it.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
    virtual ~CDynLinkLibrary();

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
};

// The module whose resources (dialog templates, strings) are current.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
HINSTANCE AfxGetInstanceHandle();

// The modules joined by CDynLinkLibrary and not yet ended, in joining order.
int AfxGetExtensionModuleCount();

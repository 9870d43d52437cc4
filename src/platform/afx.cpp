// Window objects bound to window handles, template dialogs and extension
// modules of the dialog-class library stand-in.
#include "platform/afx.h"
#include "platform/platform_internal.h"
#include "platform/windows_ui.h"

#include <memory>
#include <unordered_map>

namespace {

struct CurrentMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

thread_local CWnd* t_creating = nullptr;
thread_local CurrentMessage t_current{nullptr, 0, 0, 0};

struct AfxState {
    int failingAllocations = 0;  // window objects still to be refused memory
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    std::vector<std::unique_ptr<CWnd>> retired;  // temporaries of destroyed windows, freed when idle
    std::vector<std::unique_ptr<CDynLinkLibrary>> chain;
    HINSTANCE resource = nullptr;
};

AfxState& afx()
{
    return kvplat::detail::lasting<AfxState>();
}

class CurrentMessageScope {
public:
    CurrentMessageScope(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) : m_saved(t_current)
    {
        t_current = CurrentMessage{hwnd, msg, wParam, lParam};
    }
    ~CurrentMessageScope() { t_current = m_saved; }

private:
    CurrentMessage m_saved;
};

} // namespace

struct CWndMap {
    static void makeTemporary(CWnd* w) { w->m_temporary = true; }
    static bool isTemporary(const CWnd* w) { return w->m_temporary; }
};

namespace kvplat {
namespace detail {

void afxOnCreate(HWND hwnd)
{
    CWnd* w = t_creating;
    if (!w)
        return;
    t_creating = nullptr;
    w->m_hWnd = hwnd;
    afx().permanent[hwnd] = w;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc));
}

void afxOnDestroy(HWND hwnd)
{
    auto& s = afx();
    auto p = s.permanent.find(hwnd);
    if (p != s.permanent.end()) {
        p->second->m_hWnd = nullptr;
        s.permanent.erase(p);
    }
    auto t = s.temporary.find(hwnd);
    if (t != s.temporary.end()) {
        t->second->m_hWnd = nullptr;
        s.retired.push_back(std::move(t->second));
        s.temporary.erase(t);
    }
}

bool afxPreTranslate(MSG* msg)
{
    // Innermost window first, then its parents, as the library's pump does.
    HWND h = msg->hwnd;
    while (h) {
        if (CWnd* w = CWnd::FromHandlePermanent(h))
            if (w->PreTranslateMessage(msg))
                return true;
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD))
            break;
        h = GetParent(h);
    }
    return false;
}

void afxIdle() { afx().retired.clear(); }

} // namespace detail

size_t temporaryWindowObjects() { return afx().temporary.size() + afx().retired.size(); }

void failWindowObjectAllocations(int count) { afx().failingAllocations = count > 0 ? count : 0; }

namespace detail {

void afxReset()
{
    auto& s = afx();
    s.failingAllocations = 0;
    for (auto& t : s.temporary)
        t.second->m_hWnd = nullptr;
    s.temporary.clear();
    s.retired.clear();
}

} // namespace detail
} // namespace kvplat

// ---------------------------------------------------------------- CWnd

namespace {

// Whether the next window object is refused its memory.
bool refuseWindowObject()
{
    int& pending = afx().failingAllocations;
    if (pending <= 0)
        return false;
    --pending;
    return true;
}

} // namespace

void* CWnd::operator new(std::size_t size)
{
    if (refuseWindowObject())
        throw std::bad_alloc();
    return ::operator new(size);
}

void* CWnd::operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (refuseWindowObject())
        return nullptr;
    return ::operator new(size, std::nothrow);
}

void CWnd::operator delete(void* p) noexcept { ::operator delete(p); }

void CWnd::operator delete(void* p, const std::nothrow_t&) noexcept { ::operator delete(p); }

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    if (m_hWnd && !m_temporary) {
        // The object goes first: the window is destroyed without reaching it.
        HWND h = m_hWnd;
        afx().permanent.erase(h);
        if (m_pfnSuper)
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_hWnd = nullptr;
        ::DestroyWindow(h);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!::IsWindow(hwnd))
        return nullptr;
    if (CWnd* w = FromHandlePermanent(hwnd))
        return w;
    auto& temp = afx().temporary;
    auto it = temp.find(hwnd);
    if (it != temp.end())
        return it->second.get();
    auto w = std::make_unique<CWnd>();
    w->m_hWnd = hwnd;
    CWndMap::makeTemporary(w.get());
    CWnd* raw = w.get();
    temp[hwnd] = std::move(w);
    return raw;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    auto& p = afx().permanent;
    auto it = p.find(hwnd);
    return it == p.end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (m_hWnd || !::IsWindow(hwnd) || FromHandlePermanent(hwnd))
        return FALSE;
    m_hWnd = hwnd;
    afx().permanent[hwnd] = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (!h)
        return nullptr;
    afx().permanent.erase(h);
    if (m_pfnSuper && ::IsWindow(h))
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    HWND item = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    if (!item || !Attach(item))
        return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    t_creating = this;
    HWND h = ::CreateWindowExW(exStyle, className ? className : L"AfxWnd", windowName, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), param);
    t_creating = nullptr;
    return h ? TRUE : FALSE;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::DestroyWindow()
{
    HWND h = m_hWnd;  // the object may be gone when this returns
    return h ? ::DestroyWindow(h) : FALSE;
}

BOOL CWnd::ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
void CWnd::SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
int CWnd::GetWindowText(LPWSTR buffer, int maxCount) const { return ::GetWindowTextW(m_hWnd, buffer, maxCount); }
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
void CWnd::SetDlgItemText(int id, LPCWSTR text) { ::SetDlgItemTextW(m_hWnd, id, text); }
void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    const DWORD old = GetStyle();
    const DWORD now = (old & ~remove) | add;
    if (now == old)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(now));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }

void CWnd::ScreenToClient(LPRECT rect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }

void CWnd::ClientToScreen(LPRECT rect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT update, HRGN region, UINT flags) { return ::RedrawWindow(m_hWnd, update, region, flags); }
LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::PostMessageW(m_hWnd, msg, wParam, lParam); }
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
void CWnd::SetFont(HFONT font, BOOL redraw) { ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }

int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) { return ::MessageBoxW(m_hWnd, text, caption, type); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(msg, wParam, lParam, &result))
        result = DefWindowProc(msg, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT r = 0;
    switch (msg) {
    case WM_CREATE:
        r = OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCDESTROY:
        // The object may be deleted in here (PostNcDestroy): touch nothing after.
        OnNcDestroy();
        if (result)
            *result = 0;
        return TRUE;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam))
            return FALSE;
        break;
    case WM_NOTIFY:
        if (!OnNotify(wParam, lParam, &r))
            return FALSE;
        break;
    default:
        return FALSE;
    }
    if (result)
        *result = r;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::CallWindowProcW(kvplat::detail::classProc(m_hWnd), m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
void CWnd::PostNcDestroy() {}
int CWnd::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy()
{
    Default();
    HWND h = m_hWnd;
    afx().permanent.erase(h);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    PostNcDestroy();
}

void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }

LRESULT CWnd::Default()
{
    const CurrentMessage m = t_current;
    return DefWindowProc(m.msg, m.wParam, m.lParam);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* w = FromHandlePermanent(hwnd);
    if (!w)
        return ::CallWindowProcW(kvplat::detail::classProc(hwnd), hwnd, msg, wParam, lParam);
    CurrentMessageScope scope(hwnd, msg, wParam, lParam);
    return w->WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------- CDialog

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_lpszTemplateName(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    if (m_hWnd)
        return FALSE;
    if (templateId)
        m_lpszTemplateName = templateId;
    if (parent)
        m_pParentWnd = parent;
    const kvplat::DialogTemplate* t = kvplat::findDialogTemplate(m_lpszTemplateName);
    if (!t)
        return FALSE;
    const bool visible = (t->style & WS_VISIBLE) != 0;
    t_creating = this;
    HWND h = kvplat::createDialogWindow(m_lpszTemplateName, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, nullptr);
    t_creating = nullptr;
    if (!h)
        return FALSE;
    HWND first = nullptr;
    for (HWND c : kvplat::childWindows(h)) {
        if (GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP) {
            first = c;
            break;
        }
    }
    const LRESULT focusDefault = ::SendMessageW(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0);
    if (!::IsWindow(h))
        return FALSE;
    if (focusDefault && first && ::IsWindow(first))
        ::SetFocus(first);
    if (visible)
        ::ShowWindow(h, SW_SHOW);
    return ::IsWindow(h) ? TRUE : FALSE;
}

BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }
void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_INITDIALOG) {
        const BOOL r = OnInitDialog();
        if (result)
            *result = r;
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            if (result)
                *result = 0;
            return TRUE;
        }
        const WORD id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
            if (id == IDOK)
                OnOK();
            else
                OnCancel();
            if (result)
                *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    // The dialog keys (Enter, Escape, Tab) act as in any dialog.
    if (msg && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_TAB))
        return ::IsDialogMessageW(m_hWnd, msg);
    return FALSE;
}

// ---------------------------------------------------------------- extension modules

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module)
{
    if (!module)
        return FALSE;
    state.bInitialized = TRUE;
    state.hModule = module;
    state.hResource = module;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all)
{
    auto& chain = afx().chain;
    for (auto it = chain.begin(); it != chain.end();) {
        if (all || (*it)->m_hModule == state.hModule)
            it = chain.erase(it);
        else
            ++it;
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(system)
{
    afx().chain.emplace_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() = default;

HINSTANCE AfxGetResourceHandle() { return afx().resource; }
void AfxSetResourceHandle(HINSTANCE instance) { afx().resource = instance; }
HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleW(nullptr); }
int AfxGetExtensionModuleCount() { return static_cast<int>(afx().chain.size()); }

// ---------------------------------------------------------------- image lists

CImageList::~CImageList()
{
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    const BOOL done = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return done;
}

#include "platform/atl.h"
#include "platform/platform_internal.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ATL {

// ---------------------------------------------------------------- module

CAtlBaseModule::CAtlBaseModule() { InitializeCriticalSection(&m_csStaticDataInitAndTypeInfo); }

CAtlBaseModule::~CAtlBaseModule() { DeleteCriticalSection(&m_csStaticDataInitAndTypeInfo); }

HINSTANCE CAtlBaseModule::GetHInstanceAt(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_resources.size())
        return nullptr;
    return m_resources[static_cast<size_t>(index)];
}

bool CAtlBaseModule::AddResourceInstance(HINSTANCE instance)
{
    if (!instance || std::find(m_resources.begin(), m_resources.end(), instance) != m_resources.end())
        return false;
    m_resources.push_back(instance);
    return true;
}

bool CAtlBaseModule::RemoveResourceInstance(HINSTANCE instance)
{
    auto it = std::find(m_resources.begin(), m_resources.end(), instance);
    if (it == m_resources.end())
        return false;
    m_resources.erase(it);
    return true;
}

CAtlBaseModule& atlBaseModule()
{
    return kvplat::detail::lasting<CAtlBaseModule>();
}

std::wstring CWindow::text() const
{
    const int n = ::GetWindowTextLengthW(m_hWnd);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hWnd, &out[0], static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(got > 0 ? got : 0));
    return out;
}

// ---------------------------------------------------------------- trampolines

namespace {

constexpr size_t kSlots = 512;
CWindowImplBase* g_slots[kSlots];
// A slot whose object went while another procedure stood in front of its own:
// the window still calls it, so it passes everything to the procedure the
// object had replaced. Such a slot is handed out again once the window is gone.
WNDPROC g_forward[kSlots];
thread_local CWindowImplBase* t_creating = nullptr;

template <size_t N>
LRESULT CALLBACK slotProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!g_slots[N] && g_forward[N]) {
        const LRESULT result = CallWindowProcW(g_forward[N], hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY)
            g_forward[N] = nullptr;  // the window is gone: the slot is free again
        return result;
    }
    return CWindowImplBase::dispatch(g_slots[N], hwnd, msg, wParam, lParam);
}

template <size_t... I>
std::array<WNDPROC, sizeof...(I)> makeSlotProcs(std::index_sequence<I...>)
{
    return {{&slotProc<I>...}};
}

const std::array<WNDPROC, kSlots>& slotProcs()
{
    static const std::array<WNDPROC, kSlots> procs = makeSlotProcs(std::make_index_sequence<kSlots>{});
    return procs;
}

// The class procedure of windows created by CWindowImplBase::Create: binds
// the object being created to its window at the first message.
LRESULT CALLBACK startWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindowImplBase* object = t_creating;
    if (!object)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    t_creating = nullptr;
    object->m_hWnd = hwnd;
    object->m_pfnSuperWindowProc = &DefWindowProcW;
    WNDPROC proc = object->GetWindowProc();
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return proc(hwnd, msg, wParam, lParam);
}

} // namespace

CWindowImplBase::CWindowImplBase()
    : m_pCurrentMsg(nullptr), m_dwState(0), m_pfnSuperWindowProc(&DefWindowProcW), m_slot(-1)
{
}

CWindowImplBase::~CWindowImplBase()
{
    // A window that outlives its object goes back to the procedure it had.
    if (m_hWnd && ::IsWindow(m_hWnd))
        UnsubclassWindow(TRUE);
    releaseSlot();
}

bool CWindowImplBase::acquireSlot()
{
    if (m_slot >= 0)
        return true;
    for (size_t i = 0; i < kSlots; ++i)
        if (!g_slots[i] && !g_forward[i]) {
            g_slots[i] = this;
            m_slot = static_cast<int>(i);
            return true;
        }
    return false;
}

void CWindowImplBase::releaseSlot()
{
    if (m_slot >= 0 && g_slots[m_slot] == this)
        g_slots[m_slot] = nullptr;
    m_slot = -1;
}

WNDPROC CWindowImplBase::GetWindowProc()
{
    return acquireSlot() ? slotProcs()[static_cast<size_t>(m_slot)] : nullptr;
}

void CWindowImplBase::OnFinalMessage(HWND) {}

HWND CWindowImplBase::Create(LPCWSTR className, HWND parent, const RECT& rect, LPCWSTR windowName, DWORD style,
                             DWORD exStyle, UINT id, LPVOID param)
{
    if (m_hWnd || !className || !GetWindowProc())
        return nullptr;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(nullptr, className, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &startWindowProc;
        wc.lpszClassName = className;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        if (!RegisterClassExW(&wc))
            return nullptr;
    }
    CWindowImplBase* outer = t_creating;
    t_creating = this;
    HWND hwnd = CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, param);
    if (t_creating == this)
        t_creating = outer;
    if (!hwnd)
        releaseSlot();
    return hwnd;
}

BOOL CWindowImplBase::SubclassWindow(HWND hwnd)
{
    if (m_hWnd || !::IsWindow(hwnd))
        return FALSE;
    WNDPROC proc = GetWindowProc();
    if (!proc)
        return FALSE;
    m_pfnSuperWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWindowImplBase::UnsubclassWindow(BOOL force)
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    WNDPROC ours = m_slot >= 0 ? slotProcs()[static_cast<size_t>(m_slot)] : nullptr;
    const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (current != ours && !force)
        return nullptr;
    if (current == ours && ::IsWindow(hwnd))
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
    else if (ours && ::IsWindow(hwnd))
        g_forward[m_slot] = m_pfnSuperWindowProc;  // still in the chain: keep it passing on
    m_pfnSuperWindowProc = &DefWindowProcW;
    m_hWnd = nullptr;
    releaseSlot();
    return hwnd;
}

LRESULT CWindowImplBase::DefWindowProc()
{
    const MSG* m = m_pCurrentMsg;
    return m ? DefWindowProc(m->message, m->wParam, m->lParam) : 0;
}

LRESULT CWindowImplBase::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_pfnSuperWindowProc, m_hWnd, msg, wParam, lParam);
}

void CWindowImplBase::bindDialog(HWND hwnd)
{
    m_hWnd = hwnd;
    m_pfnSuperWindowProc = kvplat::detail::classProc(hwnd);
}

LRESULT CWindowImplBase::dispatch(CWindowImplBase* self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (!self->m_hWnd)
        self->m_hWnd = hwnd;
    MSG current{hwnd, msg, wParam, lParam, 0, POINT{0, 0}};
    const MSG* outer = self->m_pCurrentMsg;
    self->m_pCurrentMsg = &current;
    LRESULT result = 0;
    const BOOL handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result, 0);
    self->m_pCurrentMsg = outer;
    if (!handled) {
        if (msg != WM_NCDESTROY) {
            result = self->DefWindowProc(msg, wParam, lParam);
        } else {
            // The window is going: give it its procedure back and let go.
            const LONG_PTR proc = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
            result = self->DefWindowProc(msg, wParam, lParam);
            if (self->m_pfnSuperWindowProc != &DefWindowProcW && ::IsWindow(hwnd) &&
                GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == proc)
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pfnSuperWindowProc));
            self->m_dwState |= WINSTATE_DESTROYED;
        }
    }
    if ((self->m_dwState & WINSTATE_DESTROYED) && !outer) {
        HWND gone = self->m_hWnd;
        self->m_hWnd = nullptr;
        self->m_dwState &= ~static_cast<DWORD>(WINSTATE_DESTROYED);
        self->m_pfnSuperWindowProc = &DefWindowProcW;
        self->releaseSlot();
        self->OnFinalMessage(gone);  // may delete the object
    }
    return result;
}

// ---------------------------------------------------------------- dialogs

HWND CDialogImplBase::Create(UINT templateId, HWND parent, LPARAM initParam)
{
    if (m_hWnd)
        return nullptr;
    const kvplat::DialogTemplate* t = kvplat::findDialogTemplate(templateId);
    WNDPROC proc = GetWindowProc();
    if (!t || !proc)
        return nullptr;
    const bool visible = (t->style & WS_VISIBLE) != 0;
    HWND hwnd = kvplat::createDialogWindow(templateId, parent, nullptr);
    if (!hwnd) {
        releaseSlot();
        return nullptr;
    }
    bindDialog(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    SendMessageW(hwnd, WM_INITDIALOG, 0, initParam);
    if (::IsWindow(hwnd) && visible)
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
    return ::IsWindow(hwnd) ? hwnd : nullptr;
}

} // namespace ATL

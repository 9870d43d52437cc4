#include "ui/atl/ipe/WndObserver.h"

#include "ui/atl/PrivateMessages.h"

namespace kv {
namespace ui {
namespace atl {
namespace ipe {

WndObserver::WndObserver(Editor* editor, DWORD mapId) : m_editor(editor), m_mapId(mapId) {}

WndObserver::~WndObserver() = default;

WndObserver* WndObserver::observe(HWND window, Editor* editor, DWORD mapId)
{
    if (!::IsWindow(window) || !editor)
        return nullptr;
    auto* observer = new WndObserver(editor, mapId);
    observer->addRef();
    if (!observer->SubclassWindow(window)) {
        observer->RefCountedObj::release();
        return nullptr;
    }
    return observer;
}

BOOL WndObserver::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    if (msg == msgDestroyObserved) {
        ::DestroyWindow(hwnd);
        result = 0;
        return TRUE;
    }
    if (!m_editor)
        return FALSE;
    // The editor may let go of the observer while it works; keep it until then.
    IntrusivePtr<WndObserver> keep(this);
    return m_editor->ProcessWindowMessage(hwnd, msg, wParam, lParam, result, m_mapId);
}

void WndObserver::OnFinalMessage(HWND) { RefCountedObj::release(); }

void WndObserver::releaseAll(const std::vector<WndObserver*>& observers)
{
    for (WndObserver* o : observers) {
        if (!o || !o->m_hWnd)
            continue;
        HWND hwnd = o->m_hWnd;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != o->GetWindowProc())
            continue;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(o->m_pfnSuperWindowProc));
        if (o->m_pCurrentMsg) {
            // Busy with a message of this window: let go when it ends.
            o->m_dwState |= WINSTATE_DESTROYED;
        } else {
            o->m_hWnd = nullptr;
            o->m_pfnSuperWindowProc = &DefWindowProcW;
            o->releaseSlot();
            o->OnFinalMessage(hwnd);
        }
    }
}

} // namespace ipe
} // namespace atl
} // namespace ui
} // namespace kv

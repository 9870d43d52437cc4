#include "ui/atl/ProxyCtrl.h"

#include "ui/atl/PushButtonBase.h"

namespace kv {
namespace ui {
namespace atl {

BOOL ProxyInner::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    return m_proxy.processInnerMessage(hwnd, msg, wParam, lParam, result);
}

ProxyCtrlBase::ProxyCtrlBase(const wchar_t* className, const wchar_t* innerClass, const ControlColorsPtr& colors)
    : m_className(className), m_innerClass(innerClass), m_forwarding(true), m_colors(colors)
{
}

ProxyCtrlBase::~ProxyCtrlBase() = default;

HWND ProxyCtrlBase::create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, DWORD innerStyle, UINT id)
{
    // The library's controls are visible children that clip their neighbours.
    style |= controlTraits;
    HWND proxy = Create(m_className, parent, rect, nullptr, style | WS_CHILD, 0, id);
    if (!proxy)
        return nullptr;
    RECT client;
    ::GetClientRect(proxy, &client);
    HWND control = CreateWindowExW(0, m_innerClass, text, innerStyle | WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                                   client.bottom, proxy, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                                   nullptr);
    if (!control || !innerImpl().SubclassWindow(control)) {
        ::DestroyWindow(proxy);
        return nullptr;
    }
    innerCreated(control);
    return ::IsWindow(proxy) ? proxy : nullptr;
}

void ProxyCtrlBase::innerCreated(HWND) {}

BOOL ProxyCtrlBase::processInnerMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return FALSE; }

void ProxyCtrlBase::onPaint(WPARAM wParam)
{
    if (wParam)
        return;  // the inner control covers the client area; nothing of the proxy shows
    PAINTSTRUCT ps;
    BeginPaint(m_hWnd, &ps);
    EndPaint(m_hWnd, &ps);
}

LRESULT ProxyCtrlBase::forwardToParent()
{
    HWND parent = ::GetParent(m_hWnd);
    if (!m_forwarding || !m_pCurrentMsg || !::IsWindow(m_hWnd) || !::IsWindow(parent))
        return 0;
    return ::SendMessageW(parent, m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT ProxyCtrlBase::defInnerWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    ProxyInner& impl = innerImpl();
    if (!impl.m_hWnd || !::IsWindow(impl.m_hWnd))
        return 0;
    return CallWindowProcW(impl.m_pfnSuperWindowProc, impl.m_hWnd, msg, wParam, lParam);
}

BOOL ProxyCtrlBase::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD)
{
    switch (msg) {
    case WM_PAINT:
        onPaint(wParam);
        result = 0;
        return TRUE;
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_SIZE:
        result = DefWindowProc();
        if (wParam != SIZE_MINIMIZED && inner())
            MoveWindow(inner(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return TRUE;
    case WM_SETFOCUS:
        if (inner())
            SetFocus(inner());
        result = 0;
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == inner() && inner()) {
            result = forwardToParent();
            return TRUE;
        }
        return FALSE;
    case WM_ENABLE:
        if (inner())
            EnableWindow(inner(), wParam ? TRUE : FALSE);
        result = 0;
        return TRUE;
    case WM_GETDLGCODE:
    case WM_SETFONT:
    case WM_GETFONT:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        result = defInnerWindowProc(msg, wParam, lParam);
        return TRUE;
    default:
        if (msg >= WM_KEYFIRST && msg <= 0x108) {
            result = defInnerWindowProc(msg, wParam, lParam);
            return TRUE;
        }
        (void)hwnd;
        return FALSE;
    }
}

HWND ReplacingProxy::createInPlace(const Placeholder& placeholder, const wchar_t* text)
{
    return create(placeholder.parent, placeholder.rect, text, placeholder.style,
                  placeholder.itemStyle | (placeholder.style & WS_TABSTOP), placeholder.id);
}

BOOL Button::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD mapId)
{
    if (msg >= BM_GETCHECK && msg <= BM_SETIMAGE) {
        result = defInnerWindowProc(msg, wParam, lParam);
        return TRUE;
    }
    return ProxyCtrlBase::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
}

} // namespace atl
} // namespace ui
} // namespace kv

// Proxy windows around platform controls: a window of the library's own class
// whose client area the platform control fills. The proxy subclasses the
// control, hands it the messages that belong to it and passes its
// notifications on to the proxy's parent.
#pragma once

#include "platform/atl.h"
#include "ui/atl/ControlColors.h"
#include "ui/atl/ReplaceCtrl.h"

namespace kv {
namespace ui {
namespace atl {

class ProxyCtrlBase;

// The subclassing of the inner platform control: what the proxy does not take
// goes on to the control's own procedure. Each proxy kind has its own class
// of it (ButtonImpl, ComboBoxImpl, EditImpl).
class ProxyInner : public ATL::CWindowImplBase {
public:
    explicit ProxyInner(ProxyCtrlBase& proxy) : m_proxy(proxy) {}
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

private:
    ProxyCtrlBase& m_proxy;
};

// The inner objects of the three proxies; each subclasses a platform control
// of the proxy's inner class.
class ButtonImpl : public ProxyInner {
public:
    using ProxyInner::ProxyInner;
};

class ComboBoxImpl : public ProxyInner {
public:
    using ProxyInner::ProxyInner;
};

class EditImpl : public ProxyInner {
public:
    using ProxyInner::ProxyInner;
};

class ProxyCtrlBase : public ATL::CWindowImplBase {
public:
    ProxyCtrlBase(const wchar_t* className, const wchar_t* innerClass, const ControlColorsPtr& colors);
    ~ProxyCtrlBase() override;

    // Creates the proxy and, filling it, the inner control with innerStyle.
    HWND create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, DWORD innerStyle, UINT id);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    // Messages of the inner control, before its own procedure; true handles them.
    virtual BOOL processInnerMessage(HWND inner, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called once the inner control exists and is subclassed.
    virtual void innerCreated(HWND inner);

    // WM_PAINT: into the DC in wParam, or between BeginPaint and EndPaint.
    void onPaint(WPARAM wParam);
    // Sends the current message (a notification of the inner control) to the
    // proxy's parent, when forwarding is on and both windows exist.
    LRESULT forwardToParent();
    // The current message, through the inner control's replaced procedure; 0
    // when the inner window is gone.
    LRESULT defInnerWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND inner() const { return const_cast<ProxyCtrlBase*>(this)->innerImpl().m_hWnd; }
    void setForwarding(bool forwarding) { m_forwarding = forwarding; }
    bool forwarding() const { return m_forwarding; }
    const ControlColorsPtr& colors() const { return m_colors; }

    // The object that subclasses the inner control, of the proxy kind's own class.
    virtual ProxyInner& innerImpl() = 0;

protected:
    const wchar_t* m_className;
    const wchar_t* m_innerClass;
    bool m_forwarding;
    ControlColorsPtr m_colors;
};

// A proxy that can take a dialog item's place; the inner control keeps the
// item's own style (button kind, edit options).
class ReplacingProxy : public ProxyCtrlBase, public ReplaceCtrlBase {
public:
    using ProxyCtrlBase::ProxyCtrlBase;

protected:
    HWND createInPlace(const Placeholder& placeholder, const wchar_t* text) override;
};

// A proxy whose inner control is subclassed by an object of class TImpl.
template <class TImpl>
class ProxyCtrl : public ReplacingProxy {
public:
    ProxyCtrl(const wchar_t* className, const wchar_t* innerClass, const ControlColorsPtr& colors)
        : ReplacingProxy(className, innerClass, colors), m_impl(*this)
    {
    }
    TImpl& innerImpl() override { return m_impl; }

protected:
    TImpl m_impl;
};

// The proxy of a platform button; also hands it the button messages.
class Button : public ProxyCtrl<ButtonImpl> {
public:
    explicit Button(const ControlColorsPtr& colors) : ProxyCtrl(L"kv::ui::atl::Button", L"Button", colors) {}
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
};

class ComboBox : public ProxyCtrl<ComboBoxImpl> {
public:
    explicit ComboBox(const ControlColorsPtr& colors) : ProxyCtrl(L"kv::ui::atl::ComboBox", L"ComboBox", colors) {}
};

class Edit : public ProxyCtrl<EditImpl> {
public:
    explicit Edit(const ControlColorsPtr& colors) : ProxyCtrl(L"kv::ui::atl::Edit", L"Edit", colors) {}
};

} // namespace atl
} // namespace ui
} // namespace kv

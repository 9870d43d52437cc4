// The property-grid framework's control factories, by registered kind name:
// "PushButton", "CheckBox" and "ColorButton". Each makes the control's window
// in a parent and hands the control the dialog's shared context.
//
// A host that loads the module reaches the list through the module's test
// entry (host/kvTestEntry.h) and the interface below, without linking the
// module.
#pragma once

#include "ui/atl/ControlColors.h"

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/signals2/signal.hpp>

#include <map>
#include <string>

namespace ATL {
class CWindowImplBase;
}

namespace kv {
namespace ui {
namespace atl {
namespace dv {

class Control;
class PushButton;

// A control made by a factory. The window object lives as long as this
// record's owner keeps it; its window is destroyed with its parent or by
// DestroyWindow, and the object must outlive the window.
struct CreatedControl {
    boost::shared_ptr<ATL::CWindowImplBase> object;
    HWND window = nullptr;
    Control* field = nullptr;                           // field controls: the value, state and texts
    PushButton* button = nullptr;                       // push buttons
    boost::signals2::signal<void()>* clicked = nullptr;  // push buttons: the clicked signal
};

struct ControlSpec {
    HWND parent = nullptr;
    RECT rect{0, 0, 0, 0};
    UINT id = 0;
    std::wstring text;     // the button's or check box's caption
    std::wstring toolTip;  // empty for none
    DWORD style = 0;       // extra style bits (BS_DEFPUSHBUTTON, WS_DISABLED, ...)
};

// What a host may use of the list: an interface defined wholly here.
class ControlFactories {
public:
    // The control of that kind; no window when the kind is unknown or the
    // window cannot be made.
    virtual CreatedControl create(const std::wstring& kind, const ControlSpec& spec,
                                  const ControlColorsPtr& colors) const = 0;
    // A context for the controls of one dialog, owned by the caller.
    virtual ControlColorsPtr makeColors(HWND owner) const = 0;

protected:
    ~ControlFactories() = default;
};

class ControlFactoryList : public ControlFactories {
public:
    typedef boost::function<CreatedControl(const ControlSpec&, const ControlColorsPtr&)> Factory;

    static ControlFactoryList& instance();

    // Adds a factory; false for an empty name or one taken already.
    bool add(const std::wstring& kind, const Factory& factory);
    CreatedControl create(const std::wstring& kind, const ControlSpec& spec,
                          const ControlColorsPtr& colors) const override;
    ControlColorsPtr makeColors(HWND owner) const override;

private:
    std::map<std::wstring, Factory> m_factories;
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/dv/ControlFactory.h"

#include "ui/atl/dv/CheckBox.h"
#include "ui/atl/dv/ColorButton.h"
#include "ui/atl/dv/PushButton.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {

ControlFactoryList& ControlFactoryList::instance()
{
    static ControlFactoryList list;
    return list;
}

bool ControlFactoryList::add(const std::wstring& kind, const Factory& factory)
{
    if (kind.empty() || !factory || m_factories.count(kind))
        return false;
    m_factories[kind] = factory;
    return true;
}

CreatedControl ControlFactoryList::create(const std::wstring& kind, const ControlSpec& spec,
                                          const ControlColorsPtr& colors) const
{
    auto it = m_factories.find(kind);
    if (it == m_factories.end())
        return CreatedControl();
    CreatedControl made = it->second(spec, colors);
    if (!made.window)
        return CreatedControl();
    return made;
}

ControlColorsPtr ControlFactoryList::makeColors(HWND owner) const
{
    ControlColorsPtr colors(new ControlColors());
    colors->setOwner(owner);
    // Modified values on a light yellow, pending ones on light blue: solid brushes.
    colors->setColors(1, 0x01000000u | RGB(0, 0, 128), 0x01000000u | RGB(204, 229, 255));
    colors->setColors(2, 0x01000000u | RGB(0, 0, 0), 0x01000000u | RGB(255, 255, 204));
    colors->setColors(3, 0, 0x10000000u | RGB(240, 240, 240));
    colors->setColors(4, 0x01000000u | RGB(109, 109, 109), (COLOR_BTNFACE + 1u) << 24);
    return colors;
}

namespace {

CreatedControl makePushButton(const ControlSpec& spec, const ControlColorsPtr& colors)
{
    boost::shared_ptr<PushButton> button(new PushButton(colors));
    button->setToolTipText(spec.toolTip);
    CreatedControl made;
    made.window = button->create(spec.parent, spec.rect, spec.text.c_str(), spec.style | WS_TABSTOP, spec.id);
    made.object = button;
    made.button = button.get();
    made.clicked = &button->clicked;
    return made;
}

CreatedControl makeCheckBox(const ControlSpec& spec, const ControlColorsPtr& colors)
{
    boost::shared_ptr<CheckBox> box(new CheckBox(colors));
    box->setText(textToolTip, spec.toolTip);
    CreatedControl made;
    made.window = box->create(spec.parent, spec.rect, spec.text.c_str(), spec.id, spec.style);
    made.object = box;
    made.field = box.get();
    return made;
}

CreatedControl makeColorButton(const ControlSpec& spec, const ControlColorsPtr& colors)
{
    boost::shared_ptr<ColorButton> button(new ColorButton(colors));
    button->setText(textToolTip, spec.toolTip);
    CreatedControl made;
    made.window = button->create(spec.parent, spec.rect, spec.id, spec.style);
    if (made.window && !spec.text.empty())
        SetWindowTextW(made.window, spec.text.c_str());
    made.object = button;
    made.field = button.get();
    return made;
}

// Registered when the module starts, with the framework's property kinds.
struct Registrations {
    Registrations()
    {
        ControlFactoryList& list = ControlFactoryList::instance();
        list.add(L"PushButton", &makePushButton);
        list.add(L"CheckBox", &makeCheckBox);
        list.add(L"ColorButton", &makeColorButton);
    }
} g_registrations;

} // namespace

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

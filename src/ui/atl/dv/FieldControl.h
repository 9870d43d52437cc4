// The field-control base of the property-grid framework's controls (colour
// button, check box): a named value with its original, the field's state
// word, three texts, and the signals the framework's controllers connect to.
#pragma once

#include <boost/any.hpp>
#include <boost/signals2/signal.hpp>

#include <string>

namespace kv {
namespace ui {
namespace atl {
namespace dv {

// The field's state word.
enum FieldState : unsigned {
    statePending = 0x1,       // a change waits to be written to the controller
    stateModified = 0x2,      // the value differs from the original
    stateDisplay1 = 0x10,     // further display states, shown in colour set 2 and 3
    stateDisplay2 = 0x20,
    stateNull = 0x40,         // the field has no value
    stateOriginalNull = 0x80, // the original had no value
    stateNullAllowed = 0x100  // a field may be without a value
};

// How a control shows its value again.
enum Redisplay : unsigned {
    showQuietly = 0x1,  // put the value into the control without a change notification
    showRedraw = 0x2,   // redraw only
    showHolding = 0x4   // hold the control's own change notification while showing
};

// The three texts of a field.
enum FieldText { textToolTip = 0, textLabel = 1, textDescription = 2 };

class Control {
public:
    typedef boost::signals2::signal<void(const std::wstring& field, unsigned state, const boost::any& value)> ValueSignal;
    typedef boost::signals2::signal<void(const std::wstring& field)> FieldSignal;

    virtual ~Control() = default;
    // Name, value (empty for none) and state; the value becomes the original too.
    virtual void initField(const std::wstring& name, const boost::any& value, unsigned state) = 0;
    // Empty while the field has no value.
    virtual boost::any getValue() const = 0;
    // An empty any clears the value where that is allowed; false for a value
    // of another type or a null that is not allowed.
    virtual bool setValue(const boost::any& value, unsigned redisplay) = 0;
    virtual unsigned getState() const = 0;
    // Sets the bits selected by mask; the bits that changed.
    virtual unsigned setState(unsigned bits, unsigned mask) = 0;
    virtual std::wstring getText(int kind) const = 0;
    virtual void setText(int kind, const std::wstring& text) = 0;
    virtual void showValue(unsigned redisplay) = 0;
    // Back to the original value, with a change notification.
    virtual void restoreValue() = 0;

    const std::wstring& fieldName() const { return m_name; }

    ValueSignal valueChanged;
    FieldSignal lostFocus;
    FieldSignal finalMessage;

protected:
    std::wstring m_name;
};

// Ctrl implements redisplay(unsigned); T is the value type, with fromAny.
template <typename Ctrl, typename T>
class FieldControl : public Control {
public:
    FieldControl() : m_value(), m_original(), m_fieldState(stateNull | stateOriginalNull) {}

    void initField(const std::wstring& name, const boost::any& value, unsigned state) override
    {
        m_name = name;
        m_fieldState = state & ~(stateNull | stateOriginalNull | stateModified);
        T v{};
        if (!value.empty() && Ctrl::fromAny(value, v)) {
            m_value = m_original = v;
        } else {
            m_value = m_original = T();
            m_fieldState |= stateNull | stateOriginalNull;
        }
    }

    boost::any getValue() const override { return (m_fieldState & stateNull) ? boost::any() : boost::any(m_value); }

    bool setValue(const boost::any& value, unsigned redisplay) override
    {
        if (value.empty()) {
            if (!(m_fieldState & stateNullAllowed))
                return false;
            m_fieldState |= stateNull;
        } else {
            T v{};
            if (!Ctrl::fromAny(value, v))
                return false;
            m_value = v;
            m_fieldState &= ~stateNull;
        }
        updateModified();
        showValue(redisplay);
        return true;
    }

    unsigned getState() const override { return m_fieldState; }

    unsigned setState(unsigned bits, unsigned mask) override
    {
        const unsigned old = m_fieldState;
        unsigned next = (old & ~mask) | (bits & mask);
        if ((next & stateNullAllowed) && !(old & stateNullAllowed) &&
            ((next & stateNull) != 0) != ((next & stateOriginalNull) != 0))
            next |= stateModified;
        const unsigned cleared = old & ~next;
        if (cleared & (stateModified | stateDisplay1)) {
            // Accepting the change: what is shown now is the new original.
            m_original = m_value;
            next = (next & ~stateOriginalNull) | ((next & stateNull) ? unsigned(stateOriginalNull) : 0u);
        }
        m_fieldState = next;
        return old ^ next;
    }

    std::wstring getText(int kind) const override { return kind >= 0 && kind < 3 ? m_texts[kind] : std::wstring(); }
    void setText(int kind, const std::wstring& text) override
    {
        if (kind >= 0 && kind < 3)
            m_texts[kind] = text;
    }

    void showValue(unsigned redisplay) override { static_cast<Ctrl*>(this)->redisplay(redisplay); }

    void restoreValue() override
    {
        m_value = m_original;
        m_fieldState = (m_fieldState & ~stateNull) | ((m_fieldState & stateOriginalNull) ? unsigned(stateNull) : 0u);
        updateModified();
        showValue(showQuietly | showHolding | showRedraw);
        valueChanged(m_name, m_fieldState, getValue());
    }

    // Recomputes the modified bit; whether it changed.
    bool updateModified()
    {
        const bool isNull = (m_fieldState & stateNull) != 0;
        const bool wasNull = (m_fieldState & stateOriginalNull) != 0;
        const bool modified = isNull != wasNull || (!isNull && !(m_value == m_original));
        const bool had = (m_fieldState & stateModified) != 0;
        m_fieldState = modified ? (m_fieldState | stateModified) : (m_fieldState & ~stateModified);
        return modified != had;
    }

    // Hands the value to the controller and shows it again.
    void writeValue()
    {
        valueChanged(m_name, m_fieldState, getValue());
        showValue(showRedraw);
    }

    // A value the user gave through the control itself.
    void takeValue(const T& value)
    {
        m_value = value;
        m_fieldState &= ~stateNull;
        updateModified();
    }

    const T& value() const { return m_value; }
    bool isNull() const { return (m_fieldState & stateNull) != 0; }

protected:
    T m_value;
    T m_original;
    unsigned m_fieldState;
    std::wstring m_texts[3];
};

} // namespace dv
} // namespace atl
} // namespace ui
} // namespace kv

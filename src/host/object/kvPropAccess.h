// Typed access to property sets: propGet and propSet wrap the caller's
// variable in a generic value built in the caller's frame (no heap use per
// access), the property-set utility adds strict reads, flag switches and
// interface look-ups through the set's controller, and the iterators walk a
// set's entries (all of them, or only the nested sets).
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvGenVal.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvValueSets.h"

// Reads the named property into out; false (out unchanged) when the key is
// missing or its value does not convert. A null set reads nothing.
template <class T>
bool propGet(const kvCPrPropertySet* set, const wchar_t* name, T& out)
{
    if (set == nullptr)
        return false;
    kvTGenValPlace<kvCGenValueRefNc<T>> place;
    kvCGenVal* value = place.hold(newGenValueRef<T>(out, place.place()));
    if (value == nullptr)
        return false;
    return set->getPropValue(name, *value, nullptr);
}

// The named nested (or referenced) set.
template <>
inline bool propGet<kvCPrPropertySet*>(const kvCPrPropertySet* set, const wchar_t* name, kvCPrPropertySet*& out)
{
    if (set == nullptr)
        return false;
    kvCPrPropertySet* sub = set->getPropSet(name);
    if (sub == nullptr)
        return false;
    out = sub;
    return true;
}

// Writes value under name, creating the property when it is missing.
template <class T>
bool propSet(kvCPrPropertySet* set, const wchar_t* name, const T& value)
{
    if (set == nullptr)
        return false;
    kvTGenValPlace<kvCGenValueConstRef<T>> place;
    kvCGenVal* held = place.hold(newGenValueConstRef(value, place.place()));
    if (held == nullptr)
        return false;
    return set->setPropValue(name, *held, true);
}

class kvCPropertySetUtil {
public:
    explicit kvCPropertySetUtil(kvCPrPropertySet* set = nullptr, bool throwOnMissingSet = false)
        : m_set(set), m_throw(throwOnMissingSet)
    {
    }
    virtual ~kvCPropertySetUtil() { m_set = nullptr; }

    kvCPropertySetUtil& setPropertySet(kvCPrPropertySet* set)
    {
        m_set = set;
        return *this;
    }
    kvCPrPropertySet* propertySet() const { return m_set; }

    // Throws the bool false for a strict utility; otherwise returns and the
    // caller answers false or does nothing.
    void failNoPropertySet() const;

    template <class T>
    bool get(const wchar_t* name, T& out) const
    {
        if (m_set == nullptr) {
            failNoPropertySet();
            return false;
        }
        return propGet<T>(m_set, name, out);
    }

    // The controller's interface T, referenced for the caller, or null.
    template <class T>
    void getInterface(T** out) const
    {
        if (out == nullptr)
            return;
        *out = nullptr;
        if (m_set == nullptr || m_set->controller() == nullptr)
            return;
        kvIUnknown* unk = nullptr;
        m_set->controller()->getInterface(kvIfName<T>::value, &unk);
        *out = static_cast<T*>(unk);
    }

    void setVisible(const wchar_t* name, bool visible) { switchFlag(name, kvPropFlagHidden, !visible); }
    void setReadOnly(const wchar_t* name, bool readOnly) { switchFlag(name, kvPropFlagReadOnly, readOnly); }
    bool isVisible(const wchar_t* name) const;

private:
    void switchFlag(const wchar_t* name, short flag, bool on);

    kvCPrPropertySet* m_set;
    bool m_throw;
};

// Walks the non-empty entries of a set in slot order.
class kvCPrPropertySetIterator {
public:
    explicit kvCPrPropertySetIterator(const kvCPrPropertySet* set);
    ~kvCPrPropertySetIterator()
    {
        m_set = nullptr;
        m_index = 0;
    }

    bool atEnd() const { return m_current == nullptr; }
    kvCPrPropertySetIterator& operator++();
    kvPrProperty* current() const { return m_current; }
    kvPrProperty* operator->() const { return m_current; }
    kvPrProperty& operator*() const { return *m_current; }
    unsigned int index() const { return m_index; }

private:
    // From the slot at index on, the first entry that qualifies.
    void settle();

    kvPrProperty* m_current = nullptr;
    const kvCPrPropertySet* m_set;
    unsigned int m_index = 0;
};

// Walks only the entries that are property sets themselves.
template <class T>
class kvTPropSetIterator {
public:
    explicit kvTPropSetIterator(const kvCPrPropertySet* set) : m_set(set) { settle(); }
    ~kvTPropSetIterator()
    {
        m_set = nullptr;
        m_index = 0;
    }

    bool atEnd() const { return m_current == nullptr; }
    kvTPropSetIterator& operator++()
    {
        m_current = nullptr;
        if (m_set != nullptr) {
            ++m_index;
            settle();
        }
        return *this;
    }
    T* current() const { return m_current; }
    T* operator->() const { return m_current; }
    T& operator*() const { return *m_current; }
    unsigned int index() const { return m_index; }

private:
    void settle()
    {
        if (m_set == nullptr)
            return;
        kvPrProperty* entry = nullptr;
        while (m_set->getAt(m_index, entry)) {
            if (T* t = dynamic_cast<T*>(entry)) {
                m_current = t;
                return;
            }
            ++m_index;
        }
    }

    T* m_current = nullptr;
    const kvCPrPropertySet* m_set;
    unsigned int m_index = 0;
};

// Compares tools of a tool set with a wanted tool: true to go on searching,
// false for the tool whose controller hands out the wanted tool's object.
class isSameTool {
public:
    // The wanted tool; the predicate keeps its own reference.
    explicit isSameTool(kvIUnknown* wantedTool) : m_wanted(wantedTool) {}
    bool operator()(const kvCPrPropertySet* tool) const;

private:
    kvIUnknownPtr m_wanted;
};

// Advances the iterator to the first sub-set for which the predicate says
// false, or to its end.
template <class Pred>
void findToolInSet(kvTPropSetIterator<kvCPrPropertySet>& it, Pred pred)
{
    while (!it.atEnd() && pred(it.current()))
        ++it;
}

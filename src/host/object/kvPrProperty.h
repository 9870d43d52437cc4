// The base of every named entry of the object model: a property holds its
// name, and what it holds besides (a value, sub-properties, a nested set) is
// its class's. The bag's named values and the property set, which is built
// on the object model, both derive from it.
#pragma once

#include "sdk/kvString.h"

class kvPrProperty {
public:
    explicit kvPrProperty(const wchar_t* name = nullptr) : m_name(name) {}
    kvPrProperty(const kvPrProperty&) = default;
    kvPrProperty& operator=(const kvPrProperty&) = default;
    virtual ~kvPrProperty() {}
    // A new heap copy of the property.
    virtual kvPrProperty* clone() const = 0;
    virtual bool setName(const wchar_t* name)
    {
        m_name = kvCScString(name);
        return true;
    }

    // Null for a property made without a name.
    const wchar_t* getName() const { return m_name; }
    const kvCScString& name() const { return m_name; }

protected:
    kvCScString m_name;
};

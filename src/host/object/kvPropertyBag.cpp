#include "host/object/kvPropertyBag.h"

kvCProperty::kvCProperty(const kvCProperty& other) : kvPrProperty(other.getName())
{
    if (other.m_value != nullptr && !setPropValue(*other.m_value, false))
        throw false;
}

kvCProperty& kvCProperty::operator=(const kvCProperty& other)
{
    if (this == &other)
        return *this;
    // Clone first: a failed copy leaves the target as it was.
    kvCGenVal* copy = nullptr;
    if (other.m_value != nullptr) {
        copy = other.m_value->clone();
        if (copy == nullptr)
            throw false;
    }
    m_name = other.m_name;
    dropValue();
    m_value = copy;
    return *this;
}

kvCProperty::~kvCProperty() { dropValue(); }

void kvCProperty::dropValue()
{
    kvCGenVal* old = m_value;
    m_value = nullptr;
    try {
        delete old;
    } catch (...) {
        // A value that fails to go away must not take the property with it.
    }
}

bool kvCProperty::setPropValue(const kvCGenVal& v, bool force)
{
    if (m_value != nullptr) {
        try {
            m_value->assign(v, true);
            return true;
        } catch (...) {
            if (!force)
                return false;
        }
        // Hold the replacement before the old value goes.
        kvCGenVal* copy = v.clone();
        if (copy == nullptr)
            return false;
        dropValue();
        m_value = copy;
        return true;
    }
    m_value = v.clone();
    return m_value != nullptr;
}

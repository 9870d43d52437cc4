#include "host/object/kvPropAccess.h"

void kvCPropertySetUtil::failNoPropertySet() const
{
    if (m_throw)
        throw false;
}

void kvCPropertySetUtil::switchFlag(const wchar_t* name, short flag, bool on)
{
    if (m_set == nullptr) {
        failNoPropertySet();
        return;
    }
    short flags = 0;
    if (!m_set->getFlags(name, flags))
        return;
    const short changed = static_cast<short>(on ? (flags | flag) : (flags & ~flag));
    m_set->setFlags(name, changed);
}

bool kvCPropertySetUtil::isVisible(const wchar_t* name) const
{
    if (m_set == nullptr) {
        failNoPropertySet();
        return false;
    }
    short flags = 0;
    m_set->getFlags(name, flags);
    return (flags & kvPropFlagHidden) == 0;
}

kvCPrPropertySetIterator::kvCPrPropertySetIterator(const kvCPrPropertySet* set) : m_set(set) { settle(); }

void kvCPrPropertySetIterator::settle()
{
    if (m_set == nullptr)
        return;
    kvPrProperty* entry = nullptr;
    while (m_set->getAt(m_index, entry)) {
        if (entry != nullptr) {
            m_current = entry;
            return;
        }
        ++m_index;
    }
}

kvCPrPropertySetIterator& kvCPrPropertySetIterator::operator++()
{
    m_current = nullptr;
    if (m_set != nullptr) {
        ++m_index;
        settle();
    }
    return *this;
}

bool isSameTool::operator()(const kvCPrPropertySet* tool) const
{
    if (tool == nullptr || tool->controller() == nullptr || m_wanted.isNull())
        return true;
    kvIUnknown* unk = nullptr;
    tool->controller()->getInterface(kvIfName<kvIUnknown>::value, &unk);
    if (unk == nullptr)
        return true;
    kvIUnknownPtr owner;
    owner.attach(unk);
    return owner.get() != m_wanted.get();
}

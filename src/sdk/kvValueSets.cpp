#include "sdk/kvValueSets.h"

kvCIUnknownData::kvCIUnknownData(kvIUnknown* p) : m_p(p)
{
    if (m_p)
        m_p->addRef();
}

kvCIUnknownData::kvCIUnknownData(const kvCIUnknownData& other) : kvCIUnknownData(other.m_p) {}

kvCIUnknownData& kvCIUnknownData::operator=(const kvCIUnknownData& other)
{
    // Reference the new interface before the old one goes, so that assigning
    // an entry to itself never drops the last reference.
    kvIUnknown* p = other.m_p;
    if (p)
        p->addRef();
    kvIUnknown* old = m_p;
    m_p = p;
    if (old)
        old->release();
    return *this;
}

kvCIUnknownData::~kvCIUnknownData() { clear(); }

void kvCIUnknownData::clear()
{
    kvIUnknown* old = m_p;
    m_p = nullptr;
    if (old)
        old->release();
}

kvIUnknownPtr kvCIUnknownData::getUnknown() const { return kvIUnknownPtr(m_p); }

kvCIUnknownSet::kvCIUnknownSet(const kvCIUnknownSet& other) : m_items(other.m_items)
{
    for (kvIUnknown* p : m_items)
        p->addRef();
}

kvCIUnknownSet& kvCIUnknownSet::operator=(const kvCIUnknownSet& other)
{
    if (this == &other)
        return *this;
    std::vector<kvIUnknown*> items(other.m_items);
    for (kvIUnknown* p : items)
        p->addRef();
    m_items.swap(items);
    for (kvIUnknown* p : items)
        p->release();
    return *this;
}

kvCIUnknownSet::~kvCIUnknownSet() { clear(); }

int kvCIUnknownSet::get(unsigned int index, kvCIUnknownData& data) const
{
    if (index >= m_items.size())
        return 0;
    data = kvCIUnknownData(m_items[index]);
    return 1;
}

unsigned int kvCIUnknownSet::add(kvIUnknown* p)
{
    if (p == nullptr)
        return 0;
    p->addRef();
    m_items.push_back(p);
    return count();
}

bool kvCIUnknownSet::removeAt(unsigned int index)
{
    if (index >= m_items.size())
        return false;
    kvIUnknown* p = m_items[index];
    m_items.erase(m_items.begin() + index);
    p->release();
    return true;
}

void kvCIUnknownSet::clear()
{
    std::vector<kvIUnknown*> items;
    items.swap(m_items);
    for (kvIUnknown* p : items)
        p->release();
}

// Named generic values and the property bag: a small set of named values in
// insertion order, found by name through a sorted index of 1-based array
// positions. The index keeps no keys of its own; it reads each key through a
// key reader that looks into the bag, so the names live once, in the
// properties.
#pragma once

#include "host/object/kvArray.h"
#include "host/object/kvPrProperty.h"
#include "sdk/kvGenVal.h"

#include <cstdint>
#include <cwchar>

// A named generic value; the property owns its value object.
class kvCProperty : public kvPrProperty {
public:
    kvCProperty() : kvPrProperty(nullptr) {}
    explicit kvCProperty(const wchar_t* name) : kvPrProperty(name) {}
    template <class T>
    kvCProperty(const wchar_t* name, const T& v) : kvPrProperty(name)
    {
        setValue(v, false);
        if (m_value == nullptr)
            throw false;
    }
    kvCProperty(const kvCProperty& other);
    // The target takes the source's name and an equal value of its own type.
    kvCProperty& operator=(const kvCProperty& other);
    ~kvCProperty() override;
    kvPrProperty* clone() const override { return new kvCProperty(*this); }

    // Stores v: converted into the held value when it converts; otherwise,
    // with force, the held value is replaced by a copy of v. True when the
    // property then holds v's value.
    bool setPropValue(const kvCGenVal& v, bool force);

    template <class T>
    bool setValue(const T& v, bool force);
    template <class T>
    bool getValue(T& out) const;

    const kvCGenVal* value() const { return m_value; }
    kvCGenVal* value() { return m_value; }

protected:
    void dropValue();

    kvCGenVal* m_value = nullptr;
};

template <class T>
bool kvCProperty::setValue(const T& v, bool force)
{
    if (m_value != nullptr) {
        bool done = false;
        {
            kvTGenValPlace<kvCGenValueConstRef<T>> place;
            kvCGenVal* src = place.hold(newGenValueConstRef(v, place.place()));
            try {
                if (src != nullptr) {
                    *m_value = *src;
                    done = true;
                }
            } catch (...) {
                done = false;
            }
        }
        if (done)
            return true;
        if (!force)
            return false;
        // The replacement exists before the old value goes: a copy that
        // fails leaves the property as it was.
        kvCGenVal* fresh = newGenValue(v);
        if (fresh == nullptr)
            return false;
        dropValue();
        m_value = fresh;
        return true;
    }
    m_value = newGenValue(v);
    return m_value != nullptr;
}

template <class T>
bool kvCProperty::getValue(T& out) const
{
    if (m_value == nullptr)
        return false;
    kvTGenValPlace<kvCGenValueRefNc<T>> place;
    kvCGenVal* ref = place.hold(newGenValueRef<T>(out, place.place()));
    if (ref == nullptr)
        return false;
    try {
        ref->assign(*m_value, true);
    } catch (...) {
        return false;
    }
    return true;
}

// A key as the index compares it: the characters of a name, null allowed.
struct kvCScStringTCHARRef {
    const wchar_t* text = nullptr;

    kvCScStringTCHARRef() = default;
    kvCScStringTCHARRef(const wchar_t* t) : text(t) {}

    // Null before every name; names in code-unit order.
    static int compare(const kvCScStringTCHARRef& a, const kvCScStringTCHARRef& b)
    {
        if (a.text == nullptr || b.text == nullptr)
            return (a.text == nullptr ? 0 : 1) - (b.text == nullptr ? 0 : 1);
        return std::wcscmp(a.text, b.text);
    }
};

template <class P, class K>
class kvKeyReader {
public:
    virtual ~kvKeyReader() {}
    virtual K getKey(P position) const = 0;
};

// Sorted index of 1-based positions; 0 marks an empty slot.
template <class P, class K>
class kvIndex {
public:
    enum possibleExceptions {
        eDuplicateKey = 1,
        eEmptySlot = 2
    };
    static constexpr unsigned int npos = UINT32_MAX;

    explicit kvIndex(kvKeyReader<P, K>* reader) : m_reader(reader) {}
    kvIndex(const kvIndex&) = delete;
    kvIndex& operator=(const kvIndex&) = delete;
    ~kvIndex()
    {
        remove(0);
        delete[] m_positions;
    }

    unsigned int size() const { return m_size; }
    unsigned int capacity() const { return m_capacity; }
    P at(unsigned int slot) const { return slot < m_size ? m_positions[slot] : 0; }

    void insert(P pos, bool unique)
    {
        const K key = m_reader->getKey(pos);
        unsigned int lo = 0;
        unsigned int hi = m_size == 0 ? npos : m_size - 1;
        for (;;) {
            if (hi == npos || hi < lo) {
                insertAt(lo, pos);
                return;
            }
            const unsigned int mid = lo + (hi - lo) / 2;
            const int c = K::compare(keyOf(mid), key);
            if (c < 0) {
                lo = mid + 1;
            } else if (c > 0) {
                hi = mid == 0 ? npos : mid - 1;
            } else {
                if (unique)
                    throw eDuplicateKey;
                lo = mid;
                hi = mid == 0 ? npos : mid - 1;
            }
        }
    }

    P lookup(const K& key) const
    {
        unsigned int lo = 0;
        unsigned int hi = m_size == 0 ? npos : m_size - 1;
        while (hi != npos && hi >= lo) {
            const unsigned int mid = lo + (hi - lo) / 2;
            const int c = K::compare(keyOf(mid), key);
            if (c > 0)
                hi = mid == 0 ? npos : mid - 1;
            else if (c < 0)
                lo = mid + 1;
            else
                return m_positions[mid];
        }
        return 0;
    }

    // The first slot whose key is >= key (last false) or the last slot whose
    // key is <= key (last true); a candidate that callers test, or npos for
    // an empty index.
    unsigned int search(const K& key, bool last) const
    {
        if (m_size == 0)
            return npos;
        unsigned int lo = 0;
        unsigned int hi = m_size - 1;
        while (hi != npos && hi >= lo) {
            const unsigned int mid = lo + (hi - lo) / 2;
            const int c = K::compare(keyOf(mid), key);
            if (!last) {
                if (c >= 0) {
                    if (mid > 0 && K::compare(keyOf(mid - 1), key) >= 0)
                        hi = mid - 1;
                    else
                        return mid;
                } else {
                    if (mid == m_size - 1)
                        return mid;
                    lo = mid + 1;
                }
            } else {
                if (c <= 0) {
                    if (mid != m_size - 1 && K::compare(keyOf(mid + 1), key) <= 0)
                        lo = mid + 1;
                    else
                        return mid;
                } else {
                    if (mid == 0 || mid == m_size)
                        return mid;
                    hi = mid - 1;
                }
            }
        }
        return npos;  // only an index that is out of order gets here
    }

    // Removes one slot holding pos and returns pos, or 0 when none holds it;
    // remove(0) clears the index.
    P remove(P pos)
    {
        if (pos == 0) {
            for (unsigned int i = 0; i < m_capacity; ++i)
                m_positions[i] = 0;
            m_size = 0;
            return 0;
        }
        if (m_size == 0)
            return 0;
        const K key = m_reader->getKey(pos);
        unsigned int first = search(key, false);
        if (first == npos)
            first = 0;
        if (m_positions[first] == pos)
            return removeSlot(first);
        unsigned int last = search(key, true);
        if (last == npos)
            last = 0;
        if (m_positions[last] == pos)
            return removeSlot(last);
        for (unsigned int i = first + 1; i < last; ++i)
            if (m_positions[i] == pos)
                return removeSlot(i);
        return 0;
    }

private:
    K keyOf(unsigned int slot) const
    {
        if (m_positions[slot] == 0)
            throw eEmptySlot;
        return m_reader->getKey(m_positions[slot]);
    }

    void insertAt(unsigned int slot, P pos)
    {
        if (m_size == m_capacity) {
            const unsigned int grown = m_capacity == 0 ? 64 : 2 * m_capacity;
            P* block = new P[grown]();
            for (unsigned int i = 0; i < m_size; ++i)
                block[i] = m_positions[i];
            delete[] m_positions;
            m_positions = block;
            m_capacity = grown;
        }
        for (unsigned int i = m_size; i > slot; --i)
            m_positions[i] = m_positions[i - 1];
        m_positions[slot] = pos;
        ++m_size;
    }

    P removeSlot(unsigned int slot)
    {
        const P pos = m_positions[slot];
        for (unsigned int i = slot; i + 1 < m_size; ++i)
            m_positions[i] = m_positions[i + 1];
        m_positions[m_size - 1] = 0;
        --m_size;
        return pos;
    }

    P* m_positions = nullptr;
    kvKeyReader<P, K>* m_reader;
    unsigned int m_size = 0;
    unsigned int m_capacity = 0;
};

template <class Prop>
class kvTPropertyBag;

template <class Prop>
class kvCPropertyBagIndexKeyReader : public kvKeyReader<unsigned int, kvCScStringTCHARRef> {
public:
    explicit kvCPropertyBagIndexKeyReader(const kvTPropertyBag<Prop>* bag) : m_bag(bag) {}
    kvCScStringTCHARRef getKey(unsigned int position) const override;

private:
    const kvTPropertyBag<Prop>* m_bag;
};

template <class Prop>
class kvTPropertyBag {
public:
    typedef kvIndex<unsigned int, kvCScStringTCHARRef> Index;

    kvTPropertyBag() : m_properties(8), m_index(&m_reader), m_reader(this) {}

    kvTPropertyBag(const kvTPropertyBag& other)
        : m_properties(other.m_properties), m_index(&m_reader), m_reader(this)
    {
        rebuildIndex();
    }

    // Copies the properties and builds this bag's own index over them.
    kvTPropertyBag& operator=(const kvTPropertyBag& other)
    {
        if (this != &other) {
            m_index.remove(0);
            m_properties = other.m_properties;
            rebuildIndex();
        }
        return *this;
    }

    ~kvTPropertyBag() { m_index.remove(0); }

    unsigned int count() const { return m_properties.size(); }
    Prop& at(unsigned int i) { return m_properties.at(i); }
    const Prop& at(unsigned int i) const { return m_properties.at(i); }
    const Index& index() const { return m_index; }
    Index& index() { return m_index; }

    Prop* find(const wchar_t* name, unsigned int* pos = nullptr)
    {
        const unsigned int p = m_index.lookup(kvCScStringTCHARRef(name));
        if (p == 0)
            return nullptr;
        if (pos != nullptr)
            *pos = p - 1;
        return &m_properties.at(p - 1);
    }
    const Prop* find(const wchar_t* name, unsigned int* pos = nullptr) const
    {
        return const_cast<kvTPropertyBag*>(this)->find(name, pos);
    }

    // Stores v under name. A present property answers as its own setValue
    // does (false when v does not convert). A new property that cannot be
    // made throws the bool false, and an array that cannot grow its
    // eExcept 2; the bag then holds what it held before.
    template <class T>
    bool setValue(const wchar_t* name, const T& v, bool force)
    {
        if (Prop* p = find(name))
            return p->setValue(v, force);
        Prop fresh(name, v);
        m_properties.append(fresh);
        m_index.insert(m_properties.size(), true);
        return true;
    }

    template <class T>
    bool getValue(const wchar_t* name, T& out) const
    {
        const Prop* p = find(name);
        return p != nullptr && p->getValue(out);
    }

private:
    void rebuildIndex()
    {
        for (unsigned int p = 1; p <= m_properties.size(); ++p)
            m_index.insert(p, true);
    }

    kvTArray<Prop, kvTAssignmentCopy<Prop>> m_properties;
    Index m_index;
    kvCPropertyBagIndexKeyReader<Prop> m_reader;
};

template <class Prop>
kvCScStringTCHARRef kvCPropertyBagIndexKeyReader<Prop>::getKey(unsigned int position) const
{
    if (m_bag == nullptr || position == 0 || position > m_bag->count())
        return kvCScStringTCHARRef();
    return kvCScStringTCHARRef(m_bag->at(position - 1).getName());
}

// A property with sub-properties.
class kvCXProperty : public kvCProperty {
public:
    kvCXProperty() = default;
    explicit kvCXProperty(const wchar_t* name) : kvCProperty(name) {}
    template <class T>
    kvCXProperty(const wchar_t* name, const T& v) : kvCProperty(name, v)
    {
    }
    kvCXProperty(const kvCXProperty& other) : kvCProperty(other), m_subProperties(other.m_subProperties) {}
    kvCXProperty& operator=(const kvCXProperty& other)
    {
        if (this != &other) {
            kvCProperty::operator=(other);
            m_subProperties = other.m_subProperties;
        }
        return *this;
    }
    ~kvCXProperty() override = default;

    // Cloned through its base, an extended property stays whole.
    kvPrProperty* clone() const override { return cloneX(); }
    virtual kvCXProperty* cloneX() const { return new kvCXProperty(*this); }

    kvTPropertyBag<kvCProperty>& subProperties() { return m_subProperties; }
    const kvTPropertyBag<kvCProperty>& subProperties() const { return m_subProperties; }

private:
    kvTPropertyBag<kvCProperty> m_subProperties;
};

// Generic values: typed value holders behind one abstract interface, so that
// property sets, property bags and value restrictions can store and exchange
// values of any type.
//
// Owning holders (kvCGenValueNc, kvCGenValue) keep a copy of their value and
// live on the heap. Reference holders (kvCGenValueRefNc, kvCGenValueConstRefNc,
// kvCGenValueConstRef) point at a variable of the caller and are built in
// place in a buffer of the caller's frame; they are ended with an explicit
// destructor call (kvTGenValPlace does that) or through their deleting
// destructor, whose operator delete leaves memory it did not allocate alone.
#pragma once

#include "sdk/kvConvert.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvString.h"

#include <cstddef>
#include <new>
#include <typeinfo>

class kvCGenVal {
public:
    virtual ~kvCGenVal() {}
    virtual bool isType(const std::type_info& t) const = 0;
    // Copies src into this holder; throws the bool false when it cannot.
    virtual kvCGenVal& assign(const kvCGenVal& src, bool allowConvert) = 0;
    virtual bool equals(const kvCGenVal& other) const;
    // A new owning holder of a copy of the value, or null without memory.
    virtual kvCGenVal* clone() const = 0;

    kvCGenVal& operator=(const kvCGenVal& src) { return assign(src, true); }

    // Heap holders: a failed allocation yields null (no constructor runs).
    static void* operator new(std::size_t size) noexcept;
    // Frees only what operator new(size) allocated; a holder built in place
    // and destroyed through delete keeps its buffer.
    static void operator delete(void* p) noexcept;
    // In-place holders.
    static void* operator new(std::size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}

protected:
    kvCGenVal() = default;
    kvCGenVal(const kvCGenVal&) = default;
};

class kvCGenValNoRef : public kvCGenVal {
public:
    using kvCGenVal::operator=;

protected:
    kvCGenValNoRef() = default;
    kvCGenValNoRef(const kvCGenValNoRef&) = default;
};

template <class T> class kvCGenValueNc;
template <class T> class kvCGenValue;
template <class T> class kvCGenValueRefNc;
template <class T> class kvCGenValueConstRefNc;
template <class T> class kvCGenValueConstRef;

// The value that a holder of T owns or references, or null when src holds
// no T. Holders are recognised by their class, not by isType.
template <class T>
const T* kvGenValPtr(const kvCGenVal& src)
{
    if (auto a = dynamic_cast<const kvCGenValueNc<T>*>(&src))
        return &a->value();
    if (auto b = dynamic_cast<const kvCGenValueRefNc<T>*>(&src))
        return b->value();
    if (auto c = dynamic_cast<const kvCGenValueConstRefNc<T>*>(&src))
        return c->value();
    return nullptr;
}

namespace kvgenval {
template <class T, class S>
bool tryConvert(T& dst, const kvCGenVal& src, bool& matched)
{
    if (matched)
        return false;
    const S* v = kvGenValPtr<S>(src);
    if (v == nullptr)
        return false;
    matched = true;
    if constexpr (kvTConvertible<T, S>::value)
        return convert(dst, *v);
    else
        return false;
}

template <class T, class... S>
bool convertFrom(T& dst, const kvCGenVal& src)
{
    bool matched = false;
    bool result = false;
    // Tested in list order; the first matching source type decides.
    ((result = matched ? result : tryConvert<T, S>(dst, src, matched)), ...);
    return matched && result;
}
}  // namespace kvgenval

// Converts the value of src into dst through the offered conversion pairs;
// false (dst untouched) for a pair that is not offered or a value that does
// not convert.
template <class T>
bool convertGenVal(T& dst, const kvCGenVal& src)
{
    return kvgenval::convertFrom<T, bool, short, unsigned short, int, unsigned int, long, unsigned long, float, double,
                                 kvCString>(dst, src);
}

namespace kvgenval {
// Same type first (owning, reference, constant reference), then conversion.
template <class T>
void assignTo(T& target, const kvCGenVal& src, bool allowConvert)
{
    if (auto a = dynamic_cast<const kvCGenValueNc<T>*>(&src)) {
        target = a->value();
    } else if (auto b = dynamic_cast<const kvCGenValueRefNc<T>*>(&src)) {
        target = *b->value();
    } else if (auto c = dynamic_cast<const kvCGenValueConstRefNc<T>*>(&src)) {
        target = *c->value();
    } else if (!allowConvert) {
        throw false;
    } else if (!convertGenVal<T>(target, src)) {
        throw false;
    }
}

template <class T>
bool equalTo(const T& mine, const kvCGenVal& other)
{
    if (const T* v = kvGenValPtr<T>(other))
        return mine == *v;
    T converted = T();
    return convertGenVal<T>(converted, other) && converted == mine;
}
}  // namespace kvgenval

template <class T>
class kvCGenValueNc : public kvCGenValNoRef {
public:
    kvCGenValueNc() : m_value() {}
    explicit kvCGenValueNc(const T& v) : m_value(v) {}
    kvCGenValueNc(const kvCGenValueNc& other) : kvCGenValNoRef(), m_value(other.m_value) {}
    kvCGenValueNc& operator=(const kvCGenValueNc& other)
    {
        assign(other, true);
        return *this;
    }
    using kvCGenVal::operator=;

    T& value() { return m_value; }
    const T& value() const { return m_value; }

    bool isType(const std::type_info& t) const override { return t == typeid(T); }
    kvCGenVal& assign(const kvCGenVal& src, bool allowConvert) override
    {
        kvgenval::assignTo<T>(m_value, src, allowConvert);
        return *this;
    }
    kvCGenVal* clone() const override { return new kvCGenValueNc<T>(m_value); }

protected:
    T m_value;
};

template <class T>
class kvCGenValue : public kvCGenValueNc<T> {
public:
    kvCGenValue() = default;
    explicit kvCGenValue(const T& v) : kvCGenValueNc<T>(v) {}
    kvCGenValue(const kvCGenValue& other) : kvCGenValueNc<T>(other) {}
    kvCGenValue& operator=(const kvCGenValue& other)
    {
        this->assign(other, true);
        return *this;
    }
    using kvCGenVal::operator=;

    bool equals(const kvCGenVal& other) const override { return kvgenval::equalTo<T>(this->m_value, other); }
    kvCGenVal* clone() const override { return new kvCGenValue<T>(this->m_value); }
};

template <class T>
class kvCGenValueRefNc : public kvCGenVal {
public:
    explicit kvCGenValueRefNc(T& v) : m_ref(&v) {}
    kvCGenValueRefNc(const kvCGenValueRefNc&) = default;
    // Assignment writes through the reference; it never rebinds.
    kvCGenValueRefNc& operator=(const kvCGenValueRefNc& other)
    {
        assign(other, true);
        return *this;
    }
    using kvCGenVal::operator=;

    T* value() const { return m_ref; }

    bool isType(const std::type_info& t) const override { return t == typeid(T); }
    kvCGenVal& assign(const kvCGenVal& src, bool allowConvert) override
    {
        kvgenval::assignTo<T>(*m_ref, src, allowConvert);
        return *this;
    }
    kvCGenVal* clone() const override { return new kvCGenValueNc<T>(*m_ref); }

private:
    T* m_ref;
};

template <class T>
class kvCGenValueConstRefNc : public kvCGenVal {
public:
    explicit kvCGenValueConstRefNc(const T& v) : m_ref(&v) {}
    kvCGenValueConstRefNc(const kvCGenValueConstRefNc&) = default;
    kvCGenValueConstRefNc& operator=(const kvCGenValueConstRefNc& other)
    {
        assign(other, true);
        return *this;
    }
    using kvCGenVal::operator=;

    const T* value() const { return m_ref; }

    bool isType(const std::type_info& t) const override { return t == typeid(T); }
    kvCGenVal& assign(const kvCGenVal&, bool) override { throw false; }
    kvCGenVal* clone() const override { return new kvCGenValueNc<T>(*m_ref); }

protected:
    const T* m_ref;
};

template <class T>
class kvCGenValueConstRef : public kvCGenValueConstRefNc<T> {
public:
    explicit kvCGenValueConstRef(const T& v) : kvCGenValueConstRefNc<T>(v) {}
    kvCGenValueConstRef(const kvCGenValueConstRef&) = default;
    kvCGenValueConstRef& operator=(const kvCGenValueConstRef& other)
    {
        this->assign(other, true);
        return *this;
    }
    using kvCGenVal::operator=;

    bool equals(const kvCGenVal& other) const override { return kvgenval::equalTo<T>(*this->m_ref, other); }
    kvCGenVal* clone() const override { return new kvCGenValue<T>(*this->m_ref); }
};

// Factories.

// A new owning holder of a copy of v, or null.
template <class T>
kvCGenVal* newGenValue(const T& v)
{
    return new kvCGenValueNc<T>(v);
}

template <class T>
kvCGenValueRefNc<T>* newGenValueRef(T& v, void* place)
{
    if (place == nullptr)
        return nullptr;
    return new (place) kvCGenValueRefNc<T>(v);
}

template <class T>
kvCGenVal* newGenValueConstRef(const T& v, void* place)
{
    if (place == nullptr)
        return nullptr;
    return new (place) kvCGenValueConstRefNc<T>(v);
}

// Matrices and 2D contours get constant references with value equality.
inline kvCGenVal* newGenValueConstRef(const kvCGeMatrix& v, void* place)
{
    if (place == nullptr)
        return nullptr;
    return new (place) kvCGenValueConstRef<kvCGeMatrix>(v);
}

inline kvCGenVal* newGenValueConstRef(const kvCGeContour2d& v, void* place)
{
    if (place == nullptr)
        return nullptr;
    return new (place) kvCGenValueConstRef<kvCGeContour2d>(v);
}

// Room in the caller's frame for one in-place holder; ends the holder (if
// one was built) with an explicit destructor call when the scope is left,
// also when an exception passes.
template <class Holder>
class kvTGenValPlace {
public:
    kvTGenValPlace() = default;
    kvTGenValPlace(const kvTGenValPlace&) = delete;
    kvTGenValPlace& operator=(const kvTGenValPlace&) = delete;
    ~kvTGenValPlace() { release(); }

    void* place() { return m_buffer; }
    // Takes charge of the holder built in place() (null is allowed).
    kvCGenVal* hold(kvCGenVal* built)
    {
        release();
        m_held = built;
        return built;
    }
    void release()
    {
        if (m_held != nullptr) {
            m_held->~kvCGenVal();
            m_held = nullptr;
        }
    }

private:
    alignas(std::max_align_t) unsigned char m_buffer[sizeof(Holder)];
    kvCGenVal* m_held = nullptr;
};

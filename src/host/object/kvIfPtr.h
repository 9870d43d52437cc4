// Interface smart pointers. Host objects are reached only through interfaces
// asked for by name; kvIfPtr<T> asks for T's name whenever it is built from a
// raw kvIUnknown pointer or a pointer of another interface, and is simply
// empty when the object lacks T. A copy, and a T* built from or assigned,
// are taken as they are.
//
// Out-parameter pattern: host getters fill the address that operator& hands
// out (after releasing what the pointer held); the pointer then owns the
// reference the host added.
#pragma once

#include "sdk/kvInterfaces.h"

#include <cstddef>

class kvIfPtrBase {
public:
    kvIfPtrBase() : m_pUnk(nullptr) {}
    explicit kvIfPtrBase(kvIUnknown* p) : m_pUnk(p)
    {
        if (m_pUnk)
            m_pUnk->addRef();
    }
    kvIfPtrBase(const kvIfPtrBase& other) : kvIfPtrBase(other.m_pUnk) {}
    virtual ~kvIfPtrBase() { detach(); }

    // Empties the pointer first, then releases what it held, so that a
    // release that re-enters finds the pointer already empty.
    void detach()
    {
        kvIUnknown* old = m_pUnk;
        m_pUnk = nullptr;
        if (old)
            old->release();
    }

    // Takes over a pointer that already carries a reference for us.
    void attach(kvIUnknown* p)
    {
        detach();
        m_pUnk = p;
    }

    bool isNull() const { return m_pUnk == nullptr; }
    kvIUnknown* get() const { return m_pUnk; }

    kvIUnknown** operator&()
    {
        detach();
        return &m_pUnk;
    }

    // Lets go of the pointer without releasing it: the reference now belongs
    // to whoever took the raw pointer.
    void forget() { m_pUnk = nullptr; }

    // The new interface gets its reference before the old one is released, so
    // assigning a pointer to the same object never lets it die on the way.
    kvIfPtrBase& operator=(const kvIfPtrBase& other)
    {
        if (this == &other)
            return *this;
        kvIUnknown* p = other.m_pUnk;
        if (p)
            p->addRef();
        kvIUnknown* old = m_pUnk;
        m_pUnk = p;
        if (old)
            old->release();
        return *this;
    }

protected:
    // Replaces the held pointer by one that already carries its reference.
    void replaceReferenced(kvIUnknown* p)
    {
        kvIUnknown* old = m_pUnk;
        m_pUnk = p;
        if (old)
            old->release();
    }

    static kvIUnknown* queryByName(kvIUnknown* p, const wchar_t* name)
    {
        return p ? p->queryInterface(name) : nullptr;
    }

    kvIUnknown* m_pUnk;
};

template <class T>
class kvIfPtr : public kvIfPtrBase {
    static_assert(sizeof(kvIfName<T>) > 0, "interface without a name");

public:
    kvIfPtr() = default;
    // The null constructor; the argument (always 0) is ignored.
    kvIfPtr(int) {}
    kvIfPtr(std::nullptr_t) {}
    // Queries the object for T; an object without T leaves the pointer empty.
    kvIfPtr(kvIUnknown* p) { m_pUnk = queryByName(p, name()); }
    // Keeps an interface that already is a T, adding a reference; no query.
    // A caller that wants the object asked passes its kvIUnknown pointer.
    kvIfPtr(T* p) : kvIfPtrBase(asUnknown(p)) {}
    kvIfPtr(const kvIfPtr& other) : kvIfPtrBase(other.m_pUnk) {}
    // From a smart pointer of any other interface: queried for T.
    kvIfPtr(const kvIfPtrBase& other)
    {
        kvIfPtr temp(other.get());
        kvIfPtrBase::operator=(temp);
    }
    ~kvIfPtr() override = default;

    kvIfPtr& operator=(const kvIfPtr& other)
    {
        kvIfPtrBase::operator=(other);
        return *this;
    }
    kvIfPtr& operator=(const kvIfPtrBase& other)
    {
        if (this != &other) {
            kvIfPtr temp(other.get());
            kvIfPtrBase::operator=(temp);
        }
        return *this;
    }
    // The new object is queried before the old one is released, so that
    // assigning the object the pointer already holds is safe.
    kvIfPtr& operator=(kvIUnknown* p)
    {
        replaceReferenced(queryByName(p, name()));
        return *this;
    }
    kvIfPtr& operator=(T* p)
    {
        kvIUnknown* u = asUnknown(p);
        if (u)
            u->addRef();
        replaceReferenced(u);
        return *this;
    }
    kvIfPtr& operator=(std::nullptr_t)
    {
        detach();
        return *this;
    }

    // True when the object's T is the interface held (both null counts as equal).
    bool operator==(kvIUnknown* p) const
    {
        if (!p)
            return m_pUnk == nullptr;
        kvIUnknown* q = p->queryInterface(name());
        const bool same = (q == m_pUnk);
        if (q)
            q->release();
        return same;
    }
    bool operator!=(kvIUnknown* p) const { return !(*this == p); }
    bool operator==(std::nullptr_t) const { return m_pUnk == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_pUnk != nullptr; }

    T* operator->() const { return getIf(); }
    T& operator*() const { return *getIf(); }
    // The held interface as T, no reference added (null when empty).
    T* getIf() const { return static_cast<T*>(m_pUnk); }

    static const wchar_t* name() { return kvIfName<T>::value; }

private:
    static kvIUnknown* asUnknown(T* p) { return p ? static_cast<kvIUnknown*>(p) : nullptr; }
};

class kvIUnknownPtr : public kvIfPtrBase {
public:
    kvIUnknownPtr() = default;
    kvIUnknownPtr(int) {}
    kvIUnknownPtr(std::nullptr_t) {}
    kvIUnknownPtr(kvIUnknown* p) { m_pUnk = queryByName(p, name()); }
    // Queries "kvIUnknown" again rather than sharing the other's pointer, so
    // the copy may hold another interface of the same object.
    kvIUnknownPtr(const kvIUnknownPtr& other) : kvIfPtrBase() { m_pUnk = queryByName(other.m_pUnk, name()); }
    // From a smart pointer of any interface: the object's "kvIUnknown" is
    // asked for, so that two pointers to one object compare equal whichever
    // interface they were built from.
    kvIUnknownPtr(const kvIfPtrBase& other) : kvIfPtrBase() { m_pUnk = queryByName(other.get(), name()); }
    ~kvIUnknownPtr() override = default;

    // Assignments query through a temporary, like the constructors; the new
    // interface is referenced before the old one is released.
    kvIUnknownPtr& operator=(const kvIUnknownPtr& other)
    {
        return *this = static_cast<const kvIfPtrBase&>(other);
    }
    kvIUnknownPtr& operator=(const kvIfPtrBase& other)
    {
        kvIUnknownPtr temp(other);
        kvIfPtrBase::operator=(temp);
        return *this;
    }

    bool operator==(std::nullptr_t) const { return m_pUnk == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_pUnk != nullptr; }
    kvIUnknown* operator->() const { return m_pUnk; }

    static const wchar_t* name() { return kvIfName<kvIUnknown>::value; }
};

// An array element holding one smart pointer (kvIUnknownPtr or kvIfPtr<T>).
template <class X>
class kvTIfPtr {
public:
    kvTIfPtr() = default;
    kvTIfPtr(X p) : m_ptr(p) {}
    kvTIfPtr(const kvTIfPtr& other) = default;
    ~kvTIfPtr() = default;

    kvTIfPtr& operator=(const kvTIfPtr& other)
    {
        if (this != &other)
            static_cast<kvIfPtrBase&>(m_ptr) = static_cast<const kvIfPtrBase&>(other.m_ptr);
        return *this;
    }

    X get() const { return m_ptr; }

private:
    X m_ptr;
};

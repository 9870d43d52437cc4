// Implementation bases of the program's own interface objects.
//
//   class kvCThing : public kvIUnknownImp, public kvISomething { ... queryInterface ... };
//   kvIUnknown* p = new kvIfImp<kvCThing>(...);
//
// kvIfImp<T> completes the interfaces of T with addRef and release taken from
// T's implementation base (_addRef and _relRef).
#pragma once

#include "sdk/kvInterfaces.h"

#include <cwchar>

// A real reference count. The count starts at 0; the release that brings it
// back to 0 destroys the object through its virtual destructor.
class kvIUnknownImp {
public:
    kvIUnknownImp() = default;
    virtual ~kvIUnknownImp() = default;

    bool _addRef()
    {
        ++m_refCount;
        return true;
    }

    // False (and nothing else) when no reference is left to drop: an
    // unbalanced release must not destroy the object a second time.
    bool _relRef()
    {
        if (m_refCount <= 0)
            return false;
        if (--m_refCount == 0)
            delete this;
        return true;
    }

    long refCount() const { return m_refCount; }

private:
    long m_refCount = 0;

    kvIUnknownImp(const kvIUnknownImp&) = delete;
    kvIUnknownImp& operator=(const kvIUnknownImp&) = delete;
};

// Objects that exist once for the life of the module: nothing is counted.
class kvIUnknownSingletonImp {
public:
    kvIUnknownSingletonImp() = default;
    virtual ~kvIUnknownSingletonImp() = default;

    bool _addRef() { return true; }
    bool _relRef() { return true; }
};

template <class T>
class kvIfImp : public T {
public:
    using T::T;
    ~kvIfImp() override = default;

    bool addRef() override { return this->_addRef(); }
    bool release() override { return this->_relRef(); }
};

// queryInterface helper: answers the names of the listed interfaces (and
// "kvIUnknown" with the first of them) with one reference added, else null.
//
//   kvIUnknown* queryInterface(const wchar_t* name) override
//   { return kvQueryInterfaces<kvIFoo1, kvIBar1>(this, name); }
template <class First, class... Rest, class Obj>
kvIUnknown* kvQueryInterfaces(Obj* object, const wchar_t* name)
{
    if (!object || !name)
        return nullptr;
    kvIUnknown* found = nullptr;
    if (std::wcscmp(name, kvIfName<kvIUnknown>::value) == 0 || std::wcscmp(name, kvIfName<First>::value) == 0) {
        found = static_cast<kvIUnknown*>(static_cast<First*>(object));
    } else {
        const bool matched[] = {false, (std::wcscmp(name, kvIfName<Rest>::value) == 0)...};
        kvIUnknown* const candidates[] = {nullptr, static_cast<kvIUnknown*>(static_cast<Rest*>(object))...};
        for (unsigned i = 1; i < sizeof(matched) / sizeof(matched[0]); ++i) {
            if (matched[i]) {
                found = candidates[i];
                break;
            }
        }
    }
    if (found)
        found->addRef();
    return found;
}

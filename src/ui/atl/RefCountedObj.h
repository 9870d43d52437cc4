// The library's intrusive reference count (menus, window observers, in-place
// editors) and the pointer that holds one reference. Used on the
// user-interface thread only, so the count is a plain integer.
#pragma once

#include <utility>

namespace kv {

class RefCountedObj {
public:
    RefCountedObj() : m_refs(0) {}
    RefCountedObj(const RefCountedObj&) = delete;
    RefCountedObj& operator=(const RefCountedObj&) = delete;

    // Adds a reference and returns the new count.
    virtual long addRef() { return ++m_refs; }
    // Drops a reference; the last one deletes the object. Returns the new count.
    virtual long release()
    {
        const long left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    long refCount() const { return m_refs; }

protected:
    virtual ~RefCountedObj() = default;

private:
    long m_refs;
};

template <typename T>
class IntrusivePtr {
public:
    IntrusivePtr() : m_p(nullptr) {}
    IntrusivePtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->addRef();
    }
    IntrusivePtr(const IntrusivePtr& o) : IntrusivePtr(o.m_p) {}
    IntrusivePtr(IntrusivePtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~IntrusivePtr()
    {
        if (m_p)
            m_p->release();
    }
    // Takes a reference to the new object before letting go of the old one, so
    // assigning an object to the pointer that already holds it is safe.
    IntrusivePtr& operator=(T* p)
    {
        if (p)
            p->addRef();
        T* old = m_p;
        m_p = p;
        if (old)
            old->release();
        return *this;
    }
    IntrusivePtr& operator=(const IntrusivePtr& o) { return *this = o.m_p; }
    IntrusivePtr& operator=(IntrusivePtr&& o) noexcept
    {
        std::swap(m_p, o.m_p);
        return *this;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p;
};

} // namespace kv

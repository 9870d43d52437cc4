// The maker's growable array and the small value records kept in such arrays.
//
// kvTArray owns one element block, grows on demand (by a fixed step but at
// least to twice its block, or by doubling from 8 when the step is 0) and
// never gives memory back on its own except through freeExtra. Misuse is
// reported by throwing the instance's own eExcept enumeration by value: 1 for
// an index that is out of range, 2 when no element block could be obtained.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

// Block copy, for plain data (points of three doubles).
template <class T>
struct kvTMemCopy {
    static void copy(T* dst, const T* src, unsigned int count)
    {
        if (count != 0 && dst != src)
            std::memmove(static_cast<void*>(dst), static_cast<const void*>(src), sizeof(T) * count);
    }
};

// Element-wise assignment, from the first element upwards, for elements that
// own strings, interfaces or nested arrays.
template <class T>
struct kvTAssignmentCopy {
    static void copy(T* dst, const T* src, unsigned int count)
    {
        for (unsigned int i = 0; i < count; ++i)
            dst[i] = src[i];
    }
};

// What happens to elements that drop out of use when an array becomes
// shorter: they stay allocated and are reset to a fresh value (zero for plain
// values, a default-constructed record otherwise), so a later growing access
// finds them clean. Block-copied points are left as they are.
template <class T, class CopyPolicy>
struct kvTArrayReset {
    static void reset(T* first, unsigned int count)
    {
        for (unsigned int i = 0; i < count; ++i)
            first[i] = T();
    }
};

template <class T>
struct kvTArrayReset<T, kvTMemCopy<T>> {
    static void reset(T*, unsigned int) {}
};

// Elements that are arrays (points of three doubles) cannot be assigned:
// they are block-copied, so that kvTArray<double[3]> is the points' array.
template <class T>
using kvTDefaultCopy =
    typename std::conditional<std::is_array<T>::value, kvTMemCopy<T>, kvTAssignmentCopy<T>>::type;

template <class T, class CopyPolicy = kvTDefaultCopy<T>>
class kvTArray {
public:
    enum eExcept {
        eIndexOutOfRange = 1,
        eNoMemory = 2
    };

    typedef T ElementType;

    kvTArray() : kvTArray(8) {}

    explicit kvTArray(unsigned int n) { setCapacity(n); }

    kvTArray(const kvTArray& other) : m_growBy(other.m_growBy)
    {
        reserve(other.m_size);
        CopyPolicy::copy(m_data, other.m_data, other.m_size);
        m_size = other.m_size;
    }

    ~kvTArray()
    {
        delete[] m_data;
        m_data = nullptr;
        m_size = 0;
        m_capacity = 0;
        m_growBy = 0;
    }

    kvTArray& operator=(const kvTArray& other)
    {
        if (this == &other)
            return *this;
        m_growBy = other.m_growBy;
        reserve(other.m_size);
        CopyPolicy::copy(m_data, other.m_data, other.m_size);
        if (m_size > other.m_size)
            kvTArrayReset<T, CopyPolicy>::reset(m_data + other.m_size, m_size - other.m_size);
        m_size = other.m_size;
        return *this;
    }

    unsigned int size() const { return m_size; }
    unsigned int capacity() const { return m_capacity; }
    unsigned int growBy() const { return m_growBy; }
    void setGrowBy(unsigned int step) { m_growBy = step; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }

    // Grows to at least n elements by the grow rule; never shrinks. The new
    // capacity is worked out in 64 bits: a capacity that the 32-bit size type
    // cannot hold is an allocation failure, never a wrapped small block.
    void reserve(unsigned int n)
    {
        if (n <= m_capacity)
            return;
        std::uint64_t c = m_capacity;
        if (m_growBy != 0) {
            std::uint64_t missing = n - c;
            c += ((missing + m_growBy - 1) / m_growBy) * m_growBy;
            // The step alone makes filling an array element by element
            // quadratic: every step copies the whole block. A block is
            // therefore at least doubled, which leaves the step's sizes for
            // the first growth of a small array.
            // A doubled block too large for the block limit falls back to the
            // step's size.
            const std::uint64_t doubled = 2 * static_cast<std::uint64_t>(m_capacity);
            if (c < doubled && doubled * sizeof(T) + sizeof(std::uint32_t) <= UINT32_MAX)
                c = doubled;
        } else {
            while (c < n)
                c = (c == 0) ? 8 : 2 * c;
        }
        if (c > UINT32_MAX)
            throw eNoMemory;
        setCapacity(static_cast<unsigned int>(c));
    }

    // Allocates exactly n elements and keeps the first min(n, size) of the old
    // block. On failure the array keeps its old block, size and capacity.
    // Asked for fewer elements than are in use, the array drops the ones that
    // no longer fit: a size above the capacity would index past the block.
    void setCapacity(unsigned int n)
    {
        T* block = nullptr;
        if (n > 0) {
            // Block requests are limited to what a 32-bit byte count can
            // express (class elements carry a count word in front).
            const std::uint64_t cookie = std::is_trivially_destructible<T>::value ? 0 : sizeof(std::uint32_t);
            const std::uint64_t bytes = static_cast<std::uint64_t>(n) * sizeof(T) + cookie;
            if (bytes > UINT32_MAX)
                throw eNoMemory;
            block = new (std::nothrow) T[n]();
            if (block == nullptr)
                throw eNoMemory;
            const unsigned int keep = n < m_size ? n : m_size;
            try {
                CopyPolicy::copy(block, m_data, keep);
            } catch (...) {
                delete[] block;
                throw;
            }
        }
        delete[] m_data;
        m_data = block;
        m_capacity = n;
        if (m_size > n)
            m_size = n;
    }

    // Growing access: brings index i into use. An index whose successor does
    // not fit the size type can never be held and is refused.
    T& operator[](unsigned int i)
    {
        if (i == UINT32_MAX)
            throw eIndexOutOfRange;
        reserve(i + 1);
        if (i + 1 > m_size)
            m_size = i + 1;
        return m_data[i];
    }

    // A constant array cannot grow, so its element access is bounds-tested.
    const T& operator[](unsigned int i) const { return at(i); }

    T& at(unsigned int i)
    {
        if (i >= m_size)
            throw eIndexOutOfRange;
        return m_data[i];
    }

    const T& at(unsigned int i) const
    {
        if (i >= m_size)
            throw eIndexOutOfRange;
        return m_data[i];
    }

    void append(const T& v)
    {
        if (m_size == UINT32_MAX)
            throw eNoMemory;
        if (m_size + 1 > m_capacity && contains(&v)) {
            // v lives in the block that is about to be replaced: keep a copy.
            T keep;
            CopyPolicy::copy(&keep, &v, 1);
            reserve(m_size + 1);
            CopyPolicy::copy(m_data + m_size, &keep, 1);
        } else {
            reserve(m_size + 1);
            CopyPolicy::copy(m_data + m_size, &v, 1);
        }
        ++m_size;
    }

    void setSize(unsigned int n)
    {
        reserve(n);
        if (m_size > n)
            kvTArrayReset<T, CopyPolicy>::reset(m_data + n, m_size - n);
        m_size = n;
    }

    bool ensureCapacity(unsigned int n)
    {
        reserve(n);
        return m_capacity >= n;
    }

    bool freeExtra()
    {
        if (m_capacity > m_size)
            setCapacity(m_size);
        return true;
    }

private:
    bool contains(const T* p) const
    {
        if (m_data == nullptr)
            return false;
        const char* b = reinterpret_cast<const char*>(m_data);
        const char* e = reinterpret_cast<const char*>(m_data + m_capacity);
        const char* q = reinterpret_cast<const char*>(p);
        return !(q < b) && q < e;
    }

    T* m_data = nullptr;
    unsigned int m_size = 0;
    unsigned int m_capacity = 0;
    unsigned int m_growBy = 8;
};

// The maker's small value records.

template <class A, class B>
struct kvTPair {
    A first;
    B second;

    kvTPair() : first(), second() {}
    kvTPair(const A& a, const B& b) : first(a), second(b) {}
    kvTPair(const kvTPair&) = default;
    kvTPair& operator=(const kvTPair& other)
    {
        if (this != &other) {
            first = other.first;
            second = other.second;
        }
        return *this;
    }
};

template <class A, class B, class C>
struct kvTTriple {
    A first;
    B second;
    C third;

    kvTTriple() : first(), second(), third() {}
    kvTTriple(const A& a, const B& b, const C& c) : first(a), second(b), third(c) {}
    kvTTriple(const kvTTriple&) = default;
    kvTTriple& operator=(const kvTTriple& other)
    {
        if (this != &other) {
            first = other.first;
            second = other.second;
            third = other.third;
        }
        return *this;
    }
};

template <class A, class B, class C, class D>
struct kvTFour {
    A first;
    B second;
    C third;
    D fourth;

    kvTFour() : first(), second(), third(), fourth() {}
    kvTFour(const A& a, const B& b, const C& c, const D& d) : first(a), second(b), third(c), fourth(d) {}
    kvTFour(const kvTFour&) = default;
    kvTFour& operator=(const kvTFour& other)
    {
        if (this != &other) {
            first = other.first;
            second = other.second;
            third = other.third;
            fourth = other.fourth;
        }
        return *this;
    }
};

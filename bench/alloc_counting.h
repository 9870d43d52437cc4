// Counting of heap requests for the benchmarks: the malloc family and the
// global operator new are replaced by ones that count each request and its
// bytes while `benchalloc::counting` is set. Include it in exactly one file
// of a benchmark program, since it defines those functions.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace benchalloc {

// On from the start; a benchmark that counts only its measured calls
// switches it off and on around them.
inline bool counting = true;
inline unsigned long long allocations = 0;
inline unsigned long long bytes = 0;

inline void count(std::size_t n)
{
    if (counting) {
        ++allocations;
        bytes += n;
    }
}

} // namespace benchalloc

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t n)
{
    benchalloc::count(n);
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t m)
{
    benchalloc::count(n * m);
    return __libc_calloc(n, m);
}
void* realloc(void* p, std::size_t n)
{
    benchalloc::count(n);
    return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
}

void* operator new(std::size_t n)
{
    benchalloc::count(n);
    if (void* p = __libc_malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __libc_free(p); }

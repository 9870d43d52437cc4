#include "heap_failure.h"

#include <new>

namespace {
int pendingFailures = 0;
} // namespace

namespace testheap {
void failNextNothrowAllocations(int count) { pendingFailures = count; }
} // namespace testheap

// Everything else goes to the ordinary operator new, so that the memory
// handed out is freed by the ordinary operator delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (pendingFailures > 0) {
        --pendingFailures;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

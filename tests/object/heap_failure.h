// A heap that runs out on request: the next allocations through the
// non-throwing single-object operator new (the one generic values come from)
// answer null, as on a full heap. The replacement lives in heap_failure.cpp.
#pragma once

namespace testheap {

// The next count non-throwing single-object allocations fail.
void failNextNothrowAllocations(int count);

} // namespace testheap

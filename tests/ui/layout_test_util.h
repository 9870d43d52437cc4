// Rectangle helpers shared by the layout tests.
#pragma once

#include "platform/windows.h"

#include <gtest/gtest.h>

#include <ostream>

// Found by argument-dependent lookup, so failures print the rectangles.
inline std::ostream& operator<<(std::ostream& os, const RECT& r)
{
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace layouttest {

inline RECT rc(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

inline bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace layouttest

#define EXPECT_RECT(expected, actual) EXPECT_PRED2(layouttest::sameRect, expected, actual)

// Host objects that must exist are asserted under their own names.
#pragma once

#include "sdk/kvAssert.h"

#define KV_REQUIRE(cond, name)                        \
    do {                                              \
        if (!(cond))                                  \
            kvAssertFail(name, __FILE__, __LINE__);   \
    } while (0)

// Host objects that must exist are asserted under their own names. The
// assertion text names the source unit the site belongs to, never the file
// it was compiled from: the unit is what the user reports back to us.
#pragma once

#include "sdk/kvAssert.h"

// The analysis window's source unit (the group lists name theirs through
// kvCMultiSelListDialog::assertUnit).
inline constexpr const wchar_t kvUnitAnalyseUI[] = L"AnalyseUI";

// unit must be a wide unit name; a narrow text such as __FILE__ does not
// compile.
#define KV_REQUIRE(cond, name, unit)                                                      \
    do {                                                                                  \
        if (!(cond))                                                                      \
            kvAssertFail(name, static_cast<const wchar_t*>(unit), __LINE__);              \
    } while (0)

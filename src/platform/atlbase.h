// String look-up through the window-class library's list of resource modules
// (ATL::atlBaseModule(), platform/atl.h): a language module added there
// supplies the texts of every string the library loads by id.
#pragma once

#include "platform/atl.h"

namespace ATL {

// The first module of the list whose string table holds id, or null.
HINSTANCE AtlFindStringResourceInstance(UINT id);
// The string id from the first module that holds it (LoadStringW's result),
// 0 when no module of the list has it.
int AtlLoadString(UINT id, LPWSTR buffer, int capacity);

} // namespace ATL

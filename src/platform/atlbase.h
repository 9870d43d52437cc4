// The window-class library's module object: the list of resource modules in
// which the library looks up string resources, in the order they were added.
// A language module added here supplies the texts of every string the
// library loads by id.
#pragma once

#include "platform/windows.h"

namespace ATL {

class CAtlBaseModule {
public:
    // Appends a module; false for a null one.
    bool AddResourceInstance(HINSTANCE instance);
    // Takes a module off the list; false when it is not on it.
    bool RemoveResourceInstance(HINSTANCE instance);
    // The module at index i, or null past the end.
    HINSTANCE GetHInstanceAt(int i) const;
};

extern CAtlBaseModule _AtlBaseModule;

// The first module of the list whose string table holds id, or null.
HINSTANCE AtlFindStringResourceInstance(UINT id);
// The string id from the first module that holds it (LoadStringW's result),
// 0 when no module of the list has it.
int AtlLoadString(UINT id, LPWSTR buffer, int capacity);

} // namespace ATL

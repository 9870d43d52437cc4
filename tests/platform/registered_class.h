// A window class of the platform tests, registered on first use: the platform
// keeps its classes across resets, so a fixture registers its class once.
#pragma once

#include "platform/windows.h"

namespace platform_test {

// True when the class exists with that procedure, registered now or before.
inline bool registerClassOnce(const wchar_t* name, WNDPROC proc)
{
    WNDCLASSEXW existing{};
    if (GetClassInfoExW(nullptr, name, &existing))
        return existing.lpfnWndProc == proc;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

} // namespace platform_test

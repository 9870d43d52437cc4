// The library's resource module as a host supplies it (the palette template,
// the check icons, the no-colour and reset texts), and a fixture that starts
// every test on a clean platform with the module on the library's list.
#pragma once

#include "platform/atl.h"
#include "platform/kvPlatformUi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uitest {

inline HMODULE libraryResources()
{
    static HMODULE module = [] {
        HMODULE m = kvplat::createResourceModule(L"kvUiRes.dll");
        kvplat::addResourceString(m, 10101, L"No colour");
        kvplat::addResourceString(m, 10453, L"Reset");
        kvplat::addResourceIcon(m, 10250);
        kvplat::addResourceIcon(m, 10251);
        kvplat::DialogTemplate palette;
        palette.width = 120;
        palette.height = 110;
        palette.style = WS_POPUP | WS_BORDER;
        palette.controls = {
            {L"Static", 10103, L"", 4, 4, 64, 40, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0},
            {L"Button", 10101, L"More...", 4, 80, 50, 20, WS_VISIBLE | WS_TABSTOP, 0},
            {L"Button", 10102, L"", 70, 80, 40, 20, WS_VISIBLE | BS_OWNERDRAW, 0},
        };
        kvplat::addResourceDialog(m, 10100, palette);
        ATL::atlBaseModule().AddResourceInstance(m);
        return m;
    }();
    return module;
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        libraryResources();
    }
    void TearDown() override { kvplat::reset(); }

    HWND makeDialog(int w = 300, int h = 200)
    {
        return CreateWindowExW(0, WC_DIALOG, L"dialog", WS_POPUP | WS_VISIBLE, 100, 100, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    }

    // What a WM_PRINTCLIENT of the window draws, as GDI log lines.
    static std::vector<std::string> drawn(HWND window)
    {
        kvplat::clearGdiLog();
        HDC dc = GetDC(window);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ReleaseDC(window, dc);
        return kvplat::gdiLog();
    }
    static bool anyLineStarts(const std::vector<std::string>& lines, const std::string& prefix)
    {
        for (const auto& l : lines)
            if (l.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    }
    static bool anyLineHas(const std::vector<std::string>& lines, const std::string& part)
    {
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos)
                return true;
        return false;
    }
};

} // namespace uitest

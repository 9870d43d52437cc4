// Icon resources of loaded modules: LoadIconW hands out one shared icon per
// resource, which says where it came from and outlives a platform reset.
#include "platform/kvIconResources.h"
#include "platform/kvPlatform.h"
#include "platform/kvPlatformUi.h"
#include "platform/windows_ui.h"

#include <gtest/gtest.h>

namespace {

TEST(IconResources, AModulesIconIsSharedKnowsItsOriginAndIsNoLiveObject)
{
    const HMODULE module = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&LoadIconW));
    kvplat::IconPicture picture;
    picture.width = 4;
    picture.height = 2;
    picture.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    kvplat::setIconResource(module, 4711, picture);
    const int liveBefore = kvplat::liveGdiTotal();
    const HICON icon = LoadIconW(module, MAKEINTRESOURCEW(4711));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(module, MAKEINTRESOURCEW(4711)), icon);
    EXPECT_EQ(kvplat::liveGdiTotal(), liveBefore);
    HMODULE from = nullptr;
    UINT id = 0;
    ASSERT_TRUE(kvplat::iconResourceOf(icon, &from, &id));
    EXPECT_EQ(from, module);
    EXPECT_EQ(id, 4711u);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    kvplat::reset();
    EXPECT_EQ(LoadIconW(module, MAKEINTRESOURCEW(4711)), icon);
    // An id the module has no icon for, and an icon no resource gave.
    EXPECT_EQ(LoadIconW(module, MAKEINTRESOURCEW(4712)), nullptr);
    EXPECT_FALSE(kvplat::iconResourceOf(nullptr, &from, &id));
}

} // namespace

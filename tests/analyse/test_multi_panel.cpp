// The multi-face panel in the analysis window: its border fills it and its
// radius and plane lists stand below the property page, whatever the window's
// size; and a list window that cannot be made.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMultiFaceSelDialog.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "analyse/kvMultiFaceTemplates.h"
#include "fake_host.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MultiPanelTest : fake::WindowFixture {
    void chooseMode(int mode)
    {
        HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
        ASSERT_TRUE(kvplat::selectComboItem(combo, mode - 1));
    }
    kvCMultiFaceSelDialog* panel() { return dynamic_cast<kvCMultiFaceSelDialog*>(dlg->panelForMode(3)); }
    // Where a window stands in its parent's client area.
    static CRect placeOf(HWND child)
    {
        CRect r;
        ::GetWindowRect(child, &r);
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        ::ScreenToClient(::GetParent(child), &corners[0]);
        ::ScreenToClient(::GetParent(child), &corners[1]);
        return CRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    }
    static std::string at(const CRect& r)
    {
        return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
               std::to_string(r.bottom) + ")";
    }
    static std::string at(HWND child) { return at(placeOf(child)); }
    CRect panelClient()
    {
        CRect client;
        panel()->GetClientRect(&client);
        return client;
    }
    // The border over the whole panel, both lists 150 below its top and 12
    // from its other sides.
    void expectListsInTheBorder()
    {
        const CRect client = panelClient();
        EXPECT_EQ(at(::GetDlgItem(panel()->GetSafeHwnd(), kvIDC_PANEL_BORDER)), at(client));
        const std::string expected = at(CRect(12, 150, client.right - 12, client.bottom - 12));
        EXPECT_EQ(at(panel()->radiusList()->GetSafeHwnd()), expected);
        if (panel()->planeList()->GetSafeHwnd()) {
            EXPECT_EQ(at(panel()->planeList()->GetSafeHwnd()), expected);
        }
    }
};

}  // namespace

TEST_F(MultiPanelTest, TheListsStandBelowThePropertyPageAtTheOpeningSizeAndAfterGrowingAndShrinking)
{
    open();
    chooseMode(3);
    ASSERT_NE(panel(), nullptr);
    ASSERT_NE(panel()->radiusList()->GetSafeHwnd(), nullptr);
    SCOPED_TRACE("opening size");
    expectListsInTheBorder();

    kvplat::userResize(dlg->GetSafeHwnd(), 800, 1000);
    {
        SCOPED_TRACE("grown");
        const CRect client = panelClient();
        EXPECT_EQ(client.Width(), 784);
        EXPECT_EQ(client.Height(), 862);
        expectListsInTheBorder();
        EXPECT_EQ(at(panel()->radiusList()->GetSafeHwnd()), at(CRect(12, 150, 772, 850)));
    }
    // The list lays its own controls out for its size: the rows take the
    // height, the navigator and its face combo the width, the next button
    // keeps to the navigator's right edge.
    HWND list = panel()->radiusList()->GetSafeHwnd();
    EXPECT_EQ(placeOf(::GetDlgItem(list, kvIDC_LIST_GROUPS)).bottom, 700);
    const CRect navigator = placeOf(::GetDlgItem(list, kvIDC_LIST_NAVIGATOR));
    EXPECT_EQ(navigator.right, 760);
    const CRect next = placeOf(::GetDlgItem(list, kvIDC_LIST_NEXT));
    EXPECT_EQ(navigator.right - next.right, 8);
    const CRect faces = placeOf(::GetDlgItem(list, kvIDC_LIST_ELEMENTS));
    EXPECT_EQ(faces.right, next.right);
    EXPECT_GE(faces.top, next.bottom);  // the combo below the buttons, not under them
    EXPECT_GE(navigator.left, placeOf(::GetDlgItem(list, kvIDC_LIST_GROUPS)).right);

    // Narrower than the list's template: the list is 168 wide, inside the panel.
    kvplat::userResize(dlg->GetSafeHwnd(), 208, 500);
    {
        SCOPED_TRACE("shrunk");
        EXPECT_EQ(panelClient().Width(), 192);
        expectListsInTheBorder();
        EXPECT_EQ(placeOf(list).Width(), 168);
    }
    // A mode change after the resize shows the plane list in the same place.
    chooseMode(4);
    ASSERT_NE(panel()->planeList()->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(panel()->planeList()->IsWindowVisible());
    SCOPED_TRACE("plane list");
    expectListsInTheBorder();
}

TEST_F(MultiPanelTest, APanelTooSmallForTheMarginsGivesTheListsNoSizeRatherThanANegativeOne)
{
    open();
    chooseMode(4);
    chooseMode(3);
    const struct {
        int width, height;  // of the window
        int listWidth, listHeight;
    } cases[] = {
        {36, 150, 0, 0},     // a panel 20 wide and 12 high
        {40, 300, 0, 0},     // 24 wide, 162 high: nothing left inside the margins
        {41, 301, 1, 1},     // one more each way
        {300, 150, 260, 0},  // wide but low
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        kvplat::userResize(dlg->GetSafeHwnd(), c.width, c.height);
        for (kvCMultiSelListDialog* list :
             {static_cast<kvCMultiSelListDialog*>(panel()->radiusList()),
              static_cast<kvCMultiSelListDialog*>(panel()->planeList())}) {
            EXPECT_EQ(at(list->GetSafeHwnd()), at(CRect(12, 150, 12 + c.listWidth, 150 + c.listHeight)));
        }
    }
}

TEST(MultiPanelLists, AListWindowThatCannotBeMadeIsAssertedWithItsCreationText)
{
    kvSetAssertSink([](const wchar_t*) {});
    kvResetAssertMessages();
    kvCPrPropertySet set;
    propSet(&set, kvKeyAnalyseMode, 3);
    {
        // Without a window of its own the panel can give its list no parent.
        kvCMultiFaceSelDialog panel;
        panel.setProperties(&set);
        panel.createListDialogs(false);
        EXPECT_EQ(panel.radiusList()->GetSafeHwnd(), nullptr);
    }
    EXPECT_EQ(kvAssertMessageCount(), 1);
    EXPECT_NE(kvLastAssertMessage().find(L"Assertion failed:\npNew->Create(id,this)\n"), std::wstring::npos)
        << kvLastAssertMessage();
    kvSetAssertSink(nullptr);
}

// The maker's styled list control over the platform's list view, and the
// modeless progress window.
#include "platform/afx.h"
#include "platform/kvPlatform.h"
#include "sdk/kvListCtrlStyled.h"
#include "sdk/kvProgressDlg.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A parent that records which rows changed state and how.
class Parent : public CWnd {
public:
    std::vector<NMLISTVIEW> changes;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
        if (h && h->code == LVN_ITEMCHANGED)
            changes.push_back(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        return CWnd::OnNotify(wParam, lParam, result);
    }
};

class StyledList : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        const RECT r{0, 0, 300, 200};
        ASSERT_TRUE(parent.CreateEx(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, r, nullptr, 0));
        const HWND hwnd = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200, 100,
                                          parent.GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(7)),
                                          nullptr, nullptr);
        ASSERT_TRUE(list.SubclassDlgItem(7, &parent));
        (void)hwnd;
        for (int c = 0; c < 3; ++c)
            list.InsertColumn(c, L"c", LVCFMT_LEFT, 40, c == 2 ? 1 : 0);
    }
    void TearDown() override
    {
        list.DestroyWindow();
        parent.DestroyWindow();
        kvplat::reset();
    }
    Parent parent;
    CListCtrlStyled list;
};

TEST_F(StyledList, RowsOfAListWithCheckBoxesStartUntickedAndTickingNotifiesTheOldState)
{
    list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int row = list.InsertItem(0, L"");
    EXPECT_FALSE(list.GetCheck(row));
    list.SetCheck(row, TRUE);
    EXPECT_TRUE(list.GetCheck(row));
    ASSERT_EQ(parent.changes.size(), 1u);
    EXPECT_EQ(parent.changes[0].uOldState & LVIS_STATEIMAGEMASK, 0x1000u);
    EXPECT_EQ(parent.changes[0].uNewState & LVIS_STATEIMAGEMASK, 0x2000u);
}

TEST_F(StyledList, CellTextsDataAndColoursBelongToTheirRowAndGoWithTheRows)
{
    list.InsertItem(0, L"");
    list.InsertItem(1, L"");
    list.SetItemText(1, 2, L"2.5");
    list.SetItemBgColor(1, 1, RGB(1, 2, 3), true);
    list.SetItemSelectedStyle(1, 1, 0x30, true);
    EXPECT_EQ(list.GetItemText(1, 2), L"2.5");
    list.SetItemData(1, 7);
    EXPECT_EQ(list.GetItemData(1), 7u);
    EXPECT_EQ(list.GetItemData(0), 0u);
    ASSERT_NE(list.cellStyle(1, 1), nullptr);
    EXPECT_EQ(list.cellStyle(1, 1)->background, RGB(1, 2, 3));
    EXPECT_EQ(list.cellStyle(1, 1)->selectedStyle, 0x30u);
    EXPECT_EQ(list.cellStyle(0, 1), nullptr);
    EXPECT_EQ(list.columnSortKind(2), 1);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(list.GetFirstSelected(), 0);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.cellStyle(1, 1), nullptr);
}

TEST(ProgressWindow, AWindowThatDestroysItselfTakesItsObjectWithIt)
{
    kvplat::reset();
    const int before = CProgressDlg::liveCount();
    auto* progress = new CProgressDlg();
    progress->setTitleStr(L"Model analysing");
    progress->selfDestruct(true);
    ASSERT_TRUE(progress->DoModeless(nullptr));
    progress->setNOfItems(3);
    progress->setProgress(2);
    progress->UpdateUI();
    EXPECT_EQ(kvplat::windowText(progress->GetSafeHwnd()), L"Model analysing");
    progress->DestroyWindow();
    EXPECT_EQ(CProgressDlg::liveCount(), before);

    // Without self-destruction the object outlives its window and closes it
    // when it goes first.
    auto* kept = new CProgressDlg();
    ASSERT_TRUE(kept->DoModeless(nullptr));
    const HWND window = kept->GetSafeHwnd();
    delete kept;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CProgressDlg::liveCount(), before);
    kvplat::reset();
}

}  // namespace

// The window-template stand-in: objects bound to windows they create or
// subclass, several subclassings of one window chained in order, the current
// message passed on, the final message after the outermost message, and
// modeless dialogs from templates.
#include "platform/atl.h"
#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Handles one message number by answering a value; remembers what it saw.
class Answering : public ATL::CWindowImplBase {
public:
    Answering(UINT message, LRESULT answer) : m_message(message), m_answer(answer) {}
    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result, DWORD) override
    {
        seen.push_back(msg);
        if (msg == m_message) {
            result = m_answer + (passOn ? DefWindowProc() : 0);
            return TRUE;
        }
        return FALSE;
    }
    void OnFinalMessage(HWND hwnd) override
    {
        finalFor = hwnd;
        nestedAtFinal = m_pCurrentMsg != nullptr;
        if (onFinal)
            onFinal();
    }
    std::vector<UINT> seen;
    HWND finalFor = nullptr;
    bool nestedAtFinal = true;
    bool passOn = false;
    std::function<void()> onFinal;

private:
    UINT m_message;
    LRESULT m_answer;
};

const UINT kAsk = WM_USER + 1;

class Atl : public ::testing::Test {
protected:
    void SetUp() override { kvplat::reset(); }
    void TearDown() override { kvplat::reset(); }
};

} // namespace

TEST_F(Atl, ACreatedWindowIsBoundBeforeItsFirstMessage)
{
    Answering w(kAsk, 5);
    HWND h = w.Create(L"test::Answering", nullptr, RECT{0, 0, 50, 20}, L"title", WS_POPUP, 0, 0);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(h, w.m_hWnd);
    ASSERT_FALSE(w.seen.empty());
    EXPECT_TRUE(w.seen.front() == WM_NCCREATE || w.seen.front() == WM_CREATE) << w.seen.front();
    EXPECT_EQ(5, SendMessageW(h, kAsk, 0, 0));
    EXPECT_EQ(L"title", w.text()) << "unhandled messages reach the default procedure";
    EXPECT_EQ(nullptr, w.Create(L"test::Answering", nullptr, RECT{0, 0, 1, 1}, L"", WS_POPUP, 0, 0))
        << "one window per object";
    DestroyWindow(h);
    EXPECT_EQ(h, w.finalFor);
    EXPECT_EQ(nullptr, w.m_hWnd);
    EXPECT_FALSE(w.nestedAtFinal);
}

TEST_F(Atl, SubclassingsChainAndComeOffInOrder)
{
    HWND edit = CreateWindowExW(0, L"Edit", L"abc", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Answering inner(kAsk, 1), outer(kAsk, 10);
    inner.passOn = outer.passOn = true;
    ASSERT_TRUE(inner.SubclassWindow(edit));
    ASSERT_TRUE(outer.SubclassWindow(edit));
    EXPECT_FALSE(outer.SubclassWindow(edit)) << "bound already";
    EXPECT_EQ(11, SendMessageW(edit, kAsk, 0, 0)) << "the outer passes on to the inner";
    EXPECT_EQ(3, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) << "and on to the edit";
    EXPECT_EQ(nullptr, inner.UnsubclassWindow()) << "not while another is in front of it";
    EXPECT_EQ(edit, outer.UnsubclassWindow());
    EXPECT_EQ(1, SendMessageW(edit, kAsk, 0, 0));
    EXPECT_EQ(edit, inner.UnsubclassWindow());
    EXPECT_EQ(0, SendMessageW(edit, kAsk, 0, 0));
    EXPECT_EQ(3, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    // An object that goes while another stands in front of it leaves its
    // place in the chain passing everything on.
    {
        Answering middle(kAsk, 100);
        ASSERT_TRUE(middle.SubclassWindow(edit));
        ASSERT_TRUE(outer.SubclassWindow(edit));
        EXPECT_EQ(110, SendMessageW(edit, kAsk, 0, 0));
    }
    EXPECT_EQ(10, SendMessageW(edit, kAsk, 0, 0)) << "the outer object still reaches the edit";
    EXPECT_EQ(3, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
}

TEST_F(Atl, TheFinalMessageWaitsForTheOutermostMessage)
{
    Answering w(kAsk, 0);
    HWND h = w.Create(L"test::Answering", nullptr, RECT{0, 0, 50, 20}, L"", WS_POPUP, 0, 0);
    // Destroyed from inside one of its own messages.
    struct Destroyer : ATL::CWindowImplBase {
        BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& r, DWORD) override
        {
            if (msg != kAsk)
                return FALSE;
            ::DestroyWindow(hwnd);
            stillBound = m_hWnd != nullptr;
            r = 0;
            return TRUE;
        }
        bool stillBound = false;
    } destroyer;
    HWND other = destroyer.Create(L"test::Destroyer", nullptr, RECT{0, 0, 1, 1}, L"", WS_POPUP, 0, 0);
    SendMessageW(other, kAsk, 0, 0);
    EXPECT_TRUE(destroyer.stillBound) << "the object keeps its window until the message ends";
    EXPECT_EQ(nullptr, destroyer.m_hWnd);
    EXPECT_FALSE(IsWindow(other));
    DestroyWindow(h);
}

TEST_F(Atl, DialogsComeFromTemplatesAndTheResourceListIsOrdered)
{
    kvplat::DialogTemplate t;
    t.width = 100;
    t.height = 80;
    t.style = WS_POPUP | WS_VISIBLE;
    t.controls = {{L"Button", 7, L"OK", 5, 5, 40, 20, WS_VISIBLE, 0}};
    kvplat::registerDialogTemplate(4711, t);
    struct Dialog : ATL::CDialogImplBase {
        BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM, LPARAM lParam, LRESULT& r, DWORD) override
        {
            if (msg != WM_INITDIALOG)
                return FALSE;
            initParam = lParam;
            itemAtInit = GetDlgItem(hwnd, 7);
            r = 0;
            return TRUE;
        }
        LPARAM initParam = 0;
        HWND itemAtInit = nullptr;
    } dialog;
    HWND h = dialog.Create(4711, nullptr, 99);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(99, dialog.initParam);
    EXPECT_NE(nullptr, dialog.itemAtInit) << "the controls exist at WM_INITDIALOG";
    EXPECT_TRUE(IsWindowVisible(h));
    struct Missing : ATL::CDialogImplBase {
        BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return FALSE; }
    } missing;
    EXPECT_EQ(nullptr, missing.Create(4712, nullptr));

    ATL::CAtlBaseModule list;
    HINSTANCE a = reinterpret_cast<HINSTANCE>(0x100), b = reinterpret_cast<HINSTANCE>(0x200);
    EXPECT_TRUE(list.AddResourceInstance(a));
    EXPECT_TRUE(list.AddResourceInstance(b));
    EXPECT_FALSE(list.AddResourceInstance(a));
    EXPECT_EQ(a, list.GetHInstanceAt(0));
    EXPECT_EQ(b, list.GetHInstanceAt(1));
    EXPECT_EQ(nullptr, list.GetHInstanceAt(2));
    EXPECT_TRUE(list.RemoveResourceInstance(a));
    EXPECT_EQ(b, list.GetResourceInstance());
}

// Control proxies and the field check box, the window observer of in-place
// editors, and the window utilities.
#include "ui_resources.h"

#include "ui/atl/PrivateMessages.h"
#include "ui/atl/ProxyCtrl.h"
#include "ui/atl/WindowUtils.h"
#include "ui/atl/dv/CheckBox.h"
#include "ui/atl/ipe/WndObserver.h"

#include <typeinfo>

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

class Proxies : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dialog = makeDialog();
        colors.reset(new ControlColors());
        colors->setOwner(dialog);
    }
    HWND dialog = nullptr;
    ControlColorsPtr colors;
};

// Records what reaches it and handles key presses.
class RecordingEditor : public ipe::Editor {
public:
    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result, DWORD mapId) override
    {
        seen.push_back(msg);
        lastMap = mapId;
        if (msg == WM_KEYDOWN) {
            result = 42;
            return TRUE;
        }
        return FALSE;
    }
    std::vector<UINT> seen;
    DWORD lastMap = 0;
};

} // namespace

TEST_F(Proxies, TheInnerControlFillsTheProxyAndGetsItsMessages)
{
    Edit edit(colors);
    HWND proxy = edit.create(dialog, RECT{10, 10, 110, 30}, L"abc", 0, ES_AUTOHSCROLL, 4);
    ASSERT_NE(nullptr, proxy);
    MoveWindow(proxy, 10, 10, 150, 40, TRUE);
    RECT inner;
    GetClientRect(edit.inner(), &inner);
    EXPECT_EQ(150, inner.right);
    EXPECT_EQ(40, inner.bottom);
    SendMessageW(proxy, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    GetClientRect(edit.inner(), &inner);
    EXPECT_EQ(150, inner.right) << "not squeezed while minimised";
    EXPECT_EQ(3, SendMessageW(proxy, WM_GETTEXTLENGTH, 0, 0)) << "text messages go to the inner control";
    SetFocus(proxy);
    EXPECT_EQ(edit.inner(), GetFocus());
    EnableWindow(proxy, FALSE);
    EXPECT_FALSE(IsWindowEnabled(edit.inner()));
}

TEST_F(Proxies, EachKindSubclassesItsPlatformControlWithAnObjectOfItsOwnClass)
{
    Button button(colors);
    ComboBox combo(colors);
    Edit edit(colors);
    HWND proxies[] = {button.create(dialog, RECT{0, 0, 80, 20}, L"Go", 0, BS_PUSHBUTTON, 1),
                      combo.create(dialog, RECT{0, 30, 80, 50}, L"", 0, CBS_DROPDOWNLIST, 2),
                      edit.create(dialog, RECT{0, 60, 80, 80}, L"", 0, ES_AUTOHSCROLL, 3)};
    for (HWND proxy : proxies)
        ASSERT_NE(nullptr, proxy);
    EXPECT_EQ(typeid(ButtonImpl), typeid(button.innerImpl()));
    EXPECT_EQ(typeid(ComboBoxImpl), typeid(combo.innerImpl()));
    EXPECT_EQ(typeid(EditImpl), typeid(edit.innerImpl()));
    // The proxies are windows of the library's classes around platform controls.
    EXPECT_EQ(L"kv::ui::atl::Button", kvplat::windowClassName(proxies[0]));
    EXPECT_EQ(L"kv::ui::atl::ComboBox", kvplat::windowClassName(proxies[1]));
    EXPECT_EQ(L"kv::ui::atl::Edit", kvplat::windowClassName(proxies[2]));
    EXPECT_EQ(L"Button", kvplat::windowClassName(button.inner()));
    EXPECT_EQ(L"ComboBox", kvplat::windowClassName(combo.inner()));
    EXPECT_EQ(L"Edit", kvplat::windowClassName(edit.inner()));
    EXPECT_EQ(button.inner(), button.innerImpl().m_hWnd);
}

TEST_F(Proxies, ClickingTheCheckBoxWritesOnceAndTheFieldValueIsNotWrittenBack)
{
    dv::CheckBox box(colors);
    box.initField(L"ShowKonkave", boost::any(false), 0);
    int writes = 0;
    bool last = false;
    box.valueChanged.connect([&](const std::wstring&, unsigned, const boost::any& v) {
        ++writes;
        last = boost::any_cast<bool>(v);
    });
    HWND proxy = box.create(dialog, RECT{10, 10, 150, 30}, L"Concave", 6);
    ASSERT_NE(nullptr, proxy);
    SendMessageW(proxy, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0)) << "button messages reach the inner box";
    SendMessageW(proxy, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(0, writes) << "setting the check from outside is no click";
    kvplat::clickButton(box.inner());
    EXPECT_EQ(1, writes);
    EXPECT_TRUE(last);
    EXPECT_TRUE(box.getState() & dv::stateModified);
    box.setValue(boost::any(std::wstring(L"false")), dv::showQuietly | dv::showHolding);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, writes) << "a value from the field is not written back";
    EXPECT_FALSE(box.setValue(boost::any(), dv::showQuietly)) << "null is not allowed here";
}

TEST_F(Proxies, TheResetMenuRestoresTheOriginalOnlyWhenModified)
{
    dv::CheckBox box(colors);
    box.initField(L"Flag", boost::any(true), 0);
    HWND proxy = box.create(dialog, RECT{10, 10, 150, 30}, L"Flag", 6);
    ASSERT_NE(nullptr, proxy);
    kvplat::pushMenuChoice(dv::idResetCommand);
    SendMessageW(box.inner(), WM_CONTEXTMENU, WPARAM(box.inner()), MAKELPARAM(-1, -1));
    EXPECT_EQ(std::vector<std::wstring>{L"Reset"}, kvplat::lastTrackedMenu());
    EXPECT_EQ(BST_CHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0)) << "greyed while unmodified";
    kvplat::clickButton(box.inner());
    ASSERT_EQ(BST_UNCHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0));
    int writes = 0;
    box.valueChanged.connect([&](const std::wstring&, unsigned, const boost::any&) { ++writes; });
    kvplat::pushMenuChoice(dv::idResetCommand);
    SendMessageW(box.inner(), WM_CONTEXTMENU, WPARAM(box.inner()), MAKELPARAM(20, 20));
    EXPECT_EQ(BST_CHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0));
    EXPECT_EQ(true, boost::any_cast<bool>(box.getValue()));
    EXPECT_FALSE(box.getState() & dv::stateModified);
    EXPECT_EQ(1, writes) << "the restore is announced";
}

TEST_F(Proxies, FieldStatesFollowTheirRules)
{
    dv::CheckBox box(colors);
    box.initField(L"F", boost::any(), dv::stateNullAllowed);
    EXPECT_TRUE(box.getState() & dv::stateNull);
    EXPECT_TRUE(box.getValue().empty());
    box.setValue(boost::any(1), 0);
    EXPECT_EQ(dv::stateModified, box.getState() & (dv::stateModified | dv::stateNull));
    box.setValue(boost::any(), 0);
    EXPECT_FALSE(box.getState() & dv::stateModified) << "back to null like the original";
    // Switching null-allowed on marks a field whose null bits differ.
    dv::CheckBox other(colors);
    other.initField(L"G", boost::any(true), 0);
    other.setState(dv::stateNull, dv::stateNull);
    const unsigned changed = other.setState(dv::stateNullAllowed, dv::stateNullAllowed);
    EXPECT_EQ(unsigned(dv::stateNullAllowed | dv::stateModified), changed);
}

TEST_F(Proxies, TheObserverForwardsToItsEditorAndLetsGo)
{
    RecordingEditor* editor = new RecordingEditor();
    kv::IntrusivePtr<ipe::Editor> hold(editor);
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, ipe::WndObserver::observe(nullptr, editor, 1));
    EXPECT_EQ(nullptr, ipe::WndObserver::observe(edit, nullptr, 1));
    ipe::WndObserver* observer = ipe::WndObserver::observe(edit, editor, 7);
    ASSERT_NE(nullptr, observer);
    EXPECT_EQ(2, editor->refCount());
    EXPECT_EQ(42, SendMessageW(edit, WM_KEYDOWN, 'A', 0));
    EXPECT_EQ(7u, editor->lastMap);
    EXPECT_EQ(0, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)) << "unhandled messages reach the edit";
    ipe::WndObserver::releaseAll({observer});
    EXPECT_EQ(1, editor->refCount()) << "the observer is gone";
    const size_t seen = editor->seen.size();
    SendMessageW(edit, WM_KEYDOWN, 'B', 0);
    EXPECT_EQ(seen, editor->seen.size());
    // The private message destroys an observed window; the observer goes with it.
    HWND other = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, ipe::WndObserver::observe(other, editor, 8));
    SendMessageW(other, msgDestroyObserved, 0, 0);
    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(1, editor->refCount());
}

TEST_F(Proxies, WindowUtilities)
{
    HWND edit = CreateWindowExW(0, L"Edit", L"old text", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog, nullptr,
                                nullptr, nullptr);
    EXPECT_TRUE(isWindowWithin(edit, dialog));
    EXPECT_FALSE(isWindowWithin(nullptr, dialog));
    EXPECT_EQ(dialog, findNonChildAncestor(edit));
    EXPECT_TRUE(hasWindowClass(edit, L"Edit"));
    EXPECT_FALSE(hasWindowClass(edit, L"EDIT")) << "case-sensitive";
    std::vector<HWND> children{dialog};
    collectChildWindows(dialog, children);
    EXPECT_EQ(std::vector<HWND>{edit}, children);

    sendStartKeyToEdit(edit, 'A');
    kvplat::pumpMessages();
    EXPECT_EQ(L"A", kvplat::windowText(edit)) << "the whole text is replaced by the key";
    sendStartKeyToEdit(dialog, '.');
    kvplat::pumpMessages();
    EXPECT_EQ(L".", kvplat::windowText(edit)) << "a full stop is typed, not taken for the delete key";
    SetWindowTextW(edit, L"12");
    sendStartKeyToEdit(edit, 8);
    kvplat::pumpMessages();
    EXPECT_EQ(L"1", kvplat::windowText(edit));
    sendStartKeyToEdit(edit, 127);
    kvplat::pumpMessages();
    EXPECT_EQ(L"", kvplat::windowText(edit));

    // 100 items of 15 pixels on a 768-pixel monitor, the combo 20 high.
    kvplat::setScreenSize(1024, 768);
    HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 100, 20, dialog,
                                 nullptr, nullptr, nullptr);
    SendMessageW(combo, CB_SETITEMHEIGHT, 0, 15);
    EXPECT_FALSE(adjustComboDropHeight(combo)) << "no items";
    for (int i = 0; i < 100; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(L"item"));
    EXPECT_TRUE(adjustComboDropHeight(combo));
    RECT r;
    GetWindowRect(combo, &r);
    EXPECT_EQ(20 + 369, r.bottom - r.top);
    RECT monitor;
    EXPECT_TRUE(getMonitorRect(combo, 0, &monitor));
    EXPECT_EQ(768, monitor.bottom);
}

TEST_F(Proxies, AProxyTakesTheDialogItemsPlace)
{
    HWND first = CreateWindowExW(0, L"Static", L"label", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, dialog, nullptr, nullptr,
                                 nullptr);
    HWND item = CreateWindowExW(0, L"Button", L"Concave", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 50, 30,
                                120, 20, dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(9)), nullptr, nullptr);
    HWND last = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 60, 40, 20, dialog, nullptr, nullptr, nullptr);
    dv::CheckBox box(colors);
    box.initField(L"ShowKonkave", boost::any(true), 0);
    EXPECT_EQ(nullptr, box.replaceDlgItem(dialog, 99)) << "no such item";
    HWND proxy = box.replaceDlgItem(dialog, 9);
    ASSERT_NE(nullptr, proxy);
    EXPECT_FALSE(IsWindow(item));
    EXPECT_EQ(proxy, GetDlgItem(dialog, 9));
    RECT r;
    GetWindowRect(proxy, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(50, r.left);
    EXPECT_EQ(170, r.right);
    EXPECT_TRUE(GetWindowLongW(proxy, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(L"Concave", kvplat::windowText(box.inner()));
    EXPECT_EQ(BST_CHECKED, SendMessageW(box.inner(), BM_GETCHECK, 0, 0)) << "the field's value is shown";
    EXPECT_EQ(first, GetWindow(proxy, GW_HWNDPREV)) << "its place in the Z order";
    EXPECT_EQ(last, GetWindow(proxy, GW_HWNDNEXT));
}

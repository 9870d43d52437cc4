// Saving and restoring a layout tree through the registry: round trips of a
// nested tree with a list control, trees the stored state does not fit, and a
// registry that refuses writes.
#include "list_columns.h"
#include "ui/atl/layout/DialogLayout.h"
#include "ui/atl/layout/LayoutPersistence.h"
#include "ui/atl/layout/LayoutStateExport.h"

#include "platform/kvPlatformUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

using namespace kv::ui::atl::layout;

namespace {

bool sameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

using uitest::addColumns;
using uitest::widths;

bool endsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool hasValue(const std::wstring& suffix)
{
    for (const auto& line : kvplat::registryDump())
        if (line.find(suffix) != std::wstring::npos)
            return true;
    return false;
}

// A dialog with an edit, a button and a list, laid out as the list panels are:
// a horizontal root holding the edit and a row container of list and button.
class LayoutStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        dialog = CreateWindowExW(0, WC_DIALOG, L"d", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        edit = make(L"Edit", 10, 10, 10, 100, 20);
        list = make(WC_LISTVIEWW, 11, 10, 40, 300, 200);
        button = make(L"Button", 12, 320, 40, 60, 20);
        addColumns(list, {100, 150});
        NodeBuilder b(dialog);
        b.begin(makeNode(b, 0, horizontal | sizeY));
        b.add(makeWindowNode(b, 10, sizeY));
        b.begin(makeWindowNode(b, 11, horizontal | sizeX));
        b.add(makeListCtrlNode(b, 11, sizeX));
        b.add(makeWindowNode(b, 12, moveXRight));
        b.end();
        b.end();
        ASSERT_TRUE(b.ok());
        root = b.root();
        ASSERT_TRUE(root->validate());
        key = HKEY_CURRENT_USER;
    }
    void TearDown() override { kvplat::reset(); }

    HWND make(const wchar_t* cls, int id, int x, int y, int w, int h)
    {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, x, y, w, h, dialog,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    ListCtrlNode* listNode() { return static_cast<ListCtrlNode*>(root->children()[1]->children()[0].get()); }

    // Saves the tree under path; the walk must end where it began.
    bool save(const wchar_t* path, bool controlsOnly = false)
    {
        RegistryArchive out(key, path, true, controlsOnly);
        const bool saved = root->saveState(out);
        EXPECT_EQ(path, out.path()) << "a balanced walk ends where it began";
        return saved;
    }
    // Writes a DWORD value into the stored key at path.
    void store(const wchar_t* path, const wchar_t* name, DWORD value)
    {
        HKEY k = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(key, path, 0, KEY_WRITE, &k));
        RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        RegCloseKey(k);
    }

    // A DWORD value stored at path, or nothing.
    bool stored(const std::wstring& path, const wchar_t* name, DWORD& value)
    {
        HKEY k = nullptr;
        if (RegOpenKeyExW(key, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        DWORD type = 0, size = sizeof(value);
        const LSTATUS status = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
        RegCloseKey(k);
        return status == ERROR_SUCCESS && type == REG_DWORD;
    }
    // Every node of the subtree has its current rectangle stored under path.
    void expectStoredRectangles(Node& n, const std::wstring& path)
    {
        const RECT& r = n.current();
        const std::pair<const wchar_t*, LONG> sides[] = {
            {L"top", r.top}, {L"left", r.left}, {L"bottom", r.bottom}, {L"right", r.right}};
        for (const auto& side : sides) {
            DWORD value = 0;
            EXPECT_TRUE(stored(path, side.first, value)) << std::string(path.begin(), path.end());
            EXPECT_EQ(static_cast<DWORD>(side.second), value) << std::string(path.begin(), path.end());
        }
        for (size_t i = 0; i < n.children().size(); ++i)
            expectStoredRectangles(*n.children()[i], path + L"\\Node " + std::to_wstring(i));
    }

    std::vector<RECT> currents()
    {
        std::vector<RECT> out;
        collect(*root, out);
        return out;
    }
    void expectCurrents(const std::vector<RECT>& expected)
    {
        const std::vector<RECT> now = currents();
        ASSERT_EQ(expected.size(), now.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_TRUE(sameRect(expected[i], now[i])) << "node " << i;
    }
    static void collect(Node& n, std::vector<RECT>& out)
    {
        out.push_back(n.current());
        for (auto& c : n.children())
            collect(*c, out);
    }

    HWND dialog = nullptr, edit = nullptr, list = nullptr, button = nullptr;
    NodePtr root;
    HKEY key = nullptr;
};

} // namespace

TEST_F(LayoutStore, SaveThenLoadRestoresRectanglesFactorsAndColumnsExactly)
{
    root->arrange(RECT{0, 0, 500, 350}, nullptr);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(120, 0));
    const std::vector<RECT> saved = currents();
    const std::uint32_t factor = listNode()->factor();
    ASSERT_TRUE(save(L"Software\\kv\\Layout"));
    EXPECT_TRUE(hasValue(L"Layout\\Node 1\\Node 0\\col_0 = 120"));
    // Somebody moves things about; loading puts them back.
    root->reset();
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(40, 0));
    RegistryArchive in(key, L"Software\\kv\\Layout", false, false);
    ASSERT_TRUE(root->loadState(in));
    expectCurrents(saved);
    EXPECT_EQ(factor, listNode()->factor());
    EXPECT_EQ(120, widths(list)[0]);
    EXPECT_EQ(L"Software\\kv\\Layout", in.path());
}

TEST_F(LayoutStore, AChildThatDoesNotFitKeepsWhatWasAppliedAndTheTestEntryPutsItBack)
{
    root->arrange(RECT{0, 0, 500, 350}, nullptr);
    const RECT stored = root->current();
    ASSERT_TRUE(save(L"Store"));
    // The stored button (the last child) claims other flags: it no longer fits.
    store(L"Store\\Node 1\\Node 1", L"flags", 0x40);

    root->reset();
    {
        RegistryArchive in(key, L"Store", false, false);
        EXPECT_FALSE(root->loadState(in));
        // The walk pops every key it pushed, also the failed child's: a stray
        // one would put the archive's next values under that child's key.
        EXPECT_EQ(L"Store", in.path());
    }
    EXPECT_TRUE(sameRect(stored, root->current())) << "what came before the misfit stays applied";

    // The test entry's restore keeps the layout as it was when the store does not fit.
    root->reset();
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(33, 0));
    DialogLayout layout(-1, -1);
    ASSERT_TRUE(layout.attach(dialog, root, 0));
    const std::vector<RECT> attached = currents();
    const std::vector<int> columnsBefore = widths(list);
    EXPECT_FALSE(kvAnalyseTestEntry()->layoutPersist(&layout, L"Store", false));
    expectCurrents(attached);
    EXPECT_EQ(columnsBefore, widths(list)) << "column widths applied before the misfit are undone";
}

TEST_F(LayoutStore, StoredStatesThatCannotBeUsedAreRefused)
{
    ASSERT_TRUE(save(L"S"));
    RegistryArchive in(key, L"S", false, false);
    // A value of another registry type counts as missing.
    HKEY rootKey = nullptr;
    RegOpenKeyExW(key, L"S", 0, KEY_WRITE, &rootKey);
    const wchar_t text[] = L"10";
    RegSetValueExW(rootKey, L"top", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    EXPECT_FALSE(root->loadState(in));
    store(L"S", L"top", 0);
    EXPECT_TRUE(root->loadState(in));
    // Rectangles no window can have: sides out of order, or too far apart for
    // 32 bits, at the root and at a child.
    auto sides = [this](const wchar_t* path, DWORD left, DWORD right) {
        store(path, L"left", left);
        store(path, L"right", right);
    };
    const RECT before = root->current();
    sides(L"S", 0x7FFFFF00, 0x80000100);
    EXPECT_FALSE(root->loadState(in));
    sides(L"S", 0x80000000, 0x7FFFFFFF);
    EXPECT_FALSE(root->loadState(in));
    EXPECT_TRUE(sameRect(before, root->current())) << "a refused rectangle is not applied";
    sides(L"S", before.left, before.right);
    sides(L"S\\Node 0", 0x80000010, root->children()[0]->current().right);
    EXPECT_FALSE(root->loadState(in));
    // A larger reference size (a larger font) does not fit the stored one.
    RECT bigger = root->reference();
    bigger.bottom += 50;
    root->setReference(bigger);
    EXPECT_FALSE(root->loadState(in));
    RegCloseKey(rootKey);
    // Nothing stored at all.
    RegistryArchive none(key, L"Nothing", false, false);
    EXPECT_FALSE(root->loadState(none));
}

TEST_F(LayoutStore, ARefusedWriteIsReportedAndTheWalkEndsBalanced)
{
    // A store that refuses the values is reported: success would make the
    // caller believe the layout is kept.
    kvplat::setRegistryReadOnly(true);
    EXPECT_FALSE(save(L"RO"));
    kvplat::setRegistryReadOnly(false);
    HKEY nullKey = nullptr;
    RegistryArchive nowhere(nullKey, L"X", true, false);
    EXPECT_FALSE(root->saveState(nowhere)) << "no parent key, nothing written";
}

TEST_F(LayoutStore, ARefusedNodeValueStopsNothingAndEveryOtherValueIsStoredAfresh)
{
    root->arrange(RECT{0, 0, 500, 350}, nullptr);
    ASSERT_TRUE(save(L"S"));
    // The dialog grows and a column widens; the store then refuses the root's
    // first value and the list's own top.
    root->arrange(RECT{0, 0, 640, 420}, nullptr);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(90, 0));
    kvplat::setRegistryRefusal([](const std::wstring& keyPath, const std::wstring& name) {
        return (endsWith(keyPath, L"\\S") && name == L"id") || (endsWith(keyPath, L"\\Node 1\\Node 0") && name == L"top");
    });
    EXPECT_FALSE(save(L"S")) << "what was refused is reported";
    kvplat::setRegistryRefusal(nullptr);
    // Nothing after the refusals is left stale: every node's new rectangle
    // and every column are stored.
    expectStoredRectangles(*root, L"S");
    DWORD width = 0, count = 0;
    EXPECT_TRUE(stored(L"S\\Node 1\\Node 0", L"col_1", width));
    EXPECT_EQ(90u, width);
    EXPECT_TRUE(stored(L"S\\Node 1\\Node 0", L"column_count", count));
    EXPECT_EQ(2u, count);
}

TEST_F(LayoutStore, ARefusedColumnEndsTheListsSaveAndTheTreeGoesOnWithTheNextChild)
{
    root->arrange(RECT{0, 0, 500, 350}, nullptr);
    ASSERT_TRUE(save(L"S"));
    root->arrange(RECT{0, 0, 640, 420}, nullptr);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(90, 0));
    kvplat::setRegistryRefusal(
        [](const std::wstring&, const std::wstring& name) { return name == L"col_0"; });
    EXPECT_FALSE(save(L"S"));
    kvplat::setRegistryRefusal(nullptr);
    // The column after the refused one keeps what the first save gave it;
    // the button after the list has its new place.
    DWORD width = 0;
    EXPECT_TRUE(stored(L"S\\Node 1\\Node 0", L"col_1", width));
    EXPECT_EQ(150u, width);
    expectStoredRectangles(*root, L"S");
}

TEST_F(LayoutStore, ControlsOnlyModeKeepsOnlyColumnsAndTouchesNoRectangle)
{
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(77, 0));
    ASSERT_TRUE(save(L"C", true));
    for (const auto& line : kvplat::registryDump()) {
        EXPECT_NE(std::wstring::npos, line.find(L"\\C\\Ctrl 11\\")) << std::string(line.begin(), line.end());
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(10, 0));
    root->arrange(RECT{0, 0, 450, 320}, nullptr);
    const std::vector<RECT> before = currents();
    RegistryArchive in(key, L"C", false, true);
    ASSERT_TRUE(root->loadState(in));
    EXPECT_EQ(77, widths(list)[1]);
    expectCurrents(before);
}

TEST_F(LayoutStore, AStoredFitFillsTheListEvenWhenTheColumnCountChanged)
{
    // Columns that fill the list's client width exactly are saved as fitted.
    RECT c;
    GetClientRect(list, &c);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(c.right - 150, 0));
    ASSERT_TRUE(save(L"F"));
    EXPECT_TRUE(hasValue(L"F\\Node 1\\Node 0\\fit = 1"));
    addColumns(list, {40});
    RegistryArchive in(key, L"F", false, false);
    ASSERT_TRUE(root->loadState(in));
    const std::vector<int> w = widths(list);
    EXPECT_EQ(c.right, std::accumulate(w.begin(), w.end(), 0));
}

// A parent's sizing children share its whole growth between them: stored
// factors that share out only half of it cannot be the tree's. The restore
// refuses them and the layout in use stays, its factors and rectangles too.
TEST_F(LayoutStore, StoredFactorsThatDoNotMakeTheWholeAreRefusedAndTheLayoutInUseIsKept)
{
    root->arrange(RECT{0, 0, 500, 350}, nullptr);
    ASSERT_TRUE(save(L"Half"));
    // The row of list and button is the root's one sizing child; the list is
    // the row's. Each holds the whole.
    Node& row = *root->children()[1];
    ASSERT_EQ(wholeFactor, row.factor());
    ASSERT_EQ(wholeFactor, listNode()->factor());
    store(L"Half\\Node 1", L"factor", wholeFactor / 2);
    {
        RegistryArchive in(key, L"Half", false, false);
        EXPECT_FALSE(root->loadState(in));
    }
    // The list's alone.
    store(L"Half\\Node 1", L"factor", wholeFactor);
    store(L"Half\\Node 1\\Node 0", L"factor", wholeFactor - 1);
    {
        RegistryArchive in(key, L"Half", false, false);
        EXPECT_FALSE(root->loadState(in));
    }

    root->reset();
    DialogLayout layout(-1, -1);
    ASSERT_TRUE(layout.attach(dialog, root, 0));
    const std::vector<RECT> attached = currents();
    EXPECT_FALSE(kvAnalyseTestEntry()->layoutPersist(&layout, L"Half", false));
    expectCurrents(attached);
    EXPECT_EQ(wholeFactor, row.factor());
    EXPECT_EQ(wholeFactor, listNode()->factor());
    // Put whole again, the store is taken.
    store(L"Half\\Node 1\\Node 0", L"factor", wholeFactor);
    EXPECT_TRUE(kvAnalyseTestEntry()->layoutPersist(&layout, L"Half", false));
}

namespace {

// Every value a save tries to write, as key path and name, in order.
using Write = std::pair<std::wstring, std::wstring>;

bool isColumnValue(const std::wstring& name)
{
    return name == L"column_count" || name == L"fit" || name.compare(0, 4, L"col_") == 0;
}

// A root holding two lists of three columns each, side by side.
class TwoListStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        dialog = CreateWindowExW(0, WC_DIALOG, L"d", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 0, 0, 600, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        HWND first = makeList(21, 10), second = makeList(22, 300);
        addColumns(first, {60, 70, 80});
        addColumns(second, {30, 40, 50});
        NodeBuilder b(dialog);
        b.begin(makeNode(b, 0, horizontal | sizeX | sizeY));
        b.add(makeListCtrlNode(b, 21, sizeX));
        b.add(makeListCtrlNode(b, 22, sizeX));
        b.end();
        ASSERT_TRUE(b.ok());
        root = b.root();
        ASSERT_TRUE(root->validate());
        key = HKEY_CURRENT_USER;
    }
    void TearDown() override { kvplat::reset(); }

    HWND makeList(int id, int x)
    {
        return CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE, x, 10, 280, 200, dialog,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    // Saves under path, refusing the write refused names (none when null),
    // and gives back every write tried; the walk must end where it began.
    std::vector<Write> save(const wchar_t* path, bool controlsOnly, const Write* refused, bool& result)
    {
        std::vector<Write> tried;
        kvplat::setRegistryRefusal([&tried, refused](const std::wstring& keyPath, const std::wstring& name) {
            tried.emplace_back(keyPath, name);
            return refused && refused->first == keyPath && refused->second == name;
        });
        RegistryArchive out(key, path, true, controlsOnly);
        result = root->saveState(out);
        EXPECT_EQ(path, out.path()) << "a balanced walk ends where it began";
        kvplat::setRegistryRefusal(nullptr);
        return tried;
    }

    // Refuses each value of a whole save in turn: a refused column value
    // ends its list's save there and nothing else; any other refused value
    // stops nothing. Every refusal is answered false.
    void refuseEachValueInTurn(bool controlsOnly)
    {
        bool result = false;
        const std::vector<Write> all = save(L"T", controlsOnly, nullptr, result);
        ASSERT_TRUE(result);
        ASSERT_EQ(controlsOnly ? 10u : 31u, all.size());
        for (size_t k = 0; k < all.size(); ++k) {
            const Write refused = all[k];
            const std::string label(refused.first.begin(), refused.first.end());
            const std::string name(refused.second.begin(), refused.second.end());
            std::vector<Write> expected;
            for (size_t j = 0; j < all.size(); ++j)
                if (j <= k || !isColumnValue(refused.second) || !isColumnValue(all[j].second) ||
                    all[j].first != refused.first)
                    expected.push_back(all[j]);
            EXPECT_EQ(expected, save(L"T", controlsOnly, &refused, result)) << label << " " << name;
            EXPECT_FALSE(result) << label << " " << name;
        }
    }

    HWND dialog = nullptr;
    NodePtr root;
    HKEY key = nullptr;
};

} // namespace

TEST_F(TwoListStore, InTheTreeARefusedColumnEndsItsListAndAnyOtherRefusalStopsNothing)
{
    refuseEachValueInTurn(false);
}

TEST_F(TwoListStore, ControlsOnlyARefusedColumnEndsItsListAndTheNextListKeepsItsOwnKey)
{
    refuseEachValueInTurn(true);
    // The refusal of the first list's first column leaves the second list's
    // values in its own key directly below the start path.
    bool result = true;
    const std::vector<Write> all = save(L"T", true, nullptr, result);
    const Write firstColumn = all[2];
    ASSERT_EQ(L"col_0", firstColumn.second);
    const std::vector<Write> tried = save(L"T", true, &firstColumn, result);
    ASSERT_EQ(8u, tried.size());
    EXPECT_TRUE(endsWith(tried.back().first, L"\\T\\Ctrl 22"));
}

TEST_F(TwoListStore, AListWhoseOwnValueAloneIsRefusedAnswersFalseAndStoresItsColumns)
{
    bool result = true;
    const std::vector<Write> all = save(L"T", false, nullptr, result);
    const auto top = std::find_if(all.begin(), all.end(), [](const Write& w) {
        return endsWith(w.first, L"\\T\\Node 0") && w.second == L"top";
    });
    ASSERT_NE(all.end(), top);
    const Write refused = *top;
    EXPECT_EQ(all, save(L"T", false, &refused, result));
    EXPECT_FALSE(result) << "the list's own value was refused";
}

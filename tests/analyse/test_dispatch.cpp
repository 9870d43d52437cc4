// Property events reach a dialog's handlers through its property-message map.
#include "analyse/kvAnalyseKeys.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvDialog.h"
#include "sdk/kvPropertySet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MapDialog : public kvCDlgBase {
public:
    std::vector<std::wstring> calls;

    const KVPROP_DLGMSGMAP* getMessageMap() const override { return &sMap; }

    void onMode(const wchar_t* n) { calls.push_back(L"mode:" + std::wstring(n)); }
    void onShowText(const wchar_t* n) { calls.push_back(L"show:" + std::wstring(n)); }
    void onAny(const wchar_t* n) { calls.push_back(L"any:" + std::wstring(n ? n : L"<null>")); }
    void onRemoved(const wchar_t* n) { calls.push_back(L"removed:" + std::wstring(n)); }
    void afterEnd(const wchar_t*) { calls.push_back(L"after-end"); }

    static const KVPROP_DLGMSGMAP_ENTRY sEntries[];
    static const KVPROP_DLGMSGMAP sMap;
};

const KVPROP_DLGMSGMAP_ENTRY MapDialog::sEntries[] = {
    KVPROP_DLGMSG_ENTRY(2, nullptr, &MapDialog::onAny),
    KVPROP_DLGMSG_ENTRY(2, L"AnalyseMode", &MapDialog::onMode),
    KVPROP_DLGMSG_ENTRY(2, L"InfoShowText ", &MapDialog::onShowText),
    KVPROP_DLGMSG_ENTRY(3, L"FrameRef", &MapDialog::onRemoved),
    KVPROP_DLGMSG_END(),
    KVPROP_DLGMSG_ENTRY(2, L"Late", &MapDialog::afterEnd),
};
const KVPROP_DLGMSGMAP MapDialog::sMap = {&kvCDlgBase::sGetMessageMap, MapDialog::sEntries};

}  // namespace

TEST(PropertyDispatch, NamedEntriesWinAndTheCatchAllSeesTheRest)
{
    MapDialog d;
    EXPECT_TRUE(d.propertyMessage(2, L"AnalyseMode"));
    EXPECT_TRUE(d.propertyMessage(2, L"Surfaces"));
    EXPECT_TRUE(d.propertyMessage(2, nullptr));
    std::vector<std::wstring> expected = {L"mode:AnalyseMode", L"any:Surfaces", L"any:<null>"};
    EXPECT_EQ(d.calls, expected);
}

TEST(PropertyDispatch, CodesAndTheTrailingBlankSelectEntries)
{
    MapDialog d;
    // The key with its blank has a handler, the one without goes to the catch-all.
    d.propertyMessage(2, L"InfoShowText ");
    d.propertyMessage(2, L"InfoShowText");
    // Code 3 has no catch-all: only the named entry answers, other keys are not taken.
    EXPECT_TRUE(d.propertyMessage(3, L"FrameRef"));
    EXPECT_FALSE(d.propertyMessage(3, L"FrameRef/Matrix"));
    EXPECT_FALSE(d.propertyMessage(4, L"AnalyseMode"));
    // Entries after the end entry are never reached.
    d.propertyMessage(2, L"Late");
    std::vector<std::wstring> expected = {L"show:InfoShowText ", L"any:InfoShowText", L"removed:FrameRef",
                                          L"any:Late"};
    EXPECT_EQ(d.calls, expected);
}

TEST(PropertyDispatch, EventsOfTheInstalledSetArriveUnlessSuspendedAndStopWhenItIsReplacedOrGone)
{
    MapDialog d;
    kvCPrPropertySet first;
    kvCPrPropertySet second;
    d.setProperties(&first);
    propSet(&first, L"AnalyseMode", 2);
    propSet(&first, L"AnalyseMode", 2);  // same value: no event
    d.setProperties(&second);
    propSet(&first, L"AnalyseMode", 3);
    propSet(&second, L"Other", 1);
    std::vector<std::wstring> expected = {L"mode:AnalyseMode", L"any:Other"};
    EXPECT_EQ(d.calls, expected);

    // Suspended events are dropped.
    d.calls.clear();
    d.suspendEvents(true);
    propSet(&second, L"AnalyseMode", 4);
    d.suspendEvents(false);
    EXPECT_TRUE(d.calls.empty());
    d.setProperties(nullptr);

    // A destroyed set is forgotten.
    {
        kvCPrPropertySet set;
        d.setProperties(&set);
        EXPECT_EQ(d.properties(), &set);
    }
    EXPECT_EQ(d.properties(), nullptr);
}

TEST(AnalyseKeys, VocabularyHasNoDuplicates)
{
    const size_t n = sizeof(kvAnalyseKeys) / sizeof(kvAnalyseKeys[0]);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            EXPECT_NE(std::wstring(kvAnalyseKeys[i]), std::wstring(kvAnalyseKeys[j]));
}

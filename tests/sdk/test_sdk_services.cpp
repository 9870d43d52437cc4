#include "host/object/kvIfPtr.h"
#include "platform/afx.h"
#include "sdk/kvAssert.h"
#include "sdk/kvInterfaces.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <cxxabi.h>
#include <cstdlib>
#include <map>
#include <string>
#include <typeinfo>

namespace {

std::wstring demangled(const std::type_info& type)
{
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    const std::string text = name ? name : "";
    std::free(name);
    return std::wstring(text.begin(), text.end());
}

// Runs an assertion and gives back the text it threw, empty when it did not throw.
template <class Assertion>
std::wstring thrownText(Assertion assertion)
{
    try {
        assertion();
    } catch (wchar_t* thrown) {
        return thrown;
    }
    return L"";
}

} // namespace

TEST(InterfaceNames, EveryDeclaredNameIsItsClassName)
{
    int count = 0;
#define KV_CHECK_NAME(T)                                                \
    EXPECT_EQ(std::wstring(kvIfName<T>::value), demangled(typeid(T))); \
    ++count;
    KV_FOR_EACH_INTERFACE(KV_CHECK_NAME)
#undef KV_CHECK_NAME
    EXPECT_GE(count, 60);
    EXPECT_EQ(std::wstring(kvIfPtr<kvIBaseDocWithAnalyseShowMode>::name()), L"kvIBaseDocWithAnalyseShowMode");
    EXPECT_EQ(std::wstring(kvIUnknownPtr::name()), L"kvIUnknown");
}

TEST(Assertion, FormatsReportsAndThrowsTheFailureText)
{
    const kvAssertSink previous = kvSetAssertSink([](const wchar_t*) {});
    kvResetAssertMessages();
    EXPECT_EQ(thrownText([] { kvAssertFail(L"pCntxt", L"AnalyseStart", 136); }), L"AssertionFailure");
    EXPECT_EQ(kvLastAssertMessage(), L"Assertion failed:\npCntxt\n\nFile: AnalyseStart\nLine: 136");

    // The macro quotes the expression as written; a true expression does not report.
    const wchar_t* nothing = nullptr;
    EXPECT_EQ(thrownText([&] { kvAssertAt(nothing != nullptr, L"AnalyseStart", 245); }), L"AssertionFailure");
    EXPECT_EQ(kvLastAssertMessage(), L"Assertion failed:\nnothing != nullptr\n\nFile: AnalyseStart\nLine: 245");
    EXPECT_EQ(thrownText([] { kvAssertAt("a literal is true", "AnalyseStart", 195); }), L"");
    EXPECT_EQ(kvAssertMessageCount(), 2);

    // A very long expression is cut at the buffer's 1023 characters.
    const std::wstring longExpr(5000, L'x');
    thrownText([&] { kvAssertFail(longExpr.c_str(), "unit.cpp", 1); });
    EXPECT_EQ(kvLastAssertMessage().size(), 1023u);
    EXPECT_EQ(kvLastAssertMessage().substr(0, 20), L"Assertion failed:\nxx");

    // The recorded unit of the plain macro is this file.
    thrownText([] { kvAssert(1 == 2); });
    EXPECT_NE(kvLastAssertMessage().find(L"test_sdk_services.cpp"), std::wstring::npos);
    kvSetAssertSink(previous);
}

namespace {

// An application that is its own resource manager and text lookup.
class FakeApp : public kvIUnknownImp, public kvIApplication1, public kvIResourceMgr1, public kvITextLookup1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!offerTexts && std::wstring(name) == L"kvITextLookup1")
            return nullptr;
        return kvQueryInterfaces<kvIApplication1, kvIResourceMgr1, kvITextLookup1>(this, name);
    }
    int getResourceManager(kvIUnknown** out) override
    {
        *out = queryInterface(L"kvIResourceMgr1");
        return 0;
    }
    int lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity) override
    {
        auto it = texts.find(std::wstring(file) + L"|" + key);
        if (it == texts.end() || capacity <= 0)
            return -1;
        std::wcsncpy(buffer, it->second.c_str(), static_cast<size_t>(capacity));
        return 0;
    }
    std::map<std::wstring, std::wstring> texts;  // "file|key" -> text
    bool offerTexts = true;
};

} // namespace

TEST(MessageEntry, DefaultTextAndLanguageLookup)
{
    kvCMsgEnt plain(L"twFTMain.loc|FeatAnalyseWarn|Analyse cannot start in transparent mode");
    EXPECT_EQ(plain.file(), kvCString(L"twFTMain.loc"));
    EXPECT_EQ(plain.key(), kvCString(L"FeatAnalyseWarn"));
    // The default is everything after the second bar, bars included.
    for (const auto& entry : std::map<const wchar_t*, const wchar_t*>{
             {L"f.loc|k|a|b", L"a|b"}, {L"f.loc|k|", L""}, {L"just a text", L"just a text"}, {nullptr, L""}})
        EXPECT_EQ(kvCMsgEnt(entry.first).getEntry(nullptr), kvCString(entry.second));

    auto* app = new kvIfImp<FakeApp>();
    app->addRef();
    app->texts[L"twUiCyc.loc|AnaRad"] = L"Radiusanalyse";
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaRad|Radius analyse").getEntry(app), kvCString(L"Radiusanalyse"));
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaPlane|Plane analyse").getEntry(app), kvCString(L"Plane analyse"));
    app->offerTexts = false;
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaRad|Radius analyse").getEntry(app), kvCString(L"Radius analyse"));
    EXPECT_EQ(app->refCount(), 1);  // every reference taken during the lookups was given back
    app->release();
}

TEST(ResourceScope, NestedScopesRestoreTheModuleBefore)
{
    HINSTANCE outer = reinterpret_cast<HINSTANCE>(0x1000);
    HINSTANCE inner = reinterpret_cast<HINSTANCE>(0x2000);
    HINSTANCE before = AfxGetResourceHandle();
    {
        kvCResourceCntxt a(outer);
        {
            kvCResourceCntxt b(inner);
            EXPECT_EQ(AfxGetResourceHandle(), inner);
            EXPECT_EQ(b.previous(), outer);
        }
        EXPECT_EQ(AfxGetResourceHandle(), outer);
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
}

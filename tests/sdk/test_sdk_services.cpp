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
    std::wstring out;
    for (const char* p = name; p && *p; ++p)
        out.push_back(static_cast<wchar_t>(*p));
    std::free(name);
    return out;
}

} // namespace

TEST(InterfaceNames, EveryDeclaredNameIsItsClassName)
{
    int count = 0;
#define KV_CHECK_NAME(T)                                            \
    EXPECT_EQ(std::wstring(kvIfName<T>::value), demangled(typeid(T))); \
    ++count;
    KV_FOR_EACH_INTERFACE(KV_CHECK_NAME)
#undef KV_CHECK_NAME
    EXPECT_GE(count, 60);
    EXPECT_EQ(std::wstring(kvIfPtr<kvIBaseDocWithAnalyseShowMode>::name()), L"kvIBaseDocWithAnalyseShowMode");
    EXPECT_EQ(std::wstring(kvIUnknownPtr::name()), L"kvIUnknown");
}

namespace {
void quietSink(const wchar_t*) {}
} // namespace

TEST(Assertion, FormatsReportsAndThrowsTheFailureText)
{
    kvAssertSink previous = kvSetAssertSink(&quietSink);
    kvResetAssertMessages();
    try {
        kvAssertFail(L"pCntxt", L"AnalyseStart", 136);
        FAIL() << "no throw";
    } catch (wchar_t* thrown) {
        EXPECT_STREQ(thrown, L"AssertionFailure");
    }
    EXPECT_EQ(kvLastAssertMessage(), L"Assertion failed:\npCntxt\n\nFile: AnalyseStart\nLine: 136");
    EXPECT_EQ(kvAssertMessageCount(), 1);

    // Caught as an untyped pointer as well; the macro quotes the expression as written.
    const wchar_t* nothing = nullptr;
    try {
        kvAssertAt(nothing != nullptr, L"AnalyseStart", 245);
        FAIL() << "no throw";
    } catch (void* thrown) {
        EXPECT_STREQ(static_cast<wchar_t*>(thrown), L"AssertionFailure");
    }
    EXPECT_EQ(kvLastAssertMessage(), L"Assertion failed:\nnothing != nullptr\n\nFile: AnalyseStart\nLine: 245");

    try {
        kvAssertAt("Unable to retrieve the application-path", "AnalyseStart", 195);
    } catch (...) {
    }
    EXPECT_EQ(kvAssertMessageCount(), 2);  // a true expression does not report

    // A very long expression is cut at the buffer's 1023 characters.
    const std::wstring longExpr(5000, L'x');
    EXPECT_THROW(kvAssertFail(longExpr.c_str(), "unit.cpp", 1), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage().size(), 1023u);
    EXPECT_EQ(kvLastAssertMessage().substr(0, 20), L"Assertion failed:\nxx");

    // The recorded unit of the plain macro is this file.
    try {
        kvAssert(1 == 2);
    } catch (wchar_t*) {
    }
    EXPECT_NE(kvLastAssertMessage().find(L"test_sdk_services.cpp"), std::wstring::npos);
    kvSetAssertSink(previous);
}

namespace {

class FakeResources : public kvIUnknownImp, public kvIResourceMgr1, public kvITextLookup1 {
public:
    std::map<std::wstring, std::wstring> texts;  // "file|key" -> text
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!offerTexts && std::wstring(name) == L"kvITextLookup1")
            return nullptr;
        return kvQueryInterfaces<kvIResourceMgr1, kvITextLookup1>(this, name);
    }
    int lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity) override
    {
        auto it = texts.find(std::wstring(file) + L"|" + key);
        if (it == texts.end() || capacity <= 0)
            return -1;
        std::wcsncpy(buffer, it->second.c_str(), static_cast<size_t>(capacity));
        return 0;
    }
    bool offerTexts = true;
};

class FakeApp : public kvIUnknownImp, public kvIApplication1 {
public:
    explicit FakeApp(FakeResources* r) : m_r(r) {}
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIApplication1>(this, name); }
    int getResourceManager(kvIUnknown** out) override
    {
        *out = m_r ? m_r->queryInterface(L"kvIResourceMgr1") : nullptr;
        return *out ? 0 : -1;
    }

private:
    FakeResources* m_r;
};

} // namespace

TEST(MessageEntry, DefaultTextAndLanguageLookup)
{
    kvCMsgEnt plain(L"twFTMain.loc|FeatAnalyseWarn|Analyse cannot start in transparent mode");
    EXPECT_EQ(plain.getEntry(nullptr), kvCString(L"Analyse cannot start in transparent mode"));
    EXPECT_EQ(plain.file(), kvCString(L"twFTMain.loc"));
    EXPECT_EQ(plain.key(), kvCString(L"FeatAnalyseWarn"));

    // The default is everything after the second bar, bars included.
    EXPECT_EQ(kvCMsgEnt(L"f.loc|k|a|b").getEntry(nullptr), kvCString(L"a|b"));
    EXPECT_EQ(kvCMsgEnt(L"f.loc|k|").getEntry(nullptr), kvCString(L""));
    EXPECT_EQ(kvCMsgEnt(L"just a text").getEntry(nullptr), kvCString(L"just a text"));
    EXPECT_EQ(kvCMsgEnt(nullptr).getEntry(nullptr), kvCString(L""));

    auto* resources = new kvIfImp<FakeResources>();
    resources->addRef();
    resources->texts[L"twUiCyc.loc|AnaRad"] = L"Radiusanalyse";
    auto* app = new kvIfImp<FakeApp>(resources);
    app->addRef();
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaRad|Radius analyse").getEntry(app), kvCString(L"Radiusanalyse"));
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaPlane|Plane analyse").getEntry(app), kvCString(L"Plane analyse"));
    resources->offerTexts = false;
    EXPECT_EQ(kvCMsgEnt(L"twUiCyc.loc|AnaRad|Radius analyse").getEntry(app), kvCString(L"Radius analyse"));
    // Every reference taken during the lookups was given back.
    EXPECT_EQ(resources->refCount(), 1);
    app->release();
    resources->release();
}

TEST(ResourceScope, NestedScopesRestoreTheModuleBefore)
{
    HINSTANCE outer = reinterpret_cast<HINSTANCE>(0x1000);
    HINSTANCE inner = reinterpret_cast<HINSTANCE>(0x2000);
    HINSTANCE before = AfxGetResourceHandle();
    {
        kvCResourceCntxt a(outer);
        EXPECT_EQ(AfxGetResourceHandle(), outer);
        {
            kvCResourceCntxt b(inner);
            EXPECT_EQ(AfxGetResourceHandle(), inner);
            EXPECT_EQ(b.previous(), outer);
        }
        EXPECT_EQ(AfxGetResourceHandle(), outer);
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
}

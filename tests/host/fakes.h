// Small host objects for driving the module's start-up code directly. They
// count references without ever deleting (a test owns each one, hence the
// count starts at 1) and record the calls the tests look at.
#pragma once

#include "host/kvExports.h"
#include "sdk/kvUnknownImp.h"

#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace fake {

struct Counted {
    int refs = 1;
    int deaths = 0;              // times the count reached 0: a real object would be gone
    int releasesAfterDeath = 0;  // releases of an object already at 0
};

// A counted object offering the interfaces Itfs (the first one answers "kvIUnknown").
template <class... Itfs>
struct Object : Itfs..., Counted {
    bool addRef() override { return ++refs > 0; }
    bool release() override
    {
        if (refs <= 0)
            return ++releasesAfterDeath, false;
        deaths += --refs == 0;
        return true;
    }
    kvIUnknown* queryInterface(const wchar_t* n) override
    {
        for (const wchar_t* name : withdrawn)
            if (n && std::wcscmp(n, name) == 0)
                return nullptr;
        return kvQueryInterfaces<Itfs...>(this, n);
    }
    std::vector<const wchar_t*> withdrawn;  // interfaces the object no longer answers
};

// The module's lock count, left as it was.
inline int lockCount()
{
    const int count = lockModule() - 1;
    unlockModule();
    return count;
}

template <class Itf>
int handOut(Itf* object, kvIUnknown** out)
{
    *out = object;
    if (object)
        object->addRef();
    return object ? 0 : -1;
}

struct Box {
    int kind;
    std::wstring text;
    int flags;
};

struct Application : Object<kvIApplication1, kvITarnwellApp1> {
    int getResourceManager(kvIUnknown** out) override { return handOut(resources, out); }
    int messageBox(int kind, const wchar_t* text, int flags) override
    {
        boxes.push_back({kind, text ? text : L"", flags});
        return 1;
    }
    kvIUnknown* resources = nullptr;
    std::vector<Box> boxes;
};

struct ResourceManager : Object<kvIResourceMgr1, kvIResourceMgr2> {
    int loadModule(const wchar_t* file, HMODULE* module) override
    {
        loads.push_back(file);
        auto it = files.find(file);
        *module = it == files.end() ? nullptr : it->second;
        return *module ? 0 : -1;
    }
    int freeModule(HMODULE module) override
    {
        frees.push_back(module);
        return 0;
    }
    int getLanguageName(wchar_t* buffer, int capacity) override
    {
        std::wcsncpy(buffer, language.c_str(), static_cast<std::size_t>(capacity) - 1);
        return 0;
    }
    std::wstring language = L"English";
    std::map<std::wstring, HMODULE> files;
    std::vector<std::wstring> loads;
    std::vector<HMODULE> frees;
};

struct BaseDocument : Object<kvIBaseDocument1, kvIBaseDocWithAnalyseShowMode> {
    int setAnalyseShowMode(int mode) override
    {
        showModes.push_back(mode);
        return 0;
    }
    int isTransparentMode() override { return transparent ? 1 : 0; }
    bool transparent = false;
    std::vector<int> showModes;
};

struct AppDocument : Object<kvIAppDocument1> {
    kvIUnknown* queryInterface(const wchar_t* n) override
    {
        if (model && n && std::wcscmp(n, L"kvITarnwellModel1") == 0)
            return model->queryInterface(n);
        return Object::queryInterface(n);
    }
    int getBaseDocument(kvIUnknown** out) override { return handOut(baseDocument, out); }
    int getDataSet(const wchar_t*, kvIUnknown** out) override { return handOut(settings, out); }
    int registerWindow(const wchar_t* name, CWnd* window) override
    {
        ++registerCalls;
        if (failRegistration)
            throw false;
        windows[name] = window;
        return 0;
    }
    int unregisterWindow(CWnd* window) override
    {
        for (auto it = windows.begin(); it != windows.end();)
            it = it->second == window ? windows.erase(it) : std::next(it);
        return 0;
    }
    int findWindow(const wchar_t* name, CWnd** window) override
    {
        ++findCalls;
        auto it = windows.find(name);
        *window = it == windows.end() ? nullptr : it->second;
        return *window ? 0 : -1;
    }
    kvIBaseDocument1* baseDocument = nullptr;
    kvITarnwellModel1* model = nullptr;
    kvIDataSet1* settings = nullptr;
    bool failRegistration = false;
    int registerCalls = 0;
    int findCalls = 0;
    std::map<std::wstring, CWnd*> windows;
};

struct BaseSystem : Object<kvIBaseSystem1> {
    int getMainWindow(HWND* window) override
    {
        *window = nullptr;
        return 0;
    }
};

struct ExecContext : Object<kvIAppExecContext1> {
    int getApplication(kvIUnknown** out) override { return handOut(application, out); }
    int getBaseSystem(kvIUnknown** out) override
    {
        ++baseSystemCalls;
        return handOut(baseSystem, out);
    }
    int getAppDocument(kvIUnknown** out) override { return handOut(document, out); }
    int getBaseDocument(kvIUnknown** out) override { return handOut(baseDocument, out); }
    int getHelpContext(kvIUnknown** out) override { return handOut(help, out); }
    kvIApplication1* application = nullptr;
    kvIBaseSystem1* baseSystem = nullptr;
    kvIAppDocument1* document = nullptr;
    kvIBaseDocument1* baseDocument = nullptr;
    kvIHelpContext1* help = nullptr;
    int baseSystemCalls = 0;
};

// A complete host around one document; tests take parts away.
struct Host {
    Application application;
    BaseDocument baseDocument;
    Object<kvITarnwellModel1> model;
    AppDocument document;
    BaseSystem baseSystem;
    Object<kvIDataSet1> settings;
    Object<kvIHelpContext1> help;
    ExecContext context;

    Host()
    {
        document.baseDocument = &baseDocument;
        document.model = &model;
        document.settings = &settings;
        context.application = &application;
        context.baseSystem = &baseSystem;
        context.document = &document;
        context.baseDocument = &baseDocument;
        context.help = &help;
    }
    // Every object back at the test's own single reference.
    bool balanced() const
    {
        for (const Counted* c : std::vector<const Counted*>{&application, &baseDocument, &model, &document, &baseSystem,
                                                            &settings, &help, &context})
            if (c->refs != 1 || c->releasesAfterDeath != 0)
                return false;
        return true;
    }
};

} // namespace fake

// Small host objects for driving the module's start-up code directly. Each
// counts its references for real and records the calls the tests look at.
#pragma once

#include "sdk/kvUnknownImp.h"

#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace fake {

// A reference count that never deletes: at 0 the object only notes that it
// would have died, so a test can tell a premature release from a clean one.
// The count starts at 1, the reference of the test that owns the object.
template <class Self>
class Counted {
public:
    int refs = 1;
    bool died = false;
    int releasesAfterDeath = 0;

    bool countAdd()
    {
        ++refs;
        return true;
    }
    bool countRelease()
    {
        if (died) {
            ++releasesAfterDeath;
            return false;
        }
        if (--refs == 0)
            died = true;
        return true;
    }
};

#define FAKE_COUNTING                                    \
    bool addRef() override { return countAdd(); }        \
    bool release() override { return countRelease(); }

struct MessageBoxCall {
    int kind;
    std::wstring text;
    int flags;
};

class Application : public kvIApplication1, public kvITarnwellApp1, public Counted<Application> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIApplication1, kvITarnwellApp1>(this, name);
    }
    int getResourceManager(kvIUnknown** manager) override
    {
        *manager = resources;
        if (resources)
            resources->addRef();
        return resources ? 0 : -1;
    }
    int messageBox(int kind, const wchar_t* text, int flags) override
    {
        boxes.push_back({kind, text ? text : L"", flags});
        return 1;
    }

    kvIUnknown* resources = nullptr;
    std::vector<MessageBoxCall> boxes;
};

class ResourceManager : public kvIResourceMgr1, public kvIResourceMgr2, public Counted<ResourceManager> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!offersLanguage)
            return kvQueryInterfaces<kvIResourceMgr1>(this, name);
        return kvQueryInterfaces<kvIResourceMgr1, kvIResourceMgr2>(this, name);
    }
    int loadModule(const wchar_t* fileName, HMODULE* module) override
    {
        loads.push_back(fileName);
        *module = nullptr;
        auto it = files.find(fileName);
        if (it == files.end())
            return -1;
        *module = it->second;
        return 0;
    }
    int freeModule(HMODULE module) override
    {
        frees.push_back(module);
        return 0;
    }
    int getLanguageName(wchar_t* buffer, int capacity) override
    {
        std::wcsncpy(buffer, language.c_str(), static_cast<std::size_t>(capacity));
        buffer[capacity - 1] = L'\0';
        return 0;
    }

    bool offersLanguage = true;
    std::wstring language = L"English";
    std::map<std::wstring, HMODULE> files;
    std::vector<std::wstring> loads;
    std::vector<HMODULE> frees;
};

class BaseDocument : public kvIBaseDocument1, public kvIBaseDocWithAnalyseShowMode, public Counted<BaseDocument> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!offersShowMode)
            return kvQueryInterfaces<kvIBaseDocument1>(this, name);
        return kvQueryInterfaces<kvIBaseDocument1, kvIBaseDocWithAnalyseShowMode>(this, name);
    }
    int setAnalyseShowMode(int mode) override
    {
        showModes.push_back(mode);
        return 0;
    }
    int isTransparentMode() override { return transparent ? 1 : 0; }

    bool offersShowMode = true;
    bool transparent = false;
    std::vector<int> showModes;
};

class Model : public kvITarnwellModel1, public Counted<Model> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvITarnwellModel1>(this, name); }
};

class DataSet : public kvIDataSet1, public Counted<DataSet> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIDataSet1>(this, name); }
};

class HelpContext : public kvIHelpContext1, public Counted<HelpContext> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIHelpContext1>(this, name); }
};

class AppDocument : public kvIAppDocument1, public Counted<AppDocument> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (model && name && std::wcscmp(name, L"kvITarnwellModel1") == 0)
            return model->queryInterface(name);
        return kvQueryInterfaces<kvIAppDocument1>(this, name);
    }
    int getBaseDocument(kvIUnknown** document) override
    {
        *document = baseDocument;
        if (baseDocument)
            baseDocument->addRef();
        return 0;
    }
    int getDataSet(const wchar_t* name, kvIUnknown** dataSet) override
    {
        *dataSet = nullptr;
        if (!settings || std::wcscmp(name, L"Feedbacks") != 0)
            return -1;
        *dataSet = settings;
        settings->addRef();
        return 0;
    }
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
        for (auto it = windows.begin(); it != windows.end();) {
            if (it->second == window)
                it = windows.erase(it);
            else
                ++it;
        }
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

class BaseSystem : public kvIBaseSystem1, public Counted<BaseSystem> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIBaseSystem1>(this, name); }
    int getMainWindow(HWND* window) override
    {
        *window = mainWindow;
        return 0;
    }
    HWND mainWindow = nullptr;
};

class ExecContext : public kvIAppExecContext1, public Counted<ExecContext> {
public:
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIAppExecContext1>(this, name); }
    int getApplication(kvIUnknown** out) override { return handOut(application, out); }
    int getBaseSystem(kvIUnknown** out) override { return handOut(baseSystem, out); }
    int getAppDocument(kvIUnknown** out) override { return handOut(document, out); }
    int getBaseDocument(kvIUnknown** out) override { return handOut(baseDocument, out); }
    int getHelpContext(kvIUnknown** out) override { return handOut(help, out); }

    kvIApplication1* application = nullptr;
    kvIBaseSystem1* baseSystem = nullptr;
    kvIAppDocument1* document = nullptr;
    kvIBaseDocument1* baseDocument = nullptr;
    kvIHelpContext1* help = nullptr;

private:
    static int handOut(kvIUnknown* object, kvIUnknown** out)
    {
        *out = object;
        if (object)
            object->addRef();
        return object ? 0 : -1;
    }
};

// A complete host around one document; parts can be left out per test.
struct Host {
    Application application;
    BaseDocument baseDocument;
    Model model;
    AppDocument document;
    BaseSystem baseSystem;
    DataSet settings;
    HelpContext help;
    ExecContext context;

    Host()
    {
        document.settings = &settings;
        context.help = &help;
        document.baseDocument = &baseDocument;
        document.model = &model;
        context.application = &application;
        context.baseSystem = &baseSystem;
        context.document = &document;
        context.baseDocument = &baseDocument;
    }
};

} // namespace fake

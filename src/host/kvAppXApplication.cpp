#include "host/kvAppXApplication.h"

#include "host/AnalyseStart.h"
#include "platform/atlbase.h"
#include "sdk/kvAssert.h"

#include <algorithm>
#include <cwchar>

namespace {

kvIApplication1* appXApplication = nullptr;

[[noreturn]] void fatalExit(const wchar_t* text)
{
    MessageBoxW(nullptr, text, L"Fatal Error", 0);
    ExitProcess(1);
}

struct LanguageFile {
    const wchar_t* language;
    const wchar_t* file;
};

// Tried in this order; the first equal name wins.
const LanguageFile kLanguageFiles[] = {
    {L"Chinese", L"kvLibRes_zhs.loc"},  {L"Chinese_trad", L"kvLibRes_zht.loc"},
    {L"Czech", L"kvLibRes_cs.loc"},     {L"Dutch", L"kvLibRes_ni.loc"},
    {L"English", L"kvLibRes_en.loc"},   {L"French", L"kvLibRes_fr.loc"},
    {L"German", L"kvLibRes_de.loc"},    {L"Italian", L"kvLibRes_it.loc"},
    {L"Japanese", L"kvLibRes_ja.loc"},  {L"Korean", L"kvLibRes_ko.loc"},
    {L"Polish", L"kvLibRes_pl.loc"},    {L"Spanish", L"kvLibRes_es.loc"},
};

const wchar_t* const kEnglishFile = L"kvLibRes_en.loc";

} // namespace

bool setAppXApplication(kvIApplication1* application)
{
    // Reference the new one first: when it is the one already held, releasing
    // first could destroy it before it is stored again.
    if (application)
        application->addRef();
    releaseAppXApplication();
    appXApplication = application;
    return appXApplication != nullptr;
}

bool releaseAppXApplication()
{
    kvIApplication1* old = appXApplication;
    appXApplication = nullptr;
    if (old)
        old->release();
    return true;
}

kvIfPtr<kvIApplication1> getAppXApplication()
{
    if (!appXApplication)
        fatalExit(L"Kova Vale Application-Extension not properly initialized:\n\n"
                  L"Missing Application-Pointer!\n\nProcess will be terminated!");
    // The pointer kept is the application's own kvIApplication1: it is handed
    // out with a reference added, without asking the host again.
    return kvIfPtr<kvIApplication1>(appXApplication);
}

kvIfPtr<kvIResourceMgr1> getAppXResourceManager()
{
    kvIfPtr<kvIResourceMgr1> manager;
    {
        kvIfPtr<kvIApplication1> application = getAppXApplication();
        application->getResourceManager(&manager);
    }
    if (manager.isNull())
        fatalExit(L"Kova Vale Application-Extension not properly initialized:\n\n"
                  L"Missing Resource-Manager\n\nProcess will be terminated!");
    return manager;
}

bool getApplicationPath(wchar_t* buffer, unsigned int capacity)
{
    // Without room for the terminator there is nothing to write safely.
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = L'\0';
    if (!kvAnalyseModuleInstance)
        kvAssertFail(L"\"Unable to retrieve the application-path\"", kvAnalyseStartUnit, 195);

    wchar_t path[260] = L"";
    GetModuleFileNameW(kvAnalyseModuleInstance, path, 260);
    path[259] = L'\0';

    std::size_t length = std::wcslen(path);
    while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/')
        --length;
    path[length] = L'\0';

    const std::size_t n = std::min<std::size_t>(length, capacity - 1);
    std::wmemcpy(buffer, path, n);
    buffer[n] = L'\0';
    buffer[capacity - 1] = L'\0';
    return buffer[0] != L'\0';
}

const wchar_t* kvLanguageResourceFile(const kvCString& languageName)
{
    for (const LanguageFile& row : kLanguageFiles) {
        if (languageName == kvCString(row.language))
            return row.file;
    }
    return kEnglishFile;
}

bool loadLanguageResources(kvIUnknown* resourceManager)
{
    kvIfPtr<kvIResourceMgr1> manager1(resourceManager);
    if (manager1 == nullptr)
        return false;
    kvIfPtr<kvIResourceMgr2> manager2(resourceManager);
    if (manager2 == nullptr)
        return false;

    wchar_t language[256] = L"";
    manager2->getLanguageName(language, 256);
    language[255] = L'\0';

    HMODULE english = nullptr;
    manager1->loadModule(kEnglishFile, &english);
    if (!english)
        return false;

    const kvCString languageName(language);
    const kvCString fileName(kvLanguageResourceFile(languageName));

    HMODULE chosen = nullptr;
    manager1->loadModule(fileName, &chosen);
    HMODULE use = chosen ? chosen : english;

    // The window-class library looks up its strings in these modules.
    const std::vector<HMODULE> modules = kvStringResourceModules();
    if (std::find(modules.begin(), modules.end(), use) == modules.end())
        ATL::atlBaseModule().AddResourceInstance(use);

    if (chosen && chosen != english)
        manager1->freeModule(english);
    return true;
}

std::vector<HMODULE> kvStringResourceModules()
{
    std::vector<HMODULE> modules;
    for (int i = 0; HINSTANCE module = ATL::atlBaseModule().GetHInstanceAt(i); ++i)
        modules.push_back(module);
    return modules;
}

// The simulator's host objects: the host side of the component interfaces the
// module calls. Each is reference counted for real (it dies with its last
// reference) and present in the census while it lives, so a reference the
// module keeps too long shows up at the end of the session.
//
// Objects are made with create(), which hands out the first reference; the
// caller gives it back with release(). The constructors are public only for
// kvIfImp, which completes each class.
#pragma once

#include "census.h"
#include "sdk/kvUnknownImp.h"

#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

class ResourceManager;

// kvIApplication1 (message boxes, resource manager) and kvITarnwellApp1.
class Application : public kvIUnknownImp, public kvIApplication1, public kvITarnwellApp1, public Counted {
public:
    static Application* create(std::ostream& out);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getResourceManager(kvIUnknown** manager) override;
    // Prints what the user would see; the answer comes from the queue, else 1
    // (the OK or Yes button).
    int messageBox(int kind, const wchar_t* text, int flags) override;

    void queueAnswer(int answer) { m_answers.push_back(answer); }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    ResourceManager& resources() { return *m_resources; }
    int messageBoxCount() const { return m_messageBoxes; }

    explicit Application(std::ostream& out);
    ~Application() override;

private:
    std::ostream& m_out;
    ResourceManager* m_resources;  // one reference held
    std::deque<int> m_answers;
    int m_messageBoxes = 0;
};

// kvIResourceMgr1 (language modules), kvIResourceMgr2 (language name) and the
// host's texts in the user's language (kvITextLookup1).
class ResourceManager : public kvIUnknownImp,
                        public kvIResourceMgr1,
                        public kvIResourceMgr2,
                        public kvITextLookup1,
                        public Counted {
public:
    static ResourceManager* create();

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int loadModule(const wchar_t* fileName, HMODULE* module) override;
    int freeModule(HMODULE module) override;
    int getLanguageName(wchar_t* buffer, int capacity) override;
    int lookupText(const wchar_t* file, const wchar_t* key, wchar_t* buffer, int capacity) override;

    void setLanguage(const std::wstring& name) { m_language = name; }
    const std::wstring& language() const { return m_language; }
    // Files loadModule answers; by default the language files of the host.
    void setAvailableFiles(std::vector<std::wstring> files) { m_available = std::move(files); }
    // File names of the modules loaded and not yet freed, in loading order.
    std::vector<std::wstring> loadedModules() const;

    ResourceManager();
    ~ResourceManager() override;

private:
    struct Loaded {
        std::wstring file;
    };
    std::wstring m_language = L"English";
    std::vector<std::wstring> m_available;
    std::vector<Loaded*> m_loaded;  // a module handle is the address of its record
};

// kvIBaseDocument1 with kvIBaseDocWithAnalyseShowMode.
class BaseDocument : public kvIUnknownImp,
                     public kvIBaseDocument1,
                     public kvIBaseDocWithAnalyseShowMode,
                     public Counted {
public:
    static BaseDocument* create();

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int setAnalyseShowMode(int mode) override;
    int isTransparentMode() override { return m_transparent ? 1 : 0; }

    void setTransparent(bool on) { m_transparent = on; }
    bool transparent() const { return m_transparent; }
    int analyseShowMode() const { return m_analyseShowMode; }

    BaseDocument();

private:
    bool m_transparent = false;
    int m_analyseShowMode = 0;
};

// kvITarnwellModel1: the model of the document.
class Model : public kvIUnknownImp, public kvITarnwellModel1, public Counted {
public:
    static Model* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;

    Model();
};

// kvIDataSet1: one named group of the host's settings (colours and numbers).
class DataSet : public kvIUnknownImp, public kvIDataSet1, public Counted {
public:
    static DataSet* create();
    kvIUnknown* queryInterface(const wchar_t* name) override;
    unsigned long getColor(const wchar_t* key) override;
    double getDouble(const wchar_t* key) override;

    void setColor(const std::wstring& key, unsigned long color) { m_colors[key] = color; }
    void setDouble(const std::wstring& key, double value) { m_doubles[key] = value; }

    DataSet();

private:
    std::map<std::wstring, unsigned long> m_colors;
    std::map<std::wstring, double> m_doubles;
};

// kvIHelpContext1: the host's help, which prints the page it would open.
class HelpContext : public kvIUnknownImp, public kvIHelpContext1, public Counted {
public:
    static HelpContext* create(std::ostream& out);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int clearContext() override;
    int setContext(const wchar_t* key) override;
    int showHelp() override;

    const std::wstring& context() const { return m_context; }

    explicit HelpContext(std::ostream& out);

private:
    std::ostream& m_out;
    std::wstring m_context;
};

// kvIAppDocument1: the document with its windows registered by name. The
// document also answers kvITarnwellModel1 with its model.
class AppDocument : public kvIUnknownImp, public kvIAppDocument1, public Counted {
public:
    static AppDocument* create(BaseDocument* baseDocument, Model* model);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getBaseDocument(kvIUnknown** document) override;
    int registerWindow(const wchar_t* name, CWnd* window) override;
    int unregisterWindow(CWnd* window) override;
    int findWindow(const wchar_t* name, CWnd** window) override;
    // Only the "Feedbacks" settings exist.
    int getDataSet(const wchar_t* name, kvIUnknown** dataSet) override;

    DataSet& feedbacks() { return *m_feedbacks; }

    // Registered windows by name, in name order.
    const std::map<std::wstring, CWnd*>& windows() const { return m_windows; }
    CWnd* window(const std::wstring& name) const;
    int registrations() const { return m_registrations; }

    AppDocument(BaseDocument* baseDocument, Model* model);
    ~AppDocument() override;

private:
    BaseDocument* m_baseDocument;  // one reference held
    Model* m_model;                // one reference held
    DataSet* m_feedbacks;          // one reference held
    std::map<std::wstring, CWnd*> m_windows;
    int m_registrations = 0;
};

// kvIBaseSystem1: the host's main window, a real window of the platform.
class BaseSystem : public kvIUnknownImp, public kvIBaseSystem1, public Counted {
public:
    static BaseSystem* create(HWND mainWindow);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getMainWindow(HWND* window) override;
    HWND mainWindow() const { return m_mainWindow; }

    explicit BaseSystem(HWND mainWindow);

private:
    HWND m_mainWindow;
};

// kvIAppExecContext1: what a command runs in. Any of its objects may be absent
// (a context without a base system, for instance).
class ExecContext : public kvIUnknownImp, public kvIAppExecContext1, public Counted {
public:
    static ExecContext* create(Application* application, BaseSystem* baseSystem, AppDocument* document,
                               BaseDocument* baseDocument, HelpContext* helpContext);

    kvIUnknown* queryInterface(const wchar_t* name) override;
    int getApplication(kvIUnknown** application) override;
    int getBaseSystem(kvIUnknown** baseSystem) override;
    int getAppDocument(kvIUnknown** document) override;
    int getBaseDocument(kvIUnknown** document) override;
    int getHelpContext(kvIUnknown** helpContext) override;

    ExecContext(Application* application, BaseSystem* baseSystem, AppDocument* document,
                BaseDocument* baseDocument, HelpContext* helpContext);
    ~ExecContext() override;

private:
    Application* m_application;
    BaseSystem* m_baseSystem;
    AppDocument* m_document;
    BaseDocument* m_baseDocument;
    HelpContext* m_helpContext;
};

} // namespace hostsim

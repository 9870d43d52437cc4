// One run of the host simulator: the loaded module, the host's objects and
// the output the user would see. Script commands (script.h) act on it.
#pragma once

#include "host/kvExports.h"
#include "host_objects.h"
#include "script.h"
#include "view.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace hostsim {

// The name under which the analysis window registers itself.
extern const wchar_t* const kAnalysisWindowName;

class Session {
public:
    explicit Session(std::ostream& out);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Loads the module, builds the host's objects and initialises the
    // module's application extension with the application. False (with the
    // reason on err) when any of that fails.
    bool start(const std::string& modulePath, std::ostream& err);
    bool start(const std::string& modulePath);

    // Ends the session as a host closing its document would: closes the
    // windows still registered, tells the extension to exit, gives back the
    // host's own references, unloads the module when it allows it, and
    // reports the host objects still alive. Returns how many are.
    int finish();

    // Sends a command to the module's application extension in the session's
    // execution context; exceptions of the module pass through.
    bool execCommand(const wchar_t* command);
    // Starts an analysis as the job dialog does: through the module's analysis
    // connection, with first as the first parameter (a job definition).
    int startAnalyseWith(kvIUnknown* first);
    // The same with a job the host made for the call and only lends: its
    // reference is given back however the start ends; the window keeps what
    // it needs.
    int startAnalyseLending(JobDefinition* job);

    // The module lock count, read through the module's own exports.
    int lockCount() const;
    bool canUnload() const;

    // The host's message loop running dry between two inputs: posted
    // messages are dispatched and the platform does its idle work.
    void idle();

    // Work for the end of the session, done after the registered windows are
    // closed and before the module may unload: a command that keeps windows
    // of the module's controls closes them there, as a host closes its
    // windows before it lets an extension go.
    void atFinish(std::function<void()> action) { m_atFinish.push_back(std::move(action)); }

    std::ostream& out() { return m_out; }
    bool started() const { return m_appX != nullptr; }
    void requestQuit() { m_quit = true; }
    bool quitRequested() const { return m_quit; }

    // The host's objects; each throws ScriptError before start and after finish.
    Application& application() { return *need(m_application); }
    ResourceManager& resources() { return need(m_application)->resources(); }
    AppDocument& document() { return *need(m_document); }
    BaseDocument& baseDocument() { return *need(m_baseDocument); }
    Model& model() { return *need(m_model); }
    ExecContext& context() { return *need(m_context); }
    HWND mainWindow() const { return m_mainWindow; }
    void* moduleHandle() const { return m_module; }

private:
    template <class Object>
    static Object* need(Object* object)
    {
        if (!object) throw ScriptError("no host session running");
        return object;
    }
    void closeRegisteredWindows();
    void releaseHostObjects();

    std::ostream& m_out;
    bool m_quit = false;
    bool m_finished = false;
    std::vector<std::function<void()>> m_atFinish;

    void* m_module = nullptr;
    kvPfnLockModule m_lockModule = nullptr;
    kvPfnUnlockModule m_unlockModule = nullptr;
    kvPfnCanUnload m_canUnload = nullptr;
    kvIAppExtension1* m_appX = nullptr;

    HWND m_mainWindow = nullptr;
    Application* m_application = nullptr;
    BaseDocument* m_baseDocument = nullptr;
    Model* m_model = nullptr;
    AppDocument* m_document = nullptr;
    BaseSystem* m_baseSystem = nullptr;
    HelpContext* m_helpContext = nullptr;
    ExecContext* m_context = nullptr;
    // Installed while the session runs; the part's faces are the model's.
    FaceLibrary m_faceLibrary;
    void (*m_previousAssertSink)(const wchar_t*) = nullptr;
};

} // namespace hostsim

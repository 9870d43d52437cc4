#include "session.h"

#include "face_selection.h"

#include "script.h"
#include "text.h"

#include "platform/afx.h"
#include "platform/kvPlatform.h"
#include "host/object/kvArray.h"
#include "sdk/kvAssert.h"

#include <iostream>

namespace hostsim {

const wchar_t* const kAnalysisWindowName = L"kvCAnalyseDlg";

namespace {

const wchar_t* const kMainWindowClass = L"HostSimMainWindow";

HWND createMainWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = kMainWindowClass;
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, kMainWindowClass, L"Tarnwell", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280,
                           1024, nullptr, nullptr, nullptr, nullptr);
}

template <class Function>
Function lookUp(void* module, const char* name)
{
    // Through void*: the export's real type is not the loader's generic one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)));
}

// The loader's reason for a failed load, in words.
std::string loadFailure(DWORD error)
{
    switch (error) {
    case ERROR_BAD_EXE_FORMAT: return "not a complete module file";
    case ERROR_DLL_INIT_FAILED: return "the module's entry point refused to start";
    case ERROR_FILE_NOT_FOUND: return "no such module file, or one that cannot be loaded";
    default: return "error " + std::to_string(error);
    }
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The maker's library reports a failed assertion to the user; the simulator
// prints which one (the expression, the text's second line).
std::ostream* assertionOut = nullptr;

void printAssertion(const wchar_t* text)
{
    if (!assertionOut || !text) return;
    std::wstring t(text);
    const std::size_t first = t.find(L'\n');
    const std::size_t second = first == std::wstring::npos ? std::wstring::npos : t.find(L'\n', first + 1);
    const std::wstring expression =
        first == std::wstring::npos ? t : t.substr(first + 1, second == std::wstring::npos ? second : second - first - 1);
    *assertionOut << "[assertion failed] " << toUtf8(expression) << '\n';
}

template <class Object>
void dropReference(Object*& object)
{
    Object* old = object;
    object = nullptr;
    if (old) old->_relRef();
}

} // namespace

Session::Session(std::ostream& out) : m_out(out) {}

Session::~Session()
{
    if (!m_finished) finish();
}

bool Session::start(const std::string& modulePath) { return start(modulePath, std::cerr); }

bool Session::start(const std::string& modulePath, std::ostream& err)
{
    // An empty name would give the running program itself.
    if (modulePath.empty()) {
        err << "hostsim: no module file given\n";
        return false;
    }
    // Through the platform's loader, which checks the file and runs the
    // module's entry point, as the host's own loader would.
    m_module = LoadLibraryW(fromUtf8(modulePath).c_str());
    if (!m_module) {
        err << "hostsim: cannot load " << escapeText(modulePath) << ": " << loadFailure(GetLastError()) << '\n';
        return false;
    }
    m_lockModule = lookUp<kvPfnLockModule>(m_module, "lockModule");
    m_unlockModule = lookUp<kvPfnUnlockModule>(m_module, "unlockModule");
    m_canUnload = lookUp<kvPfnCanUnload>(m_module, "canUnload");
    auto getAppX = lookUp<kvPfnAppXGetAppX>(m_module, "kvAppXGetAppX");
    if (!m_lockModule || !m_unlockModule || !m_canUnload || !getAppX ||
        !lookUp<kvPfnGetAnalyseConnection>(m_module, "getAnalyseConnection")) {
        err << "hostsim: " << escapeText(modulePath) << " is not an application extension (exports missing)\n";
        FreeLibrary(static_cast<HMODULE>(m_module));
        m_module = nullptr;
        m_lockModule = nullptr;
        m_unlockModule = nullptr;
        m_canUnload = nullptr;
        return false;
    }

    m_mainWindow = createMainWindow();
    m_application = Application::create(m_out);
    // The collision library the host installs beside the module.
    m_application->resources().setLibrary(L"kvCdTree.dll", KV_CDTREE_PATH);
    m_baseDocument = BaseDocument::create(m_out);
    m_model = Model::create();
    m_document = AppDocument::create(m_baseDocument, m_model);
    // A host's document always has a selection, empty or not.
    documentSelection(*this);
    m_baseSystem = BaseSystem::create(m_mainWindow);
    m_helpContext = HelpContext::create(m_out);
    m_context = ExecContext::create(m_application, m_baseSystem, m_document, m_baseDocument, m_helpContext);

    kvIAppExtension1* appX = nullptr;
    if (!getAppX(&appX) || !appX) {
        err << "hostsim: the module hands out no application extension\n";
        return false;
    }
    if (!appX->init(m_application)) {
        err << "hostsim: the application extension refused to initialise\n";
        return false;
    }
    m_appX = appX;
    kvSetFeatureHelpProvider(&m_faceLibrary);
    assertionOut = &m_out;
    m_previousAssertSink = kvSetAssertSink(&printAssertion);
    m_out << "module loaded: " << baseName(modulePath) << '\n';
    return true;
}

bool Session::execCommand(const wchar_t* command)
{
    if (!m_appX) throw ScriptError("no module loaded");
    return m_appX->execCommand(command, m_context);
}

int Session::startAnalyseWith(kvIUnknown* first)
{
    if (!m_appX) throw ScriptError("no module loaded");
    auto getConnection = lookUp<kvPfnGetAnalyseConnection>(m_module, "getAnalyseConnection");
    kvIUnknown* unknown = nullptr;
    getConnection(static_cast<kvIApplication1*>(m_application), &unknown);
    if (!unknown) throw ScriptError("the module hands out no analysis connection");
    kvIUnknown* found = unknown->queryInterface(kvIfName<kvITwAnalyseConnection>::value);
    unknown->release();
    if (!found) throw ScriptError("the analysis connection lacks its interface");
    kvITwAnalyseConnection* connection = static_cast<kvITwAnalyseConnection*>(found);
    kvTArray<kvIUnknown*> params(1);
    params.append(first);
    int result = 0;
    try {
        result = connection->startAnalyse(&params, m_context);
    } catch (...) {
        connection->release();
        throw;
    }
    connection->release();
    return result;
}

int Session::startAnalyseLending(JobDefinition* job)
{
    int result = 0;
    try {
        result = startAnalyseWith(static_cast<kvITwCycleJobDef1*>(job));
    } catch (...) {
        job->_relRef();
        throw;
    }
    job->_relRef();
    return result;
}

void Session::idle() { kvplat::pumpMessages(); }

int Session::lockCount() const
{
    if (!m_lockModule || !m_unlockModule) return 0;
    // The exports only report the count as the result of a change; a lock
    // taken and given straight back leaves it as it was.
    const int count = m_lockModule() - 1;
    m_unlockModule();
    return count;
}

bool Session::canUnload() const { return m_canUnload && m_canUnload(); }

void Session::closeRegisteredWindows()
{
    if (!m_document) return;
    // Copy first: closing a window takes it off the document's list.
    const auto windows = m_document->windows();
    for (const auto& entry : windows) {
        CWnd* window = entry.second;
        const HWND hwnd = window ? window->GetSafeHwnd() : nullptr;
        if (hwnd && IsWindow(hwnd)) {
            // As the user closing it: the window's own close handling runs.
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
        }
        const bool stillRegistered = m_document->window(entry.first) != nullptr;
        m_out << "window \"" << toUtf8(entry.first) << "\" closed"
              << (stillRegistered ? " but still registered" : "") << '\n';
    }
}

void Session::releaseHostObjects()
{
    dropReference(m_context);
    dropReference(m_helpContext);
    dropReference(m_baseSystem);
    dropReference(m_document);
    dropReference(m_model);
    dropReference(m_baseDocument);
    dropReference(m_application);
}

int Session::finish()
{
    if (m_finished) return Census::totalAlive();
    m_finished = true;

    closeRegisteredWindows();
    const auto atFinish = std::move(m_atFinish);
    for (const auto& action : atFinish) action();
    if (kvGetFeatureHelpProvider() == &m_faceLibrary) kvSetFeatureHelpProvider(nullptr);
    if (m_appX) {
        m_appX->exit();
        m_appX = nullptr;
    }
    releaseHostObjects();
    if (m_mainWindow) {
        DestroyWindow(m_mainWindow);
        m_mainWindow = nullptr;
    }

    if (m_module) {
        m_out << "module lock count at exit: " << lockCount() << '\n';
        // A module that still holds locks stays loaded, as a host would keep it.
        if (canUnload()) FreeLibrary(static_cast<HMODULE>(m_module));
        m_module = nullptr;
        m_lockModule = nullptr;
        m_unlockModule = nullptr;
        m_canUnload = nullptr;
    }

    const auto alive = Census::alive();
    const int total = Census::totalAlive();
    if (total == 0) {
        m_out << "host objects alive at exit: none\n";
    } else {
        m_out << "host objects alive at exit: " << total << '\n';
        for (const auto& entry : alive) m_out << "  " << entry.first << ": " << entry.second << '\n';
    }
    m_out.flush();
    if (assertionOut == &m_out) {
        kvSetAssertSink(m_previousAssertSink);
        assertionOut = nullptr;
    }
    return total;
}

} // namespace hostsim

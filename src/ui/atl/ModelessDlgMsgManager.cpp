#include "ui/atl/ModelessDlgMsgManager.h"

#include "platform/kvPlatform.h"

#include <algorithm>
#include <cwchar>

namespace kv {
namespace ui {
namespace atl {

namespace {

// The manager's lock: made when the module starts, gone when it ends.
struct ManagerLock {
    ManagerLock() { InitializeCriticalSection(&section); }
    ~ManagerLock() { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

ManagerLock g_lock;

class Locked {
public:
    Locked() { EnterCriticalSection(&g_lock.section); }
    ~Locked() { LeaveCriticalSection(&g_lock.section); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

ModelessDlgMsgManager* volatile g_instance = nullptr;

// EnumWindows callback: is the first top-level window offered a menu window?
BOOL CALLBACK firstWindowIsMenu(HWND hwnd, LPARAM lParam)
{
    wchar_t name[16] = {0};
    GetClassNameW(hwnd, name, 16);
    *reinterpret_cast<bool*>(lParam) = std::wcsncmp(name, L"#32768", 6) == 0;
    return FALSE;  // only the first window counts
}

// The module instance: the module that holds the hook procedure.
HINSTANCE libraryModule()
{
    return kvplat::moduleFromAddress(reinterpret_cast<const void*>(&ModelessDlgMsgManager::hookProc));
}

} // namespace

// ---------------------------------------------------------------- thread dialogs

ModelessDlgMsgManager::ThreadDialogs::~ThreadDialogs()
{
    if (hook)
        UnhookWindowsHookEx(hook);
}

bool ModelessDlgMsgManager::ThreadDialogs::insert(HWND dialog)
{
    if (!dialog)
        return false;
    auto at = std::lower_bound(windows.begin(), windows.end(), dialog);
    if (at != windows.end() && *at == dialog)
        return false;
    windows.insert(at, dialog);
    if (!hook && installHook)
        hook = SetWindowsHookExW(WH_GETMESSAGE, &ModelessDlgMsgManager::hookProc, libraryModule(),
                                 GetCurrentThreadId());
    return true;
}

bool ModelessDlgMsgManager::ThreadDialogs::remove(HWND dialog)
{
    auto at = std::lower_bound(windows.begin(), windows.end(), dialog);
    if (at == windows.end() || *at != dialog)
        return false;
    windows.erase(at);
    if (windows.empty() && hook && UnhookWindowsHookEx(hook))
        hook = nullptr;
    return true;
}

bool ModelessDlgMsgManager::ThreadDialogs::contains(HWND window) const
{
    auto at = std::lower_bound(windows.begin(), windows.end(), window);
    return at != windows.end() && *at == window;
}

// ---------------------------------------------------------------- manager

ModelessDlgMsgManager::ModelessDlgMsgManager() = default;

ModelessDlgMsgManager& ModelessDlgMsgManager::instance()
{
    if (!g_instance) {
        Locked lock;
        if (!g_instance) {
            // Lives until the module unloads, as the hooks it may still hold.
            static boost::shared_ptr<ModelessDlgMsgManager> owner(new ModelessDlgMsgManager());
            g_instance = owner.get();
        }
    }
    return *g_instance;
}

ModelessDlgMsgManager::ThreadRecord* ModelessDlgMsgManager::findRecord(DWORD threadId)
{
    for (auto& r : m_threads)
        if (r.threadId == threadId)
            return &r;
    return nullptr;
}

void ModelessDlgMsgManager::eraseRecord(DWORD threadId)
{
    m_threads.erase(std::remove_if(m_threads.begin(), m_threads.end(),
                                   [threadId](const ThreadRecord& r) { return r.threadId == threadId; }),
                    m_threads.end());
}

bool ModelessDlgMsgManager::addDialog(HWND dialog)
{
    if (!IsWindow(dialog))
        return false;
    Locked lock;
    const DWORD thread = GetCurrentThreadId();
    ThreadRecord* record = findRecord(thread);
    if (!record) {
        m_threads.push_back(ThreadRecord{thread, true, boost::shared_ptr<ThreadDialogs>(new ThreadDialogs())});
        record = &m_threads.back();
    }
    const bool added = record->dialogs->insert(dialog);
    if (!added && record->autoRemove && record->dialogs->windows.empty())
        eraseRecord(thread);
    return added;
}

bool ModelessDlgMsgManager::removeDialog(HWND dialog)
{
    Locked lock;
    const DWORD thread = GetCurrentThreadId();
    ThreadRecord* record = findRecord(thread);
    if (!record)
        return false;
    const bool removed = record->dialogs->remove(dialog);
    if (record->autoRemove && record->dialogs->windows.empty())
        eraseRecord(thread);
    return removed;
}

boost::shared_ptr<ModelessDlgMsgManager::ThreadDialogs> ModelessDlgMsgManager::threadDialogs()
{
    Locked lock;
    ThreadRecord* record = findRecord(GetCurrentThreadId());
    return record ? record->dialogs : boost::shared_ptr<ThreadDialogs>();
}

size_t ModelessDlgMsgManager::threadCount()
{
    Locked lock;
    return m_threads.size();
}

LRESULT CALLBACK ModelessDlgMsgManager::hookProc(int code, WPARAM wParam, LPARAM lParam)
{
    // The list is held by a shared pointer: a record removed meanwhile keeps
    // it alive until this call ends.
    boost::shared_ptr<ThreadDialogs> dialogs = instance().threadDialogs();
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (dialogs && code >= 0 && msg && route(*dialogs, wParam, *msg)) {
        msg->hwnd = nullptr;
        msg->message = WM_NULL;
        msg->wParam = 0;
        msg->lParam = 0;
    }
    return CallNextHookEx(dialogs ? dialogs->hook : nullptr, code, wParam, lParam);
}

bool ModelessDlgMsgManager::route(ThreadDialogs& dialogs, WPARAM wParam, MSG& msg)
{
    if (wParam != PM_REMOVE || dialogs.windows.empty())
        return false;
    if (msg.message == WM_DESTROY) {
        dialogs.remove(msg.hwnd);
        return false;
    }
    const bool keyboard = msg.message >= WM_KEYFIRST && msg.message <= 0x108;
    const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
    if (!keyboard && !(mouse && !GetCapture()))
        return false;
    bool menuOpen = false;
    EnumWindows(&firstWindowIsMenu, reinterpret_cast<LPARAM>(&menuOpen));
    if (menuOpen)
        return false;
    HWND window = msg.hwnd;
    if (!window)
        return false;
    while (!dialogs.contains(window)) {
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
            return false;
        window = GetParent(window);
        if (!window)
            return false;
    }
    return IsDialogMessageW(window, &msg) == 1;
}

} // namespace atl
} // namespace ui
} // namespace kv

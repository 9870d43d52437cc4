// Keyboard handling for modeless dialogs. The host's message loop does not
// know the library's modeless dialogs, so Tab, arrows, Enter, Escape and
// mnemonics would not work in them. A dialog registers its window here; the
// manager hooks the thread's message retrieval (WH_GETMESSAGE) and hands
// keyboard and mouse messages meant for a registered dialog, or any child
// window inside it, to IsDialogMessageW. A message handled there is cleared,
// so the host's loop does not process it again.
#pragma once

#include "platform/windows.h"

#include <boost/shared_ptr.hpp>

#include <vector>

namespace kv {
namespace ui {
namespace atl {

class ModelessDlgMsgManager {
public:
    // The dialogs of one thread and the hook that serves them.
    struct ThreadDialogs {
        ThreadDialogs() : hook(nullptr), installHook(true) {}
        ~ThreadDialogs();
        HHOOK hook;
        bool installHook;
        std::vector<HWND> windows;  // sorted by handle value, no duplicates

        // Inserts at the sorted place; false for null or a window already held.
        bool insert(HWND dialog);
        // Removes; unhooks when the list becomes empty. False when absent.
        bool remove(HWND dialog);
        bool contains(HWND window) const;
    };

    static ModelessDlgMsgManager& instance();

    // Registers a dialog window for the calling thread; false for a handle
    // that is not a window or one registered already.
    bool addDialog(HWND dialog);
    bool removeDialog(HWND dialog);

    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);

    // Whether the message goes to a dialog's processing (and was handled there).
    static bool route(ThreadDialogs& dialogs, WPARAM wParam, MSG& msg);

    // The calling thread's list, or empty (for tests and diagnostics).
    boost::shared_ptr<ThreadDialogs> threadDialogs();
    size_t threadCount();

private:
    ModelessDlgMsgManager();
    struct ThreadRecord {
        DWORD threadId;
        bool autoRemove;
        boost::shared_ptr<ThreadDialogs> dialogs;
    };
    ThreadRecord* findRecord(DWORD threadId);
    void eraseRecord(DWORD threadId);

    std::vector<ThreadRecord> m_threads;
};

// A dialog's first message handler: registers the dialog on WM_INITDIALOG and
// unregisters it on WM_DESTROY, leaving both messages to the dialog's own
// handlers.
template <typename T>
class ModelessDlgExt {
public:
    BOOL processModelessMessage(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& result)
    {
        if (msg == WM_INITDIALOG) {
            ModelessDlgMsgManager::instance().addDialog(hwnd);
            result = 0;
        } else if (msg == WM_DESTROY) {
            ModelessDlgMsgManager::instance().removeDialog(hwnd);
            result = 0;
        }
        return FALSE;
    }
};

} // namespace atl
} // namespace ui
} // namespace kv

// Watches a window that an in-place editor created: every message of the
// window goes first to the editor's message map.
#pragma once

#include "ui/atl/ipe/Editor.h"

#include <vector>

namespace kv {
namespace ui {
namespace atl {
namespace ipe {

class WndObserver : public RefCountedObj, public ATL::CWindowImplBase {
public:
    // A new observer of the window for the editor, or null when the window
    // does not exist, no editor is given or the window cannot be subclassed.
    // The subclassing holds one reference until the window is gone.
    static WndObserver* observe(HWND window, Editor* editor, DWORD mapId);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void OnFinalMessage(HWND hwnd) override;

    // Gives every observer's window its own procedure back. An observer busy
    // with a message of its window lets go when that message ends.
    static void releaseAll(const std::vector<WndObserver*>& observers);

    Editor* editor() const { return m_editor.get(); }

protected:
    ~WndObserver() override;

private:
    WndObserver(Editor* editor, DWORD mapId);

    IntrusivePtr<Editor> m_editor;
    DWORD m_mapId;
};

} // namespace ipe
} // namespace atl
} // namespace ui
} // namespace kv

// The colour palette popup: a modeless dialog with the colour grid, a preview
// of the current colour and a button for more colours. At most one is open in
// the process; it deletes itself when its window is gone.
#pragma once

#include "platform/atl.h"
#include "ui/atl/ColorsCtrl.h"
#include "ui/atl/ModelessDlgMsgManager.h"

namespace kv {
namespace ui {
namespace atl {

class ColorButtonDlg : public ATL::CDialogImplBase, public ModelessDlgExt<ColorButtonDlg> {
public:
    explicit ColorButtonDlg(HWND owner);
    ~ColorButtonDlg() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;
    void OnFinalMessage(HWND hwnd) override;

    // The open popup of the process, or null.
    static ColorButtonDlg* open();
    static void setOpen(ColorButtonDlg* popup);

    void setColor(dv::ComColor color);
    dv::ComColor color() const { return m_color; }
    void setAnyColor(bool any);
    bool anyColor() const { return m_anyColor; }
    void setNotifyId(UINT id) { m_notifyId = id; }
    // The owner window, or the popup's parent when the owner is not a window.
    HWND owner() const;
    ColorsCtrl& grid() { return m_grid; }

    // Grows the popup to the grid's size and places it below its owner.
    void layout();
    void place();

private:
    void commit();
    void close(int result);

    HWND m_owner;
    UINT m_notifyId;
    bool m_anyColor;
    ColorsCtrl m_grid;
    HWND m_preview;
    HWND m_more;
    dv::ComColor m_color;
    bool m_closing;
};

} // namespace atl
} // namespace ui
} // namespace kv

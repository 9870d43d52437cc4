// A button window of the library's own (not a subclassed platform button)
// that behaves as the platform's button: the button messages, mouse and
// keyboard handling, focus, check and radio behaviour and the WM_COMMAND
// notifications to the parent. Derived buttons draw it and may replace the
// notifications.
#pragma once

#include "platform/atl.h"

#include <string>

namespace kv {
namespace ui {
namespace atl {

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN: added to the style
// of every control window the library makes.
const DWORD controlTraits = 0x56000000;

class PushButtonBase : public ATL::CWindowImplBase {
public:
    // The low four bits of the style at creation.
    enum Kind { pushButton = 0, defPushButton = 1, checkBox = 2, autoCheckBox = 3, radioButton = 4, autoRadioButton = 9 };

    PushButtonBase();
    ~PushButtonBase() override;

    // Creates the button window (class "kv::ui::atl::PushButtonBase" unless a
    // derived button names its own).
    HWND create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, UINT id);

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

    virtual void onClicked();
    virtual void onSetFocus();
    virtual void onKillFocus();
    virtual void onDoubleClicked();
    virtual void draw(HDC dc);

    unsigned kind() const { return m_kind; }
    const std::wstring& text() const { return m_text; }
    unsigned state() const { return m_state; }
    bool hot() const { return m_hot; }
    bool tracking() const { return m_tracking; }
    bool isDefault() const { return m_default; }
    bool isCheckKind() const { return m_kind == checkBox || m_kind == autoCheckBox; }
    bool isRadioKind() const { return m_kind == radioButton || m_kind == autoRadioButton; }
    bool isPushKind() const { return m_kind == pushButton || m_kind == defPushButton; }
    unsigned checkState() const { return m_state & 3; }

protected:
    virtual const wchar_t* windowClassName() const { return L"kv::ui::atl::PushButtonBase"; }
    void redraw();
    HFONT currentFont();
    // A press and release at the centre of the button, as a click by keyboard.
    void simulateClick();
    void applyClick();
    void setCheck(unsigned check);

private:
    LRESULT onCreate(LPARAM lParam);
    void onPaint(HDC given);
    void onMouseMove(LPARAM lParam);
    void onLButtonDown();
    void onLButtonUp(LPARAM lParam);
    void onKeyDown(WPARAM key);
    void onChar(WPARAM ch);
    void onSysKeyUp(WPARAM key);
    bool inside(LPARAM lParam) const;

    unsigned m_kind;
    std::wstring m_text;
    HFONT m_font;
    unsigned m_state;
    unsigned m_savedState;
    bool m_hot;
    bool m_tracking;
    bool m_trackChecked;  // tracking a press on a radio button that is checked already
    bool m_default;
    bool m_wantChar;
};

} // namespace atl
} // namespace ui
} // namespace kv

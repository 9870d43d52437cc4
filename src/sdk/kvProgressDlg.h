// The maker's modeless progress window: a title, a bar that runs over a
// number of items and a Cancel button with its own text. A window made to
// destroy itself deletes its object when its window goes.
#pragma once

#include "platform/afx.h"

#include <string>

class CProgressDlg : public CWnd {
public:
    CProgressDlg();
    ~CProgressDlg() override;

    // Creates and shows the window; false when it could not be created.
    BOOL DoModeless(CWnd* parent = nullptr);
    // Brings the window's texts and bar up to date.
    void UpdateUI();
    void closeOnCancel(bool close) { m_closeOnCancel = close; }
    void withMessages(bool pump) { m_withMessages = pump; }
    void selfDestruct(bool destroy) { m_selfDestruct = destroy; }
    void setCancelStr(const wchar_t* text) { m_cancelText = text ? text : L""; }
    void setTitleStr(const wchar_t* text) { m_title = text ? text : L""; }
    void setNOfItems(unsigned int count) { m_items = count; }
    void setProgress(unsigned int position) { m_position = position; }

    const std::wstring& title() const { return m_title; }
    const std::wstring& cancelText() const { return m_cancelText; }
    unsigned int items() const { return m_items; }
    unsigned int position() const { return m_position; }
    int updates() const { return m_updates; }
    // Progress windows alive now, over all callers.
    static int liveCount();

protected:
    void PostNcDestroy() override;

private:
    std::wstring m_title;
    std::wstring m_cancelText;
    unsigned int m_items = 0;
    unsigned int m_position = 0;
    int m_updates = 0;
    bool m_closeOnCancel = true;
    bool m_withMessages = true;
    bool m_selfDestruct = false;
};

// The panel of modes 1 and 2: the host's property control fills the panel and
// shows the categories of face information and the analysis frame.
#pragma once

#include "analyse/kvCAnalyseCtrl.h"
#include "sdk/kvDialog.h"
#include "sdk/kvPropertyCtrl.h"
#include "ui/atl/layout/DialogLayout.h"

class kvCAnalyseDlg;

class kvCSingleFaceSelDialog : public kvCDialog, public kvCAnalyseCtrl, public kvCTwPropertyCtrlBase {
public:
    enum { IDD = 24172 };

    kvCSingleFaceSelDialog();
    ~kvCSingleFaceSelDialog() override;

    // Remembers the parent as the owner, then creates the window.
    BOOL Create(UINT templateId, CWnd* parent = nullptr) override;
    using kvCDialog::Create;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void reInitialize() override;
    void getLocFile(kvCString& file, kvCString& section, kvCString& prefix) const override;
    // The empty key that every mode panel shares.
    kvCString helpContext() const override;
    const KVPROP_DLGMSGMAP* getMessageMap() const override;
    const KVPROP_STDCTRL* getStdCtrls() const override;

    void buildPropertyCtrl();
    void fillFaceInfo();

    kvCAnalyseDlg* owner() const { return m_owner; }

protected:
    void onFrameChanged(const wchar_t* name);

private:
    kvCAnalyseDlg* m_owner = nullptr;
    kv::ui::atl::layout::DialogLayout m_layout;

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;
};

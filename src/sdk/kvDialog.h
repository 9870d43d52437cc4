// The maker's dialog base: a modeless dialog window (CDialog) joined with the
// property interface kvCDlgBase that every property-driven dialog carries.
//
// A dialog declares its properties with defaults in reInitialize, and every
// change of the property set comes back as a property event (code, key) that
// propertyMessage dispatches through the dialog's static property-message map:
//
//   const KVPROP_DLGMSGMAP_ENTRY kvCMyDlg::sMsgEntries[] = {
//       KVPROP_DLGMSG_ENTRY(2, L"Key", &kvCMyDlg::onKey),
//       KVPROP_DLGMSG_ENTRY(2, nullptr, &kvCMyDlg::onAny),   // catch-all
//       KVPROP_DLGMSG_END()
//   };
//
// Standard controls (kvCStdOldStyleControl members bound to one property and
// one window control) are named by a second static table.
#pragma once

#include "platform/afx.h"
#include "host/object/kvIfPtr.h"
#include "sdk/kvString.h"

class kvCDlgBase;
class kvCPrPropertySet;
class kvCStdOldStyleControl;

// Property event codes.
enum {
    KVPROP_EVT_VALUECHANGED = 2,
    KVPROP_EVT_REMOVED = 3,
    KVPROP_EVT_RESTRICTIONS = 4
};

// A handler entry calls a member of the dialog class through a small thunk,
// so that the map holds plain function pointers whatever the class layout.
typedef void (*KVPROP_DLGMSG_HANDLER)(kvCDlgBase* dialog, const wchar_t* name);

template <class M>
struct kvDlgMsgHandlerClass;
template <class C>
struct kvDlgMsgHandlerClass<void (C::*)(const wchar_t*)> {
    typedef C type;
};

template <auto Handler>
void kvDlgMsgThunk(kvCDlgBase* dialog, const wchar_t* name)
{
    typedef typename kvDlgMsgHandlerClass<decltype(Handler)>::type Dialog;
    (static_cast<Dialog*>(dialog)->*Handler)(name);
}

// One entry of a property-message map: event code, property key (null: any
// property) and member handler. An entry with code 0 ends the map.
struct KVPROP_DLGMSGMAP_ENTRY {
    int code;
    const wchar_t* name;
    KVPROP_DLGMSG_HANDLER handler;
};

struct KVPROP_DLGMSGMAP {
    const KVPROP_DLGMSGMAP* (*pfnGetBaseMap)();
    const KVPROP_DLGMSGMAP_ENTRY* lpEntries;
};

// One entry of a standard-controls table: how to reach the control member
// from the dialog. A null accessor ends the table.
struct KVPROP_STDCTRL_ENTRY {
    kvCStdOldStyleControl* (*control)(kvCDlgBase* dialog);
};

struct KVPROP_STDCTRL {
    const KVPROP_STDCTRL* (*pfnGetBaseTable)();
    const KVPROP_STDCTRL_ENTRY* lpEntries;
};

#define KVPROP_DLGMSG_ENTRY(code, name, handler) \
    KVPROP_DLGMSGMAP_ENTRY { (code), (name), &kvDlgMsgThunk<handler> }
#define KVPROP_DLGMSG_END() KVPROP_DLGMSGMAP_ENTRY { 0, nullptr, nullptr }

// Accessor of a control member, for KVPROP_STDCTRL_ENTRY.
template <class Dialog, class Control, Control Dialog::*Member>
kvCStdOldStyleControl* kvStdCtrlAccessor(kvCDlgBase* dialog)
{
    return &(static_cast<Dialog*>(dialog)->*Member);
}
#define KVPROP_STDCTRL_ENTRY_OF(Dialog, member) \
    KVPROP_STDCTRL_ENTRY { &kvStdCtrlAccessor<Dialog, decltype(Dialog::member), &Dialog::member> }
#define KVPROP_STDCTRL_END() KVPROP_STDCTRL_ENTRY { nullptr }

class kvCDlgBase {
public:
    kvCDlgBase();
    virtual ~kvCDlgBase();

    // Installs the property set whose events this dialog receives (not owned).
    virtual void setProperties(kvCPrPropertySet* set);
    // Declares the dialog's properties; the base lets the standard controls
    // pick up theirs. Overrides end by calling the base.
    virtual void reInitialize();
    // Dispatches one property event; true when a handler or a standard
    // control took it.
    virtual bool propertyMessage(unsigned int code, const wchar_t* name);
    // Stores the dialog's text file name in file; the other two stay as they are.
    virtual void getLocFile(kvCString& file, kvCString& section, kvCString& prefix) const;
    virtual const KVPROP_DLGMSGMAP* getMessageMap() const;
    virtual const KVPROP_STDCTRL* getStdCtrls() const;

    static const KVPROP_DLGMSGMAP* sGetMessageMap();
    static const KVPROP_STDCTRL* sGetStdCtrls();

    void setExecContext(kvIAppExecContext1* context);
    kvIAppExecContext1* execContext() const { return mpExecContext.getIf(); }
    kvCPrPropertySet* properties() const { return mpProp; }

    // The window of a standard control of this dialog; the base has none.
    virtual CWnd* stdCtrlWindow(int controlId);

    // Events delivered while the dispatch is suspended are dropped (used while a
    // dialog writes many defaults at once).
    void suspendEvents(bool suspend) { m_eventsSuspended = suspend; }
    bool eventsSuspended() const { return m_eventsSuspended; }

protected:
    kvIfPtr<kvIAppExecContext1> mpExecContext;
    kvCPrPropertySet* mpProp = nullptr;

private:
    void attachToSet(kvCPrPropertySet* set);
    void detachFromSet();
    bool notifyStdControls(unsigned int code, const wchar_t* name);

    static const KVPROP_DLGMSGMAP_ENTRY sMsgEntries[];
    static const KVPROP_DLGMSGMAP sMessageMap;
    static const KVPROP_STDCTRL_ENTRY sStdCtrlEntries[];
    static const KVPROP_STDCTRL sStdCtrls;

    class Listener;
    friend class Listener;
    bool m_eventsSuspended = false;
    Listener* m_listener = nullptr;

    kvCDlgBase(const kvCDlgBase&) = delete;
    kvCDlgBase& operator=(const kvCDlgBase&) = delete;
};

// The message kvCDialog answers by initialising its properties again.
#define KVDLG_WM_SETPROPERTIES (WM_USER + 201)

class kvCDialog : public CDialog, public kvCDlgBase {
public:
    kvCDialog(UINT templateId, CWnd* parent = nullptr);
    kvCDialog(UINT templateId, kvIAppExecContext1* context, CWnd* parent);
    ~kvCDialog() override;

    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // WM_USER + 201: the property set was replaced or must be shown anew.
    virtual LRESULT onSetProperties(WPARAM wParam, LPARAM lParam);
    // The help key of this dialog.
    virtual kvCString helpContext() const;

    CWnd* stdCtrlWindow(int controlId) override;

    UINT templateId() const { return m_templateId; }

private:
    UINT m_templateId;
};

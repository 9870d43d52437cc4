#include "sdk/kvDialog.h"

#include "sdk/kvPropertySet.h"
#include "sdk/kvStdControls.h"

#include <cwchar>
#include <string>
#include <vector>

// ---------------------------------------------------------------- kvCDlgBase

const KVPROP_DLGMSGMAP_ENTRY kvCDlgBase::sMsgEntries[] = {
    KVPROP_DLGMSG_END()
};
const KVPROP_DLGMSGMAP kvCDlgBase::sMessageMap = {nullptr, kvCDlgBase::sMsgEntries};

const KVPROP_STDCTRL_ENTRY kvCDlgBase::sStdCtrlEntries[] = {
    KVPROP_STDCTRL_END()
};
const KVPROP_STDCTRL kvCDlgBase::sStdCtrls = {nullptr, kvCDlgBase::sStdCtrlEntries};

kvCDlgBase::kvCDlgBase() = default;

kvCDlgBase::~kvCDlgBase()
{
    detachFromSet();
}

const KVPROP_DLGMSGMAP* kvCDlgBase::sGetMessageMap()
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCDlgBase::sGetStdCtrls()
{
    return &sStdCtrls;
}

const KVPROP_DLGMSGMAP* kvCDlgBase::getMessageMap() const
{
    return &sMessageMap;
}

const KVPROP_STDCTRL* kvCDlgBase::getStdCtrls() const
{
    return &sStdCtrls;
}

void kvCDlgBase::getLocFile(kvCString& file, kvCString&, kvCString&) const
{
    file = L"";
}

void kvCDlgBase::setExecContext(kvIAppExecContext1* context)
{
    mpExecContext = context;
}

CWnd* kvCDlgBase::stdCtrlWindow(int)
{
    return nullptr;
}

void kvCDlgBase::setProperties(kvCPrPropertySet* set)
{
    if (set == mpProp)
        return;
    detachFromSet();
    mpProp = set;
    attachToSet(set);
}

void kvCDlgBase::reInitialize()
{
    for (const KVPROP_STDCTRL* table = getStdCtrls(); table;
         table = table->pfnGetBaseTable ? table->pfnGetBaseTable() : nullptr) {
        for (const KVPROP_STDCTRL_ENTRY* e = table->lpEntries; e && e->control; ++e) {
            if (kvCStdOldStyleControl* control = e->control(this))
                control->reInitialize(this);
        }
    }
}

bool kvCDlgBase::notifyStdControls(unsigned int code, const wchar_t* name)
{
    if (!name)
        return false;
    bool taken = false;
    for (const KVPROP_STDCTRL* table = getStdCtrls(); table;
         table = table->pfnGetBaseTable ? table->pfnGetBaseTable() : nullptr) {
        for (const KVPROP_STDCTRL_ENTRY* e = table->lpEntries; e && e->control; ++e) {
            kvCStdOldStyleControl* control = e->control(this);
            if (!control || std::wcscmp(control->propertyName(), name) != 0)
                continue;
            CWnd* window = stdCtrlWindow(control->controlId());
            switch (code) {
            case KVPROP_EVT_VALUECHANGED:
                taken = control->valueChanged(window, mpProp) || taken;
                break;
            case KVPROP_EVT_REMOVED:
                taken = control->valueRemoved(window, mpProp) || taken;
                break;
            case KVPROP_EVT_RESTRICTIONS:
                taken = control->restrictionsChanged(window, mpProp) || taken;
                break;
            default:
                break;
            }
        }
    }
    return taken;
}

// Named entries of the event's code and key are called first. The entries
// without a name are called only for keys that no named entry of that code
// claims: a catch-all sees what nobody else handles.
bool kvCDlgBase::propertyMessage(unsigned int code, const wchar_t* name)
{
    if (m_eventsSuspended)
        return false;
    bool taken = notifyStdControls(code, name);

    // Collect first, call afterwards: a handler may change properties and so
    // re-enter this function, which must not disturb the walk.
    std::vector<KVPROP_DLGMSG_HANDLER> named;
    std::vector<KVPROP_DLGMSG_HANDLER> anyKey;
    for (const KVPROP_DLGMSGMAP* map = getMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const KVPROP_DLGMSGMAP_ENTRY* e = map->lpEntries; e && e->code != 0; ++e) {
            if (static_cast<unsigned int>(e->code) != code || !e->handler)
                continue;
            if (!e->name)
                anyKey.push_back(e->handler);
            else if (name && std::wcscmp(e->name, name) == 0)
                named.push_back(e->handler);
        }
    }
    const std::wstring key = name ? name : L"";
    const wchar_t* keyArg = name ? key.c_str() : nullptr;
    if (!named.empty()) {
        for (KVPROP_DLGMSG_HANDLER h : named)
            h(this, keyArg);
        return true;
    }
    for (KVPROP_DLGMSG_HANDLER h : anyKey)
        h(this, keyArg);
    return taken || !anyKey.empty();
}

// ---------------------------------------------------------------- kvCDialog

kvCDialog::kvCDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent), m_templateId(templateId)
{
}

kvCDialog::kvCDialog(UINT templateId, kvIAppExecContext1* context, CWnd* parent)
    : CDialog(templateId, parent), m_templateId(templateId)
{
    setExecContext(context);
}

kvCDialog::~kvCDialog() = default;

BOOL kvCDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    reInitialize();
    return TRUE;
}

LRESULT kvCDialog::onSetProperties(WPARAM, LPARAM)
{
    reInitialize();
    return 0;
}

kvCString kvCDialog::helpContext() const
{
    return kvCString((L"Dialog" + std::to_wstring(m_templateId)).c_str());
}

CWnd* kvCDialog::stdCtrlWindow(int controlId)
{
    if (!GetSafeHwnd())
        return nullptr;
    return GetDlgItem(controlId);
}

BOOL kvCDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == KVDLG_WM_SETPROPERTIES) {
        const LRESULT r = onSetProperties(wParam, lParam);
        if (result)
            *result = r;
        return TRUE;
    }
    return CDialog::OnWndMsg(msg, wParam, lParam, result);
}

// A selection made in a standard control's window is written into its property.
BOOL kvCDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    if (notification == CBN_SELCHANGE && lParam != 0) {
        for (const KVPROP_STDCTRL* table = getStdCtrls(); table;
             table = table->pfnGetBaseTable ? table->pfnGetBaseTable() : nullptr) {
            for (const KVPROP_STDCTRL_ENTRY* e = table->lpEntries; e && e->control; ++e) {
                kvCStdOldStyleControl* control = e->control(this);
                if (control && control->controlId() == id) {
                    control->changeValue(stdCtrlWindow(id), mpProp);
                    return TRUE;
                }
            }
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------------- property set link

// The dialog hears its set through a listener object of its own, so that the
// dialog classes need not be listeners themselves.
class kvCDlgBase::Listener : public kvPrPropSetListener {
public:
    explicit Listener(kvCDlgBase* dialog) : m_dialog(dialog) {}
    ~Listener() override = default;

    void propertyEvent(kvCPrPropertySet*, unsigned int code, const wchar_t* name) override
    {
        m_dialog->propertyMessage(code, name);
    }
    void propertySetGone(kvCPrPropertySet* set) override
    {
        if (m_dialog->mpProp == set)
            m_dialog->mpProp = nullptr;
    }

private:
    kvCDlgBase* m_dialog;
};

void kvCDlgBase::attachToSet(kvCPrPropertySet* set)
{
    if (!set)
        return;
    if (!m_listener)
        m_listener = new Listener(this);
    set->addListener(m_listener);
}

void kvCDlgBase::detachFromSet()
{
    if (mpProp && m_listener)
        mpProp->removeListener(m_listener);
    delete m_listener;
    m_listener = nullptr;
}

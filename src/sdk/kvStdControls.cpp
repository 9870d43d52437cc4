#include "sdk/kvStdControls.h"

#include "sdk/kvDialog.h"

// ---------------------------------------------------------------- kvCStdOldStyleControl

kvCStdOldStyleControl::kvCStdOldStyleControl(const wchar_t* property, int controlId, int kind, bool flag)
    : m_property(property), m_controlId(controlId), m_kind(kind), m_flag(flag)
{
}

kvCStdOldStyleControl::~kvCStdOldStyleControl() = default;

void kvCStdOldStyleControl::reInitialize(kvCDlgBase* dialog)
{
    if (!dialog)
        return;
    restrictionsChanged(dialog->stdCtrlWindow(m_controlId), dialog->properties());
}

bool kvCStdOldStyleControl::valueChanged(CWnd*, kvCPrPropertySet*)
{
    return false;
}

bool kvCStdOldStyleControl::valueRemoved(CWnd*, kvCPrPropertySet*)
{
    return false;
}

bool kvCStdOldStyleControl::changeValue(CWnd*, kvCPrPropertySet*)
{
    return false;
}

bool kvCStdOldStyleControl::restrictionsChanged(CWnd* control, kvCPrPropertySet* set)
{
    return valueChanged(control, set);
}

// ---------------------------------------------------------------- CRClickButton

CRClickButton::CRClickButton() = default;

CRClickButton::~CRClickButton()
{
    if (m_menu)
        ::DestroyMenu(m_menu);
    m_menu = nullptr;
    if (m_hWnd)
        Detach();
}

BOOL CRClickButton::Attach(int id, CWnd* parent)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    HWND button = ::GetDlgItem(parent->GetSafeHwnd(), id);
    if (!button)
        return FALSE;
    if (m_hWnd == button)
        return TRUE;
    if (m_hWnd)
        Detach();
    // Subclassed, so that the right click reaches this object first.
    return SubclassDlgItem(static_cast<UINT>(id), parent);
}

void CRClickButton::SetRClickMenu(HMENU menu)
{
    if (m_menu && m_menu != menu)
        ::DestroyMenu(m_menu);
    m_menu = menu;
}

BOOL CRClickButton::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_RBUTTONUP && m_menu && m_hWnd) {
        POINT pt = {static_cast<LONG>(static_cast<short>(LOWORD(lParam))),
                    static_cast<LONG>(static_cast<short>(HIWORD(lParam)))};
        ::ClientToScreen(m_hWnd, &pt);
        HWND parent = ::GetParent(m_hWnd);
        const UINT cmd = static_cast<UINT>(::TrackPopupMenu(
            m_menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0, m_hWnd, nullptr));
        if (cmd != 0 && parent)
            ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
        if (result)
            *result = 0;
        return TRUE;
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
}

// ---------------------------------------------------------------- kvCColorLayerSelCtrl

#include "sdk/kvGenVal.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvValueSets.h"

kvCColorLayerSelCtrl::kvCColorLayerSelCtrl(const wchar_t* property, int controlId, int layoutFlag)
    : kvCStdOldStyleControl(property, controlId, 0, true), m_layoutFlag(layoutFlag)
{
}

kvCColorLayerSelCtrl::~kvCColorLayerSelCtrl() = default;

void kvCColorLayerSelCtrl::reInitialize(kvCDlgBase* dialog)
{
    if (dialog && dialog->properties() && !dialog->properties()->hasProp(propertyName())) {
        kvCGenValueNc<kvCCadEntityData> defaults;
        dialog->properties()->setPropValue(propertyName(), defaults, true);
    }
    kvCStdOldStyleControl::reInitialize(dialog);
}

bool kvCColorLayerSelCtrl::valueChanged(CWnd* control, kvCPrPropertySet*)
{
    if (!control)
        return false;
    control->Invalidate();
    return true;
}

// Small host controls that property-driven dialogs bind to their windows.
#pragma once

#include "platform/afx.h"
#include "sdk/kvString.h"

class kvCDlgBase;
class kvCPrPropertySet;

// A standard control: one property of the dialog's set bound to one window
// control of the dialog. The dialog calls the five operations; a control whose
// window is missing is given a null window and does nothing with it.
class kvCStdOldStyleControl {
public:
    kvCStdOldStyleControl(const wchar_t* property, int controlId, int kind, bool flag);
    virtual ~kvCStdOldStyleControl();

    // The dialog was (re)initialised: pick up the property and show it.
    virtual void reInitialize(kvCDlgBase* dialog);
    // The property's value changed: show it.
    virtual bool valueChanged(CWnd* control, kvCPrPropertySet* set);
    // The property went away.
    virtual bool valueRemoved(CWnd* control, kvCPrPropertySet* set);
    // The user changed the control: write the property.
    virtual bool changeValue(CWnd* control, kvCPrPropertySet* set);
    // The property's restrictions changed: rebuild what the control offers.
    virtual bool restrictionsChanged(CWnd* control, kvCPrPropertySet* set);

    const wchar_t* propertyName() const { return m_property.c_str(); }
    int controlId() const { return m_controlId; }
    int kind() const { return m_kind; }
    bool flag() const { return m_flag; }

private:
    kvCString m_property;
    int m_controlId;
    int m_kind;
    bool m_flag;

    kvCStdOldStyleControl(const kvCStdOldStyleControl&) = delete;
    kvCStdOldStyleControl& operator=(const kvCStdOldStyleControl&) = delete;
};

// A push button that opens a popup menu on a right click; the chosen command
// goes to the button's parent as WM_COMMAND.
class CRClickButton : public CWnd {
public:
    CRClickButton();
    ~CRClickButton() override;

    // Binds the button to control id of parent (again when already bound to
    // another window), subclassing it so that its right click reaches this
    // object. False when the parent has no such control.
    BOOL Attach(int id, CWnd* parent);
    using CWnd::Attach;
    // The menu shown on a right click; the button owns it from now on and
    // destroys the one it had.
    void SetRClickMenu(HMENU menu);
    HMENU rClickMenu() const { return m_menu; }

    BOOL OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    HMENU m_menu = nullptr;
};

// The host's colour and layer selector, bound to a property holding CAD
// attributes (kvCCadEntityData). It brings its property along: a missing one
// is declared with the default attributes.
class kvCColorLayerSelCtrl : public kvCStdOldStyleControl {
public:
    kvCColorLayerSelCtrl(const wchar_t* property, int controlId, int layoutFlag);
    ~kvCColorLayerSelCtrl() override;

    void reInitialize(kvCDlgBase* dialog) override;
    bool valueChanged(CWnd* control, kvCPrPropertySet* set) override;

    int layoutFlag() const { return m_layoutFlag; }

private:
    int m_layoutFlag;
};

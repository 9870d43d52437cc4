// A drop-down list bound to an integer property, with fixed (value, text key)
// entries. Values that the property's restriction forbids are left out; the
// list itself restricts nothing: a value no entry stands for selects none of
// them, and a missing property is given the first listed value.
#pragma once

#include "host/object/kvArray.h"
#include "sdk/kvStdControls.h"
#include "sdk/kvString.h"

template <class T>
class kvCListCtrl;

template <>
class kvCListCtrl<int> : public kvCStdOldStyleControl {
public:
    typedef kvTTriple<int, kvCString, int> Item;  // value, text, index in the combo box

    // (value, text key) pairs ended by the sentinel value.
    kvCListCtrl(const wchar_t* property, int controlId, int sentinel, ...);
    ~kvCListCtrl() override;

    void reInitialize(kvCDlgBase* dialog) override;
    bool valueChanged(CWnd* control, kvCPrPropertySet* set) override;
    bool valueRemoved(CWnd* control, kvCPrPropertySet* set) override;
    bool changeValue(CWnd* control, kvCPrPropertySet* set) override;
    bool restrictionsChanged(CWnd* control, kvCPrPropertySet* set) override;

    unsigned int itemCount() const { return items.size(); }
    const Item& item(unsigned int i) const { return items.at(i); }

private:
    kvTArray<Item> items;
    CRClickButton rightClickButton;
};

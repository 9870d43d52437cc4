#include "analyse/kvCListCtrl.h"

#include "host/object/kvPropAccess.h"
#include "sdk/kvDialog.h"
#include "sdk/kvMsgEnt.h"

#include <cstdarg>

kvCListCtrl<int>::kvCListCtrl(const wchar_t* property, int controlId, int sentinel, ...)
    : kvCStdOldStyleControl(property, controlId, 9, true), items(8)
{
    va_list args;
    va_start(args, sentinel);
    for (;;) {
        const int value = va_arg(args, int);
        if (value == sentinel)
            break;
        const wchar_t* text = va_arg(args, const wchar_t*);
        items.append(Item(value, kvCString(text), -1));
    }
    va_end(args);
}

kvCListCtrl<int>::~kvCListCtrl() = default;

void kvCListCtrl<int>::reInitialize(kvCDlgBase* dialog)
{
    if (dialog && dialog->execContext()) {
        kvIfPtr<kvIApplication1> app;
        dialog->execContext()->getApplication(&app);
        if (!app.isNull()) {
            for (unsigned int i = items.size(); i-- > 0;)
                items[i].second = kvCMsgEnt(items[i].second.c_str()).getEntry(app.getIf());
        }
    }
    if (CWnd* wnd = dynamic_cast<CWnd*>(dialog))
        rightClickButton.Attach(controlId(), wnd);
    kvCStdOldStyleControl::reInitialize(dialog);
}

bool kvCListCtrl<int>::restrictionsChanged(CWnd* control, kvCPrPropertySet* set)
{
    if (!control)
        return false;
    control->SendMessage(CB_RESETCONTENT);
    const kvCValRestrictBase* restriction = nullptr;
    if (set)
        set->getRestrictions(propertyName(), restriction, nullptr);
    const kvCValRestrict<int>* intRestriction = dynamic_cast<const kvCValRestrict<int>*>(restriction);
    for (unsigned int i = 0; i < items.size(); ++i) {
        Item& it = items[i];
        if (!intRestriction || intRestriction->check(it.first))
            it.third = static_cast<int>(
                control->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(it.second.c_str())));
        else
            it.third = -1;
    }
    return valueChanged(control, set);
}

bool kvCListCtrl<int>::valueChanged(CWnd* control, kvCPrPropertySet* set)
{
    if (!control)
        return false;
    int value = 0;
    if (propGet(set, propertyName(), value)) {
        int index = -1;
        for (unsigned int i = 0; i < items.size(); ++i) {
            if (items[i].first == value) {
                index = items[i].third;
                break;
            }
        }
        control->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
        return true;
    }
    if (items.size() > 0)
        propSet(set, propertyName(), items[0].first);
    control->SendMessage(CB_SETCURSEL, 0);
    return true;
}

bool kvCListCtrl<int>::valueRemoved(CWnd*, kvCPrPropertySet*)
{
    return false;
}

bool kvCListCtrl<int>::changeValue(CWnd* control, kvCPrPropertySet* set)
{
    if (!control)
        return false;
    const int selected = static_cast<int>(control->SendMessage(CB_GETCURSEL));
    // Nothing selected: left-out items also carry -1 and must not be chosen.
    if (selected == CB_ERR)
        return true;
    for (unsigned int i = 0; i < items.size(); ++i) {
        if (items[i].third != selected)
            continue;
        int current = 0;
        if (propGet(set, propertyName(), current) && current == items[i].first)
            return true;
        propSet(set, propertyName(), items[i].first);
        return true;
    }
    return true;
}

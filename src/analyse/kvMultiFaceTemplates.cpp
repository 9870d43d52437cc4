#include "analyse/kvMultiFaceTemplates.h"

#include "platform/kvPlatform.h"

namespace {

kvplat::DialogControl control(const wchar_t* cls, int id, int x, int y, int w, int h, DWORD style)
{
    kvplat::DialogControl c;
    c.className = cls;
    c.id = id;
    c.x = x;
    c.y = y;
    c.width = w;
    c.height = h;
    c.style = style;
    return c;
}

// 309 x 299 dialog units.
kvplat::DialogTemplate panelTemplate()
{
    kvplat::DialogTemplate t;
    t.width = 464;
    t.height = 486;
    t.style = WS_CHILD;
    t.controls = {
        control(L"Button", kvIDC_PANEL_BORDER, 0, 0, 456, 481, WS_VISIBLE | BS_GROUPBOX),
        control(L"Button", kvIDC_PANEL_LISTPLACE, 12, 150, 437, 320, WS_VISIBLE | BS_GROUPBOX),
        control(L"Button", kvIDC_PANEL_PROPERTIES, 12, 10, 437, 140, WS_VISIBLE | BS_GROUPBOX),
    };
    return t;
}

kvplat::DialogTemplate listTemplate()
{
    kvplat::DialogTemplate t;
    t.width = 437;
    t.height = 320;
    t.style = WS_CHILD;
    const DWORD visible = WS_VISIBLE | WS_TABSTOP;
    t.controls = {
        control(WC_LISTVIEWW, kvIDC_LIST_GROUPS, 0, 0, 437, 230, visible | LVS_REPORT | LVS_SHOWSELALWAYS),
        control(L"Button", kvIDC_LIST_NAVIGATOR, 0, 235, 437, 80, WS_VISIBLE | BS_GROUPBOX),
        control(L"Button", kvIDC_LIST_PREVIOUS, 8, 255, 24, 24, visible | BS_PUSHBUTTON | BS_ICON),
        control(L"Static", kvIDC_LIST_POSITION, 40, 258, 80, 20, WS_VISIBLE | SS_CENTER),
        control(L"Button", kvIDC_LIST_NEXT, 128, 255, 24, 24, visible | BS_PUSHBUTTON | BS_ICON),
        control(L"ComboBox", kvIDC_LIST_ELEMENTS, 160, 255, 270, 200, visible | CBS_DROPDOWNLIST | WS_VSCROLL),
    };
    return t;
}

}  // namespace

void kvRegisterMultiFaceTemplates()
{
    if (!kvplat::findDialogTemplate(kvIDD_MULTIFACEPANEL))
        kvplat::registerDialogTemplate(kvIDD_MULTIFACEPANEL, panelTemplate());
    if (!kvplat::findDialogTemplate(kvIDD_MULTISELLIST))
        kvplat::registerDialogTemplate(kvIDD_MULTISELLIST, listTemplate());
}

#include "analyse/kvMultiFaceTemplates.h"

#include "platform/kvPlatform.h"

namespace {

// 309 x 299 dialog units.
kvplat::DialogTemplate panelTemplate()
{
    kvplat::DialogTemplate t;
    t.width = 464;
    t.height = 486;
    t.style = WS_CHILD;
    t.controls = {
        {L"Button", kvIDC_PANEL_BORDER, L"", 0, 0, 456, 481, WS_VISIBLE | BS_GROUPBOX},
        {L"Button", kvIDC_PANEL_LISTPLACE, L"", 12, 150, 437, 320, WS_VISIBLE | BS_GROUPBOX},
        {L"Button", kvIDC_PANEL_PROPERTIES, L"", 12, 10, 437, 140, WS_VISIBLE | BS_GROUPBOX},
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
    // The rows on the left, the navigator beside them: the list's layout
    // lets the rows grow in height and the navigator, with its face combo,
    // in width, the next button keeping to the navigator's right edge.
    t.controls = {
        {WC_LISTVIEWW, kvIDC_LIST_GROUPS, L"", 0, 0, 245, 320, visible | LVS_REPORT | LVS_SHOWSELALWAYS},
        {L"Button", kvIDC_LIST_NAVIGATOR, L"", 250, 0, 187, 90, WS_VISIBLE | BS_GROUPBOX},
        {L"Button", kvIDC_LIST_PREVIOUS, L"", 258, 20, 24, 24, visible | BS_PUSHBUTTON | BS_ICON},
        {L"Static", kvIDC_LIST_POSITION, L"", 286, 22, 80, 20, WS_VISIBLE | SS_CENTER},
        {L"Button", kvIDC_LIST_NEXT, L"", 405, 20, 24, 24, visible | BS_PUSHBUTTON | BS_ICON},
        {L"ComboBox", kvIDC_LIST_ELEMENTS, L"", 258, 54, 171, 200, visible | CBS_DROPDOWNLIST | WS_VSCROLL},
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

#include "analyse/kvAnalyseTemplates.h"

#include "platform/kvPlatform.h"

namespace {

const DWORD visible = WS_VISIBLE | WS_TABSTOP;
const DWORD pushLike = visible | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON;
const DWORD iconButton = visible | BS_PUSHBUTTON | BS_ICON;

// 316 x 428 dialog units.
kvplat::DialogTemplate analyseTemplate()
{
    kvplat::DialogTemplate t;
    t.width = 474;
    t.height = 696;
    t.caption = L"Analyse face";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    t.controls = {
        {L"Button", 1044, L"", 4, 4, 458, 48, WS_VISIBLE | BS_GROUPBOX},
        {L"ComboBox", 1058, L"", 16, 25, 353, 21, visible | CBS_DROPDOWNLIST | WS_VSCROLL},
        {L"Button", 1033, L"", 388, 25, 24, 24, pushLike},
        {L"Button", 1034, L"", 418, 25, 24, 24, iconButton},
        {L"Button", 1057, L"", 418, 25, 24, 24, pushLike},
        {L"Button", 1036, L"", 418, 25, 24, 24, iconButton},
        {L"Button", 1035, L"", 358, 25, 24, 24, pushLike},
        {L"Button", 1016, L"", 241, 600, 24, 24, iconButton},
        {L"Button", 1017, L"", 191, 600, 24, 24, iconButton},
        {L"Button", 1042, L"", 4, 60, 458, 540, WS_VISIBLE | BS_GROUPBOX},
    };
    return t;
}

// The panel: control 1002 is the placeholder of the property control; group
// 1080 and the hidden controls 1084 to 1094 belong to the tool-position page.
kvplat::DialogTemplate facePanelTemplate()
{
    kvplat::DialogTemplate t;
    t.width = 458;
    t.height = 540;
    t.style = WS_CHILD;
    t.controls = {
        {L"Static", 1002, L"", 0, 0, 458, 540, WS_VISIBLE},
        {L"Button", 1080, L"", 0, 0, 458, 540, BS_GROUPBOX},
    };
    for (int id = 1084; id <= 1094; ++id)
        t.controls.push_back({L"Button", id, L"", 8, 8, 24, 24, BS_PUSHBUTTON});
    return t;
}

}  // namespace

void kvRegisterAnalyseTemplates()
{
    if (!kvplat::findDialogTemplate(kvIDD_ANALYSE))
        kvplat::registerDialogTemplate(kvIDD_ANALYSE, analyseTemplate());
    if (!kvplat::findDialogTemplate(kvIDD_FACEPANEL))
        kvplat::registerDialogTemplate(kvIDD_FACEPANEL, facePanelTemplate());
}

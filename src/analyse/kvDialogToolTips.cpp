#include "analyse/kvDialogToolTips.h"

#include "platform/windows_ui.h"

HWND kvCreateDialogToolTips(HWND dialog, std::initializer_list<int> controlIds)
{
    if (!dialog || !::IsWindow(dialog))
        return nullptr;
    HWND tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, dialog,
                                     nullptr, nullptr, nullptr);
    if (!tooltip)
        return nullptr;
    for (int id : controlIds) {
        HWND control = ::GetDlgItem(dialog, id);
        if (!control)
            continue;
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = dialog;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    return tooltip;
}

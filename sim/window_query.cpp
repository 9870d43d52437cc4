#include "window_query.h"

#include "platform/kvPlatform.h"
#include "sdk/kvPropertyCtrl.h"

namespace hostsim {

bool visibleUpTo(HWND hwnd, HWND top)
{
    for (HWND w = hwnd; w; w = GetParent(w)) {
        if (!IsWindowVisible(w)) return false;
        if (w == top) return true;
    }
    return false;
}

void descendants(HWND parent, std::vector<HWND>& out)
{
    for (HWND child : kvplat::childWindows(parent)) {
        out.push_back(child);
        descendants(child, out);
    }
}

bool showsLine(const kvCTwPropertyCtrlBase* control, const std::wstring& key)
{
    if (!control) return false;
    for (const kvCTwPropertyCtrlBase::Category& category : control->categories())
        for (const kvCTwPropertyCtrlBase::Line& line : category.lines)
            if (line.key.str() == key) return true;
    return false;
}

} // namespace hostsim

// Columns of a report list view, as the layout tests give and read them.
#pragma once

#include "platform/kvPlatformUi.h"

#include <cstddef>
#include <vector>

namespace uitest {

// Appends one column of each width.
inline void addColumns(HWND lv, const std::vector<int>& widths)
{
    for (int w : widths) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH;
        col.cx = w;
        SendMessageW(lv, LVM_INSERTCOLUMNW, 99, LPARAM(&col));
    }
}

// The widths of the columns, in order.
inline std::vector<int> widths(HWND lv)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
    std::vector<int> w(std::size_t(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = int(SendMessageW(lv, LVM_GETCOLUMNWIDTH, i, 0));
    return w;
}

} // namespace uitest

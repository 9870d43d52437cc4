// WM_PRINT and WM_PRINTCLIENT for the library's owner-drawn windows: default
// processing first, then the window draws its client area into the given DC.
#pragma once

#include "ui/atl/ButtonDraw.h"

namespace kv {
namespace ui {
namespace atl {

template <typename T, int Version>
class PrintExt {
protected:
    BOOL processPrint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (msg != WM_PRINT && msg != WM_PRINTCLIENT)
            return FALSE;
        T* self = static_cast<T*>(this);
        result = self->DefWindowProc(msg, wParam, lParam);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if ((lParam & PRF_CLIENT) && dc && (IsWindowVisible(hwnd) || !(lParam & PRF_CHECKVISIBLE))) {
            if (lParam & PRF_NONCLIENT)
                setupWindowDc(dc, hwnd);
            self->draw(dc);
        }
        return TRUE;
    }
};

} // namespace atl
} // namespace ui
} // namespace kv

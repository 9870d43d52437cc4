// Access to the platform's visual styles. The library does not link
// "UxTheme.dll": it loads it at run time and fetches each function by name the
// first time it is used, so it also runs where visual styles do not exist.
// Every call reports E_FAIL (or false, or an empty handle) when the library or
// the function is missing; callers then draw classically.
#pragma once

#include "platform/windows.h"

#include <boost/shared_ptr.hpp>

namespace kv {
namespace ui {
namespace atl {

class Theme;

// One opened theme handle, closed when the last owner lets go. An empty
// pointer means there is no theme for the window class.
class ThemeData {
public:
    ThemeData(Theme* theme, HTHEME handle) : m_theme(theme), m_handle(handle) {}
    HTHEME handle() const { return m_handle; }
    Theme* theme() const { return m_theme; }

    HRESULT drawBackground(HDC dc, int part, int state, const RECT* rect, const RECT* clip) const;
    HRESULT drawEdge(HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags, RECT* content) const;
    HRESULT drawIcon(HDC dc, int part, int state, const RECT* rect, HIMAGELIST list, int index) const;
    HRESULT drawText(HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags, DWORD flags2,
                     const RECT* rect) const;
    HRESULT backgroundContentRect(HDC dc, int part, int state, const RECT* bounds, RECT* content) const;
    HRESULT textExtent(HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags, const RECT* bounds,
                       RECT* extent) const;
    HRESULT textMetrics(HDC dc, int part, int state, TEXTMETRICW* metrics) const;
    bool isBackgroundPartiallyTransparent(int part, int state) const;

private:
    Theme* m_theme;
    HTHEME m_handle;
};
typedef boost::shared_ptr<ThemeData> ThemeDataPtr;

class Theme {
public:
    Theme();
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

    // The process-wide instance, made on first use and destroyed when the
    // module unloads.
    static Theme& instance();

    HRESULT closeThemeData(HTHEME theme);
    HRESULT drawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
    HRESULT drawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                          RECT* content);
    HRESULT drawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST list, int index);
    HRESULT drawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
    HRESULT drawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
                          DWORD flags2, const RECT* rect);
    HRESULT getThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                          RECT* content);
    HRESULT getThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
                               const RECT* bounds, RECT* extent);
    HRESULT getThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICW* metrics);
    // True only when the function answers exactly 1.
    bool isThemeActive();
    bool isThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
    HTHEME openThemeData(HWND window, LPCWSTR classList);

    // A shared handle for the window and class list; empty without a theme.
    ThemeDataPtr open(HWND window, LPCWSTR classList);

    bool loaded() const { return m_module != nullptr; }

private:
    enum Entry {
        eClose, eBackground, eEdge, eIcon, eParentBackground, eText, eContentRect, eTextExtent, eTextMetrics,
        eActive, ePartiallyTransparent, eOpen, entryCount
    };
    // The entry point, fetched on first use; one not found is looked up again
    // at the next call.
    FARPROC entry(Entry which);

    HMODULE m_module;
    FARPROC m_entries[entryCount];
};

} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/Theme.h"

#include <memory>

namespace kv {
namespace ui {
namespace atl {

namespace {

const char* const kEntryNames[] = {
    "CloseThemeData",   "DrawThemeBackground", "DrawThemeEdge",        "DrawThemeIcon",
    "DrawThemeParentBackground", "DrawThemeText", "GetThemeBackgroundContentRect", "GetThemeTextExtent",
    "GetThemeTextMetrics", "IsThemeActive", "IsThemeBackgroundPartiallyTransparent", "OpenThemeData",
};

typedef HRESULT(WINAPI* CloseThemeDataFn)(HTHEME);
typedef HRESULT(WINAPI* DrawThemeBackgroundFn)(HTHEME, HDC, int, int, const RECT*, const RECT*);
typedef HRESULT(WINAPI* DrawThemeEdgeFn)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*);
typedef HRESULT(WINAPI* DrawThemeIconFn)(HTHEME, HDC, int, int, const RECT*, HIMAGELIST, int);
typedef HRESULT(WINAPI* DrawThemeParentBackgroundFn)(HWND, HDC, const RECT*);
typedef HRESULT(WINAPI* DrawThemeTextFn)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
typedef HRESULT(WINAPI* GetThemeBackgroundContentRectFn)(HTHEME, HDC, int, int, const RECT*, RECT*);
typedef HRESULT(WINAPI* GetThemeTextExtentFn)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*);
typedef HRESULT(WINAPI* GetThemeTextMetricsFn)(HTHEME, HDC, int, int, TEXTMETRICW*);
typedef BOOL(WINAPI* IsThemeActiveFn)();
typedef BOOL(WINAPI* IsThemeBackgroundPartiallyTransparentFn)(HTHEME, int, int);
typedef HTHEME(WINAPI* OpenThemeDataFn)(HWND, LPCWSTR);

template <typename F>
F as(FARPROC p)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
}

} // namespace

Theme::Theme() : m_module(LoadLibraryW(L"UxTheme.dll"))
{
    for (auto& e : m_entries)
        e = nullptr;
}

Theme& Theme::instance()
{
    // Made on first use; the module's static teardown destroys it when the
    // module unloads, so that a module unloaded and loaded again leaves
    // nothing behind.
    static const std::unique_ptr<Theme> theme(new Theme());
    return *theme;
}

FARPROC Theme::entry(Entry which)
{
    if (!m_module)
        return nullptr;
    if (!m_entries[which])
        m_entries[which] = GetProcAddress(m_module, kEntryNames[which]);
    return m_entries[which];
}

HRESULT Theme::closeThemeData(HTHEME theme)
{
    FARPROC f = entry(eClose);
    return f ? as<CloseThemeDataFn>(f)(theme) : E_FAIL;
}

HRESULT Theme::drawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    FARPROC f = entry(eBackground);
    return f ? as<DrawThemeBackgroundFn>(f)(theme, dc, part, state, rect, clip) : E_FAIL;
}

HRESULT Theme::drawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                             RECT* content)
{
    FARPROC f = entry(eEdge);
    return f ? as<DrawThemeEdgeFn>(f)(theme, dc, part, state, rect, edge, flags, content) : E_FAIL;
}

HRESULT Theme::drawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST list, int index)
{
    FARPROC f = entry(eIcon);
    return f ? as<DrawThemeIconFn>(f)(theme, dc, part, state, rect, list, index) : E_FAIL;
}

HRESULT Theme::drawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    FARPROC f = entry(eParentBackground);
    return f ? as<DrawThemeParentBackgroundFn>(f)(window, dc, rect) : E_FAIL;
}

HRESULT Theme::drawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
                             DWORD flags2, const RECT* rect)
{
    FARPROC f = entry(eText);
    return f ? as<DrawThemeTextFn>(f)(theme, dc, part, state, text, count, flags, flags2, rect) : E_FAIL;
}

HRESULT Theme::getThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                             RECT* content)
{
    FARPROC f = entry(eContentRect);
    return f ? as<GetThemeBackgroundContentRectFn>(f)(theme, dc, part, state, bounds, content) : E_FAIL;
}

HRESULT Theme::getThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
                                  const RECT* bounds, RECT* extent)
{
    FARPROC f = entry(eTextExtent);
    return f ? as<GetThemeTextExtentFn>(f)(theme, dc, part, state, text, count, flags, bounds, extent) : E_FAIL;
}

HRESULT Theme::getThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICW* metrics)
{
    FARPROC f = entry(eTextMetrics);
    return f ? as<GetThemeTextMetricsFn>(f)(theme, dc, part, state, metrics) : E_FAIL;
}

bool Theme::isThemeActive()
{
    FARPROC f = entry(eActive);
    return f && as<IsThemeActiveFn>(f)() == 1;
}

bool Theme::isThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    FARPROC f = entry(ePartiallyTransparent);
    return f && as<IsThemeBackgroundPartiallyTransparentFn>(f)(theme, part, state) == 1;
}

HTHEME Theme::openThemeData(HWND window, LPCWSTR classList)
{
    FARPROC f = entry(eOpen);
    return f ? as<OpenThemeDataFn>(f)(window, classList) : nullptr;
}

ThemeDataPtr Theme::open(HWND window, LPCWSTR classList)
{
    HTHEME handle = openThemeData(window, classList);
    if (!handle)
        return ThemeDataPtr();
    return ThemeDataPtr(new ThemeData(this, handle), [](ThemeData* data) {
        if (data->handle() && data->theme())
            data->theme()->closeThemeData(data->handle());
        delete data;
    });
}

// ---------------------------------------------------------------- bound to a handle

HRESULT ThemeData::drawBackground(HDC dc, int part, int state, const RECT* rect, const RECT* clip) const
{
    return m_theme && m_handle ? m_theme->drawThemeBackground(m_handle, dc, part, state, rect, clip) : E_FAIL;
}

HRESULT ThemeData::drawEdge(HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags, RECT* content) const
{
    return m_theme && m_handle ? m_theme->drawThemeEdge(m_handle, dc, part, state, rect, edge, flags, content) : E_FAIL;
}

HRESULT ThemeData::drawIcon(HDC dc, int part, int state, const RECT* rect, HIMAGELIST list, int index) const
{
    return m_theme && m_handle ? m_theme->drawThemeIcon(m_handle, dc, part, state, rect, list, index) : E_FAIL;
}

HRESULT ThemeData::drawText(HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags, DWORD flags2,
                            const RECT* rect) const
{
    return m_theme && m_handle ? m_theme->drawThemeText(m_handle, dc, part, state, text, count, flags, flags2, rect)
                               : E_FAIL;
}

HRESULT ThemeData::backgroundContentRect(HDC dc, int part, int state, const RECT* bounds, RECT* content) const
{
    return m_theme && m_handle ? m_theme->getThemeBackgroundContentRect(m_handle, dc, part, state, bounds, content)
                               : E_FAIL;
}

HRESULT ThemeData::textExtent(HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags, const RECT* bounds,
                              RECT* extent) const
{
    return m_theme && m_handle
               ? m_theme->getThemeTextExtent(m_handle, dc, part, state, text, count, flags, bounds, extent)
               : E_FAIL;
}

HRESULT ThemeData::textMetrics(HDC dc, int part, int state, TEXTMETRICW* metrics) const
{
    return m_theme && m_handle ? m_theme->getThemeTextMetrics(m_handle, dc, part, state, metrics) : E_FAIL;
}

bool ThemeData::isBackgroundPartiallyTransparent(int part, int state) const
{
    return m_theme && m_handle && m_theme->isThemeBackgroundPartiallyTransparent(m_handle, part, state);
}

} // namespace atl
} // namespace ui
} // namespace kv

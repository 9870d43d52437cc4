// Services that owner-drawn controls rely on: the visual-styles library
// (built in, switchable, every themed call recorded), resource modules with
// string tables in 16-bit blocks, icons loaded from them, the colour dialog
// answered by the script, mouse tracking, keyboard translation, dialog groups,
// top-level enumeration and the monitor.
#include "platform/platform_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

namespace kvplat {
namespace detail {
namespace {

// ---------------------------------------------------------------- state

struct Resource {
    std::vector<uint8_t> bytes;
};

struct ResourceModuleData {
    std::wstring name;
    std::map<UINT, std::wstring> strings;
    std::map<UINT, std::vector<uint16_t>> rawBlocks;
    std::set<UINT> icons;
    std::map<UINT, std::vector<std::vector<MenuResourceItem>>> menus;
    std::set<UINT> dialogs;
    // Resources handed out; built on demand and kept while the module lives.
    std::map<std::pair<ULONG_PTR, UINT>, std::unique_ptr<Resource>> built;
};

struct ColorAnswer {
    bool ok;
    COLORREF color;
};

struct UiState {
    bool themeLibrary = true;
    bool themeActive = true;
    std::set<HTHEME> openThemes;
    uintptr_t nextTheme = 0x9000;
    std::vector<std::unique_ptr<ResourceModuleData>> resourceModules;
    std::vector<ColorAnswer> colorAnswers;
    std::vector<ColorDialogCall> colorCalls;
    std::set<HWND> mouseTracked;
    bool registryReadOnly = false;
    RegistryRefusal registryRefusal;
    std::map<int, COLORREF> sysColors;
};

UiState& ui()
{
    return lasting<UiState>();
}

// The one handle under which the visual-styles library is known.
char g_themeModuleTag;
HMODULE themeModule() { return reinterpret_cast<HMODULE>(&g_themeModuleTag); }

ResourceModuleData* resourceModuleOf(HMODULE module)
{
    for (auto& m : ui().resourceModules)
        if (reinterpret_cast<HMODULE>(m.get()) == module)
            return m.get();
    return nullptr;
}

std::string narrowText(const wchar_t* text, int count)
{
    std::string out;
    if (!text)
        return out;
    for (int i = 0; count < 0 ? text[i] != 0 : i < count; ++i)
        out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}

// ---------------------------------------------------------------- the visual-styles library

bool liveTheme(HTHEME theme) { return theme && ui().openThemes.count(theme); }

HTHEME WINAPI fakeOpenThemeData(HWND, LPCWSTR classList)
{
    if (!ui().themeActive || !classList || !*classList)
        return nullptr;
    HTHEME h = reinterpret_cast<HTHEME>(ui().nextTheme);
    ui().nextTheme += 4;
    ui().openThemes.insert(h);
    return h;
}

HRESULT WINAPI fakeCloseThemeData(HTHEME theme) { return ui().openThemes.erase(theme) ? S_OK : E_FAIL; }

HRESULT WINAPI fakeDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT*)
{
    if (!liveTheme(theme) || !gdi().dcs.count(dc) || !rect)
        return E_FAIL;
    log("DrawThemeBackground part=" + std::to_string(part) + " state=" + std::to_string(state) + " " + rectText(rect));
    return S_OK;
}

HRESULT WINAPI fakeDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                                 RECT* content)
{
    if (!liveTheme(theme) || !gdi().dcs.count(dc) || !rect)
        return E_FAIL;
    log("DrawThemeEdge part=" + std::to_string(part) + " state=" + std::to_string(state) + " " + rectText(rect));
    if (content) {
        RECT r = *rect;
        DrawEdge(dc, &r, edge, flags);
        *content = r;
    }
    return S_OK;
}

HRESULT WINAPI fakeDrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HIMAGELIST list,
                                 int index)
{
    if (!liveTheme(theme) || !gdi().dcs.count(dc) || !rect || ImageList_GetImageCount(list) <= index || index < 0)
        return E_FAIL;
    log("DrawThemeIcon part=" + std::to_string(part) + " state=" + std::to_string(state) + " image " +
        std::to_string(index) + " " + rectText(rect));
    return S_OK;
}

HRESULT WINAPI fakeDrawThemeParentBackground(HWND, HDC dc, const RECT* rect)
{
    if (!gdi().dcs.count(dc))
        return E_FAIL;
    log("DrawThemeParentBackground " + rectText(rect));
    return S_OK;
}

HRESULT WINAPI fakeDrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
                                 DWORD, const RECT* rect)
{
    if (!liveTheme(theme) || !gdi().dcs.count(dc) || !text || !rect)
        return E_FAIL;
    char f[16];
    std::snprintf(f, sizeof(f), "0x%x", static_cast<unsigned>(flags));
    log("DrawThemeText part=" + std::to_string(part) + " state=" + std::to_string(state) + " \"" +
        narrowText(text, count) + "\" " + rectText(rect) + " flags=" + f);
    return S_OK;
}

HRESULT WINAPI fakeGetThemeBackgroundContentRect(HTHEME theme, HDC, int, int, const RECT* bounds, RECT* content)
{
    if (!liveTheme(theme) || !bounds || !content)
        return E_FAIL;
    *content = *bounds;
    InflateRect(content, -3, -3);
    return S_OK;
}

HRESULT WINAPI fakeGetThemeTextExtent(HTHEME theme, HDC, int, int, LPCWSTR text, int count, DWORD, const RECT* bound,
                                      RECT* extent)
{
    if (!liveTheme(theme) || !text || !extent)
        return E_FAIL;
    const int n = count < 0 ? static_cast<int>(std::wcslen(text)) : count;
    const LONG left = bound ? bound->left : 0, top = bound ? bound->top : 0;
    *extent = RECT{left, top, left + 7 * n, top + 16};
    return S_OK;
}

HRESULT WINAPI fakeGetThemeTextMetrics(HTHEME theme, HDC dc, int, int, TEXTMETRICW* metrics)
{
    if (!liveTheme(theme) || !metrics)
        return E_FAIL;
    return GetTextMetricsW(dc, metrics) ? S_OK : E_FAIL;
}

BOOL WINAPI fakeIsThemeActive() { return ui().themeActive ? TRUE : FALSE; }

BOOL WINAPI fakeIsThemeBackgroundPartiallyTransparent(HTHEME theme, int, int) { return liveTheme(theme) ? TRUE : FALSE; }

struct NamedProc {
    const char* name;
    FARPROC proc;
};

template <typename F>
FARPROC asProc(F f)
{
    // Through the generic function pointer type, as GetProcAddress's callers cast back.
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

const NamedProc* themeProcs()
{
    static const NamedProc procs[] = {
        {"CloseThemeData", asProc(&fakeCloseThemeData)},
        {"DrawThemeBackground", asProc(&fakeDrawThemeBackground)},
        {"DrawThemeEdge", asProc(&fakeDrawThemeEdge)},
        {"DrawThemeIcon", asProc(&fakeDrawThemeIcon)},
        {"DrawThemeParentBackground", asProc(&fakeDrawThemeParentBackground)},
        {"DrawThemeText", asProc(&fakeDrawThemeText)},
        {"GetThemeBackgroundContentRect", asProc(&fakeGetThemeBackgroundContentRect)},
        {"GetThemeTextExtent", asProc(&fakeGetThemeTextExtent)},
        {"GetThemeTextMetrics", asProc(&fakeGetThemeTextMetrics)},
        {"IsThemeActive", asProc(&fakeIsThemeActive)},
        {"IsThemeBackgroundPartiallyTransparent", asProc(&fakeIsThemeBackgroundPartiallyTransparent)},
        {"OpenThemeData", asProc(&fakeOpenThemeData)},
        {nullptr, nullptr},
    };
    return procs;
}

// ---------------------------------------------------------------- resources

// A character past the basic plane takes two UTF-16 units, a surrogate pair.
bool takesSurrogatePair(wchar_t c)
{
    const unsigned long cp = static_cast<unsigned long>(c);
    return cp >= 0x10000 && cp <= 0x10FFFF;
}

void appendUtf16(std::vector<uint16_t>& out, const std::wstring& text)
{
    for (wchar_t c : text) {
        const unsigned long cp = static_cast<unsigned long>(c);
        if (takesSurrogatePair(c)) {
            out.push_back(static_cast<uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(cp));
        }
    }
}

// The block as the platform stores it: 16 entries, each a length word and
// that many UTF-16 units. Null when none of the block's ids has a string.
std::unique_ptr<Resource> stringBlock(const ResourceModuleData& m, UINT block)
{
    std::vector<uint16_t> words;
    auto raw = m.rawBlocks.find(block);
    if (raw != m.rawBlocks.end()) {
        words = raw->second;
    } else {
        bool any = false;
        for (UINT i = 0; i < 16; ++i) {
            auto it = m.strings.find((block - 1) * 16 + i);
            if (it == m.strings.end()) {
                words.push_back(0);
                continue;
            }
            any = true;
            std::vector<uint16_t> text;
            appendUtf16(text, it->second);
            words.push_back(static_cast<uint16_t>(text.size()));
            words.insert(words.end(), text.begin(), text.end());
        }
        if (!any)
            return nullptr;
    }
    auto r = std::make_unique<Resource>();
    r->bytes.resize(words.size() * sizeof(uint16_t));
    if (!words.empty())
        std::memcpy(r->bytes.data(), words.data(), r->bytes.size());
    return r;
}

bool holds(const ResourceModuleData& m, ULONG_PTR type, UINT id)
{
    switch (type) {
    case 3:   // RT_ICON
    case 14:  // RT_GROUP_ICON
        return m.icons.count(id) != 0;
    case 4:  // RT_MENU
        return m.menus.count(id) != 0;
    case 5:  // RT_DIALOG
        return m.dialogs.count(id) != 0;
    default:
        return false;
    }
}

} // namespace

size_t utf16Length(const std::wstring& text)
{
    size_t n = 0;
    for (wchar_t c : text)
        n += takesSurrogatePair(c) ? 2 : 1;
    return n;
}

HMODULE systemModule(const std::wstring& name)
{
    if (!ui().themeLibrary || _wcsicmp(name.c_str(), L"UxTheme.dll") != 0)
        return nullptr;
    return themeModule();
}

bool isSystemModule(HMODULE module) { return module && module == themeModule(); }

FARPROC systemProc(HMODULE module, const char* name)
{
    if (!isSystemModule(module) || !name || !ui().themeLibrary)
        return nullptr;
    for (const NamedProc* p = themeProcs(); p->name; ++p)
        if (std::strcmp(p->name, name) == 0)
            return p->proc;
    return nullptr;
}

bool isResourceModule(HMODULE module) { return resourceModuleOf(module) != nullptr; }

const std::vector<std::vector<MenuResourceItem>>* resourceMenu(HMODULE module, UINT id)
{
    ResourceModuleData* m = resourceModuleOf(module);
    if (!m)
        return nullptr;
    auto it = m->menus.find(id);
    return it == m->menus.end() ? nullptr : &it->second;
}

bool registryReadOnly() { return ui().registryReadOnly; }

bool registryRefuses(const std::wstring& keyPath, const std::wstring& valueName)
{
    const RegistryRefusal& refuses = ui().registryRefusal;
    return refuses && refuses(keyPath, valueName);
}

int openThemeCount() { return static_cast<int>(ui().openThemes.size()); }

bool sysColorOverride(int index, COLORREF& color)
{
    auto it = ui().sysColors.find(index);
    if (it == ui().sysColors.end())
        return false;
    color = it->second;
    return true;
}

void resetUiExtras()
{
    UiState& s = ui();
    s.themeLibrary = true;
    s.themeActive = true;
    s.openThemes.clear();
    s.colorAnswers.clear();
    s.colorCalls.clear();
    s.mouseTracked.clear();
    s.registryReadOnly = false;
    s.registryRefusal = nullptr;
    s.sysColors.clear();
    // Resource modules stay: their handles may be held by the code under test
    // for the whole process, as a loaded module's would.
    resetDraw();
}

} // namespace detail

void setThemeLibraryAvailable(bool available) { detail::ui().themeLibrary = available; }
void setThemeActive(bool active) { detail::ui().themeActive = active; }

HMODULE createResourceModule(const std::wstring& name)
{
    detail::ui().resourceModules.push_back(std::make_unique<detail::ResourceModuleData>());
    detail::ui().resourceModules.back()->name = name;
    return reinterpret_cast<HMODULE>(detail::ui().resourceModules.back().get());
}

bool addResourceString(HMODULE module, UINT id, const std::wstring& text)
{
    auto* m = detail::resourceModuleOf(module);
    if (!m)
        return false;
    std::vector<uint16_t> units;
    detail::appendUtf16(units, text);
    if (units.size() > kMaxResourceStringLength)
        return false;
    m->strings[id] = text;
    return true;
}

void setResourceStringBlock(HMODULE module, UINT blockNumber, const std::vector<uint16_t>& words)
{
    if (auto* m = detail::resourceModuleOf(module))
        m->rawBlocks[blockNumber] = words;
}

void addResourceIcon(HMODULE module, UINT id)
{
    if (auto* m = detail::resourceModuleOf(module))
        m->icons.insert(id);
}

void addResourceMenu(HMODULE module, UINT id, const std::vector<std::vector<MenuResourceItem>>& popups)
{
    if (auto* m = detail::resourceModuleOf(module))
        m->menus[id] = popups;
}

void addResourceDialog(HMODULE module, UINT id, const DialogTemplate& dialogTemplate)
{
    if (auto* m = detail::resourceModuleOf(module)) {
        m->dialogs.insert(id);
        registerDialogTemplate(id, dialogTemplate);
    }
}

void pushColorDialogAnswer(bool ok, COLORREF color) { detail::ui().colorAnswers.push_back(detail::ColorAnswer{ok, color}); }

std::vector<ColorDialogCall> colorDialogCalls() { return detail::ui().colorCalls; }

void setRegistryReadOnly(bool readOnly) { detail::ui().registryReadOnly = readOnly; }

void setRegistryRefusal(RegistryRefusal refuses) { detail::ui().registryRefusal = std::move(refuses); }

void setSysColor(int index, COLORREF color) { detail::ui().sysColors[index] = color & 0xFFFFFF; }

void moveMouseAway()
{
    const std::set<HWND> tracked = detail::ui().mouseTracked;
    detail::ui().mouseTracked.clear();
    for (HWND h : tracked)
        if (IsWindow(h))
            PostMessageW(h, WM_MOUSELEAVE, 0, 0);
}

} // namespace kvplat

using kvplat::detail::ui;

// ---------------------------------------------------------------- resources

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    kvplat::detail::ResourceModuleData* m = kvplat::detail::resourceModuleOf(module);
    if (!m || !IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) {
        SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
        return nullptr;
    }
    const ULONG_PTR t = reinterpret_cast<ULONG_PTR>(type);
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    auto key = std::make_pair(t, id);
    auto it = m->built.find(key);
    if (it != m->built.end())
        return reinterpret_cast<HRSRC>(it->second.get());
    std::unique_ptr<kvplat::detail::Resource> r;
    if (t == 6) {
        r = kvplat::detail::stringBlock(*m, id);
    } else if (kvplat::detail::holds(*m, t, id)) {
        r = std::make_unique<kvplat::detail::Resource>();
        r->bytes.assign(6, 0);
    }
    if (!r) {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    HRSRC h = reinterpret_cast<HRSRC>(r.get());
    m->built[key] = std::move(r);
    return h;
}

HRSRC WINAPI FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD) { return FindResourceW(module, name, type); }

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    if (!kvplat::detail::isResourceModule(module) || !resource)
        return nullptr;
    return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID WINAPI LockResource(HGLOBAL data)
{
    if (!data)
        return nullptr;
    return reinterpret_cast<kvplat::detail::Resource*>(data)->bytes.data();
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    if (!kvplat::detail::isResourceModule(module) || !resource)
        return 0;
    return static_cast<DWORD>(reinterpret_cast<kvplat::detail::Resource*>(resource)->bytes.size());
}

HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT)
{
    if (!IS_INTRESOURCE(name) || (type != IMAGE_ICON && type != IMAGE_BITMAP))
        return nullptr;
    const LPCWSTR resourceType = type == IMAGE_ICON ? RT_GROUP_ICON : RT_BITMAP;
    if (!FindResourceW(instance, name, resourceType))
        return nullptr;
    const int w = cx > 0 ? cx : 16, h = cy > 0 ? cy : 16;
    // A framed square: the frame in the button face colour (what the system
    // maps light grey to when 3-D colours are asked for), black inside.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t facePixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    std::vector<uint32_t> bits(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
                bits[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = facePixel;
    HICON icon = kvplat::detail::newIcon(w, h, bits, std::vector<uint32_t>());
    kvplat::detail::log("LoadImage " + std::to_string(reinterpret_cast<ULONG_PTR>(name)) + " -> " +
                        kvplat::detail::hex(reinterpret_cast<uintptr_t>(icon)));
    return icon;
}

// ---------------------------------------------------------------- colour dialog

BOOL WINAPI ChooseColorW(LPCHOOSECOLORW choose)
{
    if (!choose || choose->lStructSize != sizeof(CHOOSECOLORW))
        return FALSE;
    kvplat::ColorDialogCall call;
    call.owner = choose->hwndOwner;
    call.initial = choose->rgbResult;
    call.flags = choose->Flags;
    call.hooked = (choose->Flags & CC_ENABLEHOOK) && choose->lpfnHook;
    ui().colorCalls.push_back(call);
    kvplat::detail::ColorAnswer answer{false, 0};
    if (!ui().colorAnswers.empty()) {
        answer = ui().colorAnswers.front();
        ui().colorAnswers.erase(ui().colorAnswers.begin());
    }
    HWND dialog = nullptr;
    if (call.hooked) {
        dialog = CreateWindowExW(0, WC_DIALOG, L"Color", WS_POPUP | WS_CAPTION, 0, 0, 300, 200, choose->hwndOwner,
                                 nullptr, nullptr, nullptr);
        choose->lpfnHook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(choose));
    }
    const COLORREF before = choose->rgbResult;
    BOOL result = FALSE;
    if (answer.ok) {
        choose->rgbResult = (choose->Flags & CC_SOLIDCOLOR) ? (answer.color & 0xFFFFFF) : answer.color;
        result = TRUE;
        // The hook may refuse the colour; the scripted user then gives up.
        if (call.hooked && IsWindow(dialog) &&
            choose->lpfnHook(dialog, RegisterWindowMessageW(COLOROKSTRINGW), 0, reinterpret_cast<LPARAM>(choose))) {
            choose->rgbResult = before;
            result = FALSE;
        }
    }
    if (dialog && IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

// ---------------------------------------------------------------- user

BOOL WINAPI TrackMouseEvent(LPTRACKMOUSEEVENT track)
{
    if (!track || track->cbSize != sizeof(TRACKMOUSEEVENT))
        return FALSE;
    auto& tracked = ui().mouseTracked;
    if (track->dwFlags & TME_QUERY) {
        const HWND h = track->hwndTrack;
        track->dwFlags = h && tracked.count(h) ? TME_LEAVE : 0;
        return TRUE;
    }
    if (!IsWindow(track->hwndTrack))
        return FALSE;
    if (track->dwFlags & TME_CANCEL)
        tracked.erase(track->hwndTrack);
    else if (track->dwFlags & TME_LEAVE)
        tracked.insert(track->hwndTrack);
    return TRUE;
}

BOOL WINAPI GetKeyboardState(BYTE* keyState)
{
    if (!keyState)
        return FALSE;
    for (int k = 0; k < 256; ++k)
        keyState[k] = GetKeyState(k) < 0 ? 0x80 : 0;
    return TRUE;
}

int WINAPI ToAscii(UINT virtKey, UINT, const BYTE* keyState, WORD* chars, UINT)
{
    if (!chars)
        return 0;
    const bool shift = keyState && (keyState[VK_SHIFT] & 0x80);
    int c = 0;
    if (virtKey >= 'A' && virtKey <= 'Z')
        c = shift ? static_cast<int>(virtKey) : static_cast<int>(virtKey) + 32;
    else if (virtKey >= '0' && virtKey <= '9')
        c = static_cast<int>(virtKey);
    else if (virtKey == VK_SPACE)
        c = ' ';
    else if (virtKey == VK_OEM_PLUS)
        c = shift ? '+' : '=';
    else if (virtKey == VK_OEM_MINUS)
        c = shift ? '_' : '-';
    else if (virtKey == VK_ADD)
        c = '+';
    else if (virtKey == VK_SUBTRACT)
        c = '-';
    if (!c)
        return 0;
    chars[0] = static_cast<WORD>(c);
    return 1;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    const std::vector<HWND> children = kvplat::childWindows(dialog);
    if (children.empty())
        return nullptr;
    auto at = std::find(children.begin(), children.end(), control);
    if (at == children.end())
        return children.front();
    // The group runs from the last WS_GROUP item at or before the control to
    // the item before the next WS_GROUP item.
    size_t first = static_cast<size_t>(at - children.begin());
    while (first > 0 && !(GetWindowLongW(children[first], GWL_STYLE) & WS_GROUP))
        --first;
    size_t last = static_cast<size_t>(at - children.begin());
    while (last + 1 < children.size() && !(GetWindowLongW(children[last + 1], GWL_STYLE) & WS_GROUP))
        ++last;
    const size_t n = last - first + 1;
    size_t i = static_cast<size_t>(at - children.begin()) - first;
    for (size_t step = 0; step < n; ++step) {
        i = previous ? (i + n - 1) % n : (i + 1) % n;
        HWND h = children[first + i];
        if (IsWindowVisible(h) && IsWindowEnabled(h))
            return h;
    }
    return control;
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return FALSE;
    // Top first, owned windows too.
    const std::vector<HWND> tops = kvplat::topLevelWindows();
    for (HWND h : tops)
        if (IsWindow(h) && !proc(h, lParam))
            return FALSE;
    return TRUE;
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags)
{
    if (!IsWindow(hwnd) && flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10001));
}

BOOL WINAPI GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info)
{
    if (monitor != reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10001)) || !info ||
        info->cbSize != sizeof(MONITORINFO))
        return FALSE;
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    info->rcMonitor = RECT{0, 0, w, h};
    info->rcWork = RECT{0, 0, w, h - 40};
    info->dwFlags = 1;  // MONITORINFOF_PRIMARY
    return TRUE;
}

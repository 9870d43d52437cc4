// GDI objects and calls are recorded and logged, never drawn; the registry is
// an in-memory tree that lives as long as the process.
#include "platform/platform_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <set>

namespace kvplat {
namespace detail {

GdiState& gdi()
{
    return lasting<GdiState>();
}

std::string hex(uintptr_t v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "0x%lx", static_cast<unsigned long>(v));
    return buffer;
}

std::string colorText(COLORREF c)
{
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "rgb(%u,%u,%u)", GetRValue(c), GetGValue(c), GetBValue(c));
    return buffer;
}

void log(const std::string& line) { gdi().log.push_back(line); }

HGDIOBJ newObject(GdiKind kind, COLORREF color, bool stock)
{
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(gdi().next);
    gdi().next += 4;
    GdiObject o{};
    o.kind = kind;
    o.color = color;
    o.stock = stock;
    gdi().objects[h] = o;
    return h;
}

std::string rectText(const RECT* r)
{
    if (!r)
        return "(null)";
    char buffer[96];
    std::snprintf(buffer, sizeof(buffer), "(%d,%d,%d,%d)", static_cast<int>(r->left), static_cast<int>(r->top),
                  static_cast<int>(r->right), static_cast<int>(r->bottom));
    return buffer;
}

namespace {

// ---------------------------------------------------------------- registry

struct RegValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegKey {
    std::wstring path;  // as first created
    std::map<std::wstring, RegValue> values;  // by lower-case name
};

struct Registry {
    std::map<std::wstring, RegKey> keys;  // by lower-case path
    std::set<HKEY> open;
    std::map<HKEY, std::wstring> handlePaths;
    uintptr_t next = 0x30000;
};

Registry& reg()
{
    return lasting<Registry>();
}

std::wstring lower(std::wstring s)
{
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool rootName(HKEY key, std::wstring& out)
{
    if (key == HKEY_CURRENT_USER)
        out = L"HKEY_CURRENT_USER";
    else if (key == HKEY_LOCAL_MACHINE)
        out = L"HKEY_LOCAL_MACHINE";
    else if (key == HKEY_CLASSES_ROOT)
        out = L"HKEY_CLASSES_ROOT";
    else
        return false;
    return true;
}

bool keyPath(HKEY key, std::wstring& out)
{
    if (rootName(key, out))
        return true;
    auto it = reg().handlePaths.find(key);
    if (it == reg().handlePaths.end())
        return false;
    out = it->second;
    return true;
}

// The longest name a key may have, as the platform's registry allows, in the
// UTF-16 units it stores names in.
const size_t kMaxKeyName = 255;

// Joins a sub-key path to base. False, as the platform's registry answers, for
// a part longer than a key name may be or an empty part (a leading or a
// doubled separator); one separator at the end is taken.
bool join(const std::wstring& base, LPCWSTR sub, std::wstring& out)
{
    out = base;
    if (!sub || !*sub)
        return true;
    std::wstring rest = sub;
    if (rest.size() > 1 && rest.back() == L'\\')
        rest.pop_back();
    for (size_t start = 0;;) {
        const size_t end = rest.find(L'\\', start);
        const std::wstring part = rest.substr(start, end == std::wstring::npos ? end : end - start);
        if (part.empty() || utf16Length(part) > kMaxKeyName)
            return false;
        out += L"\\" + part;
        if (end == std::wstring::npos)
            return true;
        start = end + 1;
    }
}

HKEY openHandle(const std::wstring& path)
{
    HKEY h = reinterpret_cast<HKEY>(reg().next);
    reg().next += 4;
    reg().open.insert(h);
    reg().handlePaths[h] = path;
    return h;
}

} // namespace

HDC windowDc(HWND hwnd)
{
    HDC h = reinterpret_cast<HDC>(gdi().next);
    gdi().next += 4;
    gdi().dcs[h].hwnd = hwnd;
    return h;
}

void resetGdi()
{
    GdiState& s = gdi();
    for (auto it = s.objects.begin(); it != s.objects.end();) {
        if (it->second.stock)
            ++it;
        else
            it = s.objects.erase(it);
    }
    s.dcs.clear();
    s.log.clear();
}

} // namespace detail

std::vector<std::string> gdiLog() { return detail::gdi().log; }
void clearGdiLog() { detail::gdi().log.clear(); }

int liveGdiObjects()
{
    int n = 0;
    for (const auto& kv : detail::gdi().objects)
        if (!kv.second.stock)
            ++n;
    return n;
}

std::vector<std::wstring> registryDump()
{
    std::vector<std::wstring> out;
    for (const auto& k : detail::reg().keys) {
        for (const auto& v : k.second.values) {
            std::wstring line = k.second.path + L"\\" + v.second.name + L" = ";
            const auto& d = v.second.data;
            if (v.second.type == REG_DWORD && d.size() == sizeof(DWORD)) {
                DWORD value;
                std::memcpy(&value, d.data(), sizeof(value));
                line += std::to_wstring(value);
            } else if (v.second.type == REG_SZ || v.second.type == REG_EXPAND_SZ) {
                std::wstring text(d.size() / sizeof(wchar_t), L'\0');
                if (!text.empty())
                    std::memcpy(&text[0], d.data(), text.size() * sizeof(wchar_t));
                while (!text.empty() && text.back() == L'\0')
                    text.pop_back();
                line += L"\"" + text + L"\"";
            } else {
                line += L"<" + std::to_wstring(d.size()) + L" bytes>";
            }
            out.push_back(line);
        }
    }
    return out;
}

void clearRegistry()
{
    detail::reg().keys.clear();
    detail::reg().open.clear();
    detail::reg().handlePaths.clear();
}

} // namespace kvplat

using kvplat::detail::gdi;
using kvplat::detail::GdiKind;

// ---------------------------------------------------------------- GDI

DWORD WINAPI GetSysColor(int index)
{
    COLORREF changed;
    if (kvplat::detail::sysColorOverride(index, changed))
        return changed;
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
    case COLOR_WINDOWFRAME:
    case COLOR_INFOTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(0, 120, 215);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_3DDKSHADOW:
        return RGB(105, 105, 105);
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_3DLIGHT:
        return RGB(227, 227, 227);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    case COLOR_INFOBK:
        return RGB(255, 255, 225);
    case COLOR_MENU:
    case COLOR_BTNFACE:
    default:
        return RGB(240, 240, 240);
    }
}

HBRUSH WINAPI GetSysColorBrush(int index)
{
    auto& brushes = gdi().sysBrushes;
    auto it = brushes.find(index);
    if (it != brushes.end())
        return it->second;
    HBRUSH h = static_cast<HBRUSH>(kvplat::detail::newObject(GdiKind::Brush, GetSysColor(index), true));
    brushes[index] = h;
    return h;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    HGDIOBJ h = kvplat::detail::newObject(GdiKind::Brush, color, false);
    kvplat::detail::log("CreateSolidBrush " + kvplat::detail::colorText(color) + " -> " +
                        kvplat::detail::hex(reinterpret_cast<uintptr_t>(h)));
    return static_cast<HBRUSH>(h);
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color)
{
    HGDIOBJ h = kvplat::detail::newObject(GdiKind::Pen, color, false);
    kvplat::detail::log("CreatePen style=" + std::to_string(style) + " width=" + std::to_string(width) + " " +
                        kvplat::detail::colorText(color) + " -> " + kvplat::detail::hex(reinterpret_cast<uintptr_t>(h)));
    return static_cast<HPEN>(h);
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    auto& objects = gdi().objects;
    auto it = objects.find(object);
    if (it == objects.end()) {
        kvplat::detail::log("DeleteObject " + kvplat::detail::hex(reinterpret_cast<uintptr_t>(object)) + " (not an object)");
        return FALSE;
    }
    kvplat::detail::log("DeleteObject " + kvplat::detail::hex(reinterpret_cast<uintptr_t>(object)));
    if (!it->second.stock)
        objects.erase(it);
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int index)
{
    auto& stock = gdi().stock;
    auto it = stock.find(index);
    if (it != stock.end())
        return it->second;
    GdiKind kind = GdiKind::Brush;
    COLORREF color = 0;
    switch (index) {
    case WHITE_BRUSH:
        color = RGB(255, 255, 255);
        break;
    case LTGRAY_BRUSH:
        color = RGB(192, 192, 192);
        break;
    case GRAY_BRUSH:
        color = RGB(128, 128, 128);
        break;
    case WHITE_PEN:
        kind = GdiKind::Pen;
        color = RGB(255, 255, 255);
        break;
    case BLACK_PEN:
    case NULL_PEN:
        kind = GdiKind::Pen;
        break;
    case DEFAULT_GUI_FONT:
        kind = GdiKind::Font;
        break;
    default:
        break;
    }
    HGDIOBJ h = kvplat::detail::newObject(kind, color, true);
    stock[index] = h;
    return h;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object)
{
    auto dcIt = gdi().dcs.find(dc);
    auto objIt = gdi().objects.find(object);
    if (dcIt == gdi().dcs.end() || objIt == gdi().objects.end())
        return nullptr;
    const int slot = static_cast<int>(objIt->second.kind);
    if (slot > static_cast<int>(GdiKind::Bitmap))
        return nullptr;  // icons and image lists are drawn, not selected
    HGDIOBJ old = dcIt->second.selected[slot];
    dcIt->second.selected[slot] = object;
    kvplat::detail::log("SelectObject " + kvplat::detail::hex(reinterpret_cast<uintptr_t>(object)));
    if (!old)
        old = GetStockObject(slot == 1 ? BLACK_PEN : slot == 2 ? DEFAULT_GUI_FONT : WHITE_BRUSH);
    return old;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!gdi().dcs.count(dc) || !rect)
        return 0;
    // Small values name a system colour plus one, as the system allows.
    const uintptr_t b = reinterpret_cast<uintptr_t>(brush);
    std::string what;
    if (b > 0 && b <= 31) {
        what = "syscolor " + std::to_string(b - 1);
    } else {
        auto it = gdi().objects.find(brush);
        if (it == gdi().objects.end())
            return 0;
        what = kvplat::detail::colorText(it->second.color);
    }
    kvplat::detail::log("FillRect " + kvplat::detail::rectText(rect) + " " + what);
    return 1;
}

int WINAPI FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!gdi().dcs.count(dc) || !rect || !gdi().objects.count(brush))
        return 0;
    kvplat::detail::log("FrameRect " + kvplat::detail::rectText(rect));
    return 1;
}

namespace {

// Sets one drawing attribute of a device context and gives back the value it
// replaced, or `failed` for a handle that is no device context.
template <typename Value, typename Field>
Value swapDcAttribute(HDC dc, Field field, Value value, Value failed)
{
    auto it = gdi().dcs.find(dc);
    if (it == gdi().dcs.end())
        return failed;
    const Value old = it->second.*field;
    it->second.*field = value;
    return old;
}

} // namespace

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color)
{
    return swapDcAttribute(dc, &kvplat::detail::DcState::text, color, static_cast<COLORREF>(CLR_INVALID));
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color)
{
    return swapDcAttribute(dc, &kvplat::detail::DcState::background, color, static_cast<COLORREF>(CLR_INVALID));
}

int WINAPI SetBkMode(HDC dc, int mode)
{
    return swapDcAttribute(dc, &kvplat::detail::DcState::bkMode, mode, 0);
}

int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format)
{
    if (!gdi().dcs.count(dc) || !text || !rect)
        return 0;
    std::wstring t = count < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(count));
    const int height = kvplat::detail::kLineHeight;
    const LONG charWidth = kvplat::detail::kCharWidth;
    if (format & DT_CALCRECT) {
        rect->right = rect->left + static_cast<LONG>(t.size()) * charWidth;
        rect->bottom = rect->top + height;
        return height;
    }
    // A text wider than the rectangle ends in an ellipsis; with
    // DT_MODIFYSTRING the caller's buffer (which has room for four more
    // characters) receives what was drawn.
    const std::wstring ellipsis = L"...";
    const LONG width = rect->right - rect->left;
    if ((format & DT_END_ELLIPSIS) && static_cast<LONG>(t.size()) * charWidth > width) {
        const LONG fits = std::max<LONG>(width / charWidth - static_cast<LONG>(ellipsis.size()), 0);
        t = t.substr(0, std::min(t.size(), static_cast<size_t>(fits))) + ellipsis;
        if (format & DT_MODIFYSTRING) {
            auto* buffer = const_cast<wchar_t*>(text);
            std::copy(t.begin(), t.end(), buffer);
            buffer[t.size()] = L'\0';
        }
    }
    std::string narrow;
    for (wchar_t c : t)
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    kvplat::detail::log("DrawText \"" + narrow + "\" " + kvplat::detail::rectText(rect));
    return height;
}

BOOL WINAPI DrawFocusRect(HDC dc, const RECT* rect)
{
    if (!gdi().dcs.count(dc) || !rect)
        return FALSE;
    kvplat::detail::log("DrawFocusRect " + kvplat::detail::rectText(rect));
    return TRUE;
}

BOOL WINAPI DestroyIcon(HICON icon)
{
    auto& objects = gdi().objects;
    auto it = objects.find(icon);
    if (it == objects.end() || it->second.kind != GdiKind::Icon)
        return FALSE;
    kvplat::detail::log("DestroyIcon " + kvplat::detail::hex(reinterpret_cast<uintptr_t>(icon)));
    objects.erase(it);
    return TRUE;
}

int WINAPI ReleaseDC(HWND, HDC dc) { return gdi().dcs.erase(dc) ? 1 : 0; }

// ---------------------------------------------------------------- registry

LSTATUS WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY result,
                               LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::wstring base, path;
    if (!kvplat::detail::keyPath(key, base))
        return ERROR_INVALID_HANDLE;
    if (!kvplat::detail::join(base, subKey, path))
        return ERROR_INVALID_PARAMETER;
    auto& keys = kvplat::detail::reg().keys;
    bool created = false;
    // Every key on the way is created as well.
    std::wstring partial;
    size_t pos = 0;
    while (pos != std::wstring::npos) {
        pos = path.find(L'\\', pos + 1);
        partial = path.substr(0, pos);
        const std::wstring k = kvplat::detail::lower(partial);
        if (!keys.count(k)) {
            keys[k].path = partial;
            created = true;
        }
    }
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = kvplat::detail::openHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::wstring base, path;
    if (!kvplat::detail::keyPath(key, base))
        return ERROR_INVALID_HANDLE;
    if (!kvplat::detail::join(base, subKey, path))
        return ERROR_INVALID_PARAMETER;
    std::wstring root;
    const bool isRoot = kvplat::detail::rootName(key, root) && path == root;
    if (!isRoot && !kvplat::detail::reg().keys.count(kvplat::detail::lower(path)))
        return ERROR_FILE_NOT_FOUND;
    *result = kvplat::detail::openHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    std::wstring path;
    if (!kvplat::detail::keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    if (!data && size > 0)
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && size != sizeof(DWORD))
        return ERROR_INVALID_PARAMETER;
    const std::wstring name = valueName ? valueName : L"";
    if (kvplat::detail::registryReadOnly() || kvplat::detail::registryRefuses(path, name))
        return ERROR_ACCESS_DENIED;
    auto& k = kvplat::detail::reg().keys[kvplat::detail::lower(path)];
    if (k.path.empty())
        k.path = path;
    kvplat::detail::RegValue& v = k.values[kvplat::detail::lower(name)];
    v.name = name;
    v.type = type;
    v.data.assign(data, data + size);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    std::wstring path;
    if (!kvplat::detail::keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    auto& keys = kvplat::detail::reg().keys;
    auto k = keys.find(kvplat::detail::lower(path));
    if (k == keys.end())
        return ERROR_FILE_NOT_FOUND;
    auto v = k->second.values.find(kvplat::detail::lower(valueName ? valueName : L""));
    if (v == k->second.values.end())
        return ERROR_FILE_NOT_FOUND;
    const DWORD needed = static_cast<DWORD>(v->second.data.size());
    if (type)
        *type = v->second.type;
    if (data) {
        // A short buffer is left untouched; the caller learns the size needed.
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed)
            std::memcpy(data, v->second.data.data(), needed);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueW(HKEY key, LPCWSTR valueName)
{
    std::wstring path;
    if (!kvplat::detail::keyPath(key, path))
        return ERROR_INVALID_HANDLE;
    auto& keys = kvplat::detail::reg().keys;
    auto k = keys.find(kvplat::detail::lower(path));
    if (k == keys.end() || !k->second.values.erase(kvplat::detail::lower(valueName ? valueName : L"")))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteKeyW(HKEY key, LPCWSTR subKey)
{
    std::wstring base, joined;
    if (!kvplat::detail::keyPath(key, base))
        return ERROR_INVALID_HANDLE;
    if (!kvplat::detail::join(base, subKey, joined))
        return ERROR_INVALID_PARAMETER;
    const std::wstring path = kvplat::detail::lower(joined);
    auto& keys = kvplat::detail::reg().keys;
    auto k = keys.find(path);
    if (k == keys.end())
        return ERROR_FILE_NOT_FOUND;
    // A key with sub-keys cannot be deleted in one step.
    const std::wstring prefix = path + L"\\";
    for (const auto& other : keys)
        if (other.first.compare(0, prefix.size(), prefix) == 0)
            return ERROR_ACCESS_DENIED;
    keys.erase(k);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY key)
{
    std::wstring root;
    if (kvplat::detail::rootName(key, root))
        return ERROR_SUCCESS;
    auto& r = kvplat::detail::reg();
    if (!r.open.erase(key))
        return ERROR_INVALID_HANDLE;
    r.handlePaths.erase(key);
    return ERROR_SUCCESS;
}

// String tables of modules: LoadStringW over the strings a test or the host
// simulator gives a loaded module, and over the string blocks of resource
// modules described in code; the window-class library's string look-up
// through its list of resource modules.
#include "platform/atlbase.h"
#include "platform/kvPlatform.h"
#include "platform/kvPlatformUi.h"
#include "platform/platform_internal.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace {

struct StringTables {
    std::mutex lock;
    std::map<std::pair<HMODULE, UINT>, std::wstring> strings;
};

StringTables& tables()
{
    return kvplat::detail::lasting<StringTables>();
}

// String id of a resource module's block: 16 counted strings of 16-bit
// units, UTF-16 whatever the width of wchar_t here. An empty string counts
// as missing, as it does for LoadStringW.
bool blockString(HMODULE module, UINT id, std::wstring& out)
{
    HRSRC block = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    HGLOBAL data = block ? LoadResource(module, block) : nullptr;
    const auto* words = static_cast<const uint16_t*>(data ? LockResource(data) : nullptr);
    if (!words)
        return false;
    const std::size_t total = SizeofResource(module, block) / sizeof(uint16_t);
    std::size_t at = 0;
    for (UINT skip = id % 16; skip > 0; --skip) {
        if (at >= total)
            return false;
        at += static_cast<std::size_t>(words[at]) + 1;
    }
    if (at >= total || words[at] == 0 || at + 1 + words[at] > total)
        return false;
    out.clear();
    const std::size_t end = at + 1 + words[at];
    for (std::size_t i = at + 1; i < end; ++i) {
        const uint16_t w = words[i];
        if (sizeof(wchar_t) > 2 && w >= 0xD800 && w < 0xDC00 && i + 1 < end && words[i + 1] >= 0xDC00 &&
            words[i + 1] < 0xE000) {
            out.push_back(static_cast<wchar_t>(0x10000 + ((w - 0xD800) << 10) + (words[i + 1] - 0xDC00)));
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(w));
        }
    }
    return true;
}

bool findString(HMODULE module, UINT id, std::wstring& out)
{
    if (kvplat::detail::isResourceModule(module))
        return blockString(module, id, out);
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.strings.find({module, id});
    if (it == t.strings.end() || it->second.empty())
        return false;
    out = it->second;
    return true;
}

} // namespace

namespace kvplat {

bool setStringResource(HMODULE module, UINT id, const std::wstring& text)
{
    if (detail::isResourceModule(module))
        return addResourceString(module, id, text);
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    t.strings[{module, id}] = text;
    return true;
}

} // namespace kvplat

int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = L'\0';
    std::wstring text;
    if (!findString(module, id, text))
        return 0;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = L'\0';
    return static_cast<int>(n);
}

namespace ATL {

HINSTANCE AtlFindStringResourceInstance(UINT id)
{
    std::wstring text;
    for (int i = 0;; ++i) {
        HINSTANCE module = atlBaseModule().GetHInstanceAt(i);
        if (!module || findString(module, id, text))
            return module;
    }
}

int AtlLoadString(UINT id, LPWSTR buffer, int capacity)
{
    if (buffer && capacity > 0)
        buffer[0] = L'\0';
    HINSTANCE module = AtlFindStringResourceInstance(id);
    return module ? LoadStringW(module, id, buffer, capacity) : 0;
}

} // namespace ATL

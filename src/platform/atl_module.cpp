// String tables of modules and the window-class library's list of resource
// modules searched for them.
#include "platform/atlbase.h"
#include "platform/kvPlatform.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

struct StringTables {
    std::mutex lock;
    std::map<std::pair<HMODULE, UINT>, std::wstring> strings;
    std::vector<HINSTANCE> resourceModules;
};

StringTables& tables()
{
    static StringTables t;
    return t;
}

} // namespace

namespace kvplat {

void setStringResource(HMODULE module, UINT id, const std::wstring& text)
{
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    t.strings[{module, id}] = text;
}

} // namespace kvplat

int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = L'\0';
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.strings.find({module, id});
    if (it == t.strings.end())
        return 0;
    const std::size_t n = std::min(it->second.size(), static_cast<std::size_t>(capacity) - 1);
    std::copy_n(it->second.data(), n, buffer);
    buffer[n] = L'\0';
    return static_cast<int>(n);
}

namespace ATL {

CAtlBaseModule _AtlBaseModule;

bool CAtlBaseModule::AddResourceInstance(HINSTANCE instance)
{
    if (!instance)
        return false;
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    t.resourceModules.push_back(instance);
    return true;
}

bool CAtlBaseModule::RemoveResourceInstance(HINSTANCE instance)
{
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = std::find(t.resourceModules.begin(), t.resourceModules.end(), instance);
    if (it == t.resourceModules.end())
        return false;
    t.resourceModules.erase(it);
    return true;
}

HINSTANCE CAtlBaseModule::GetHInstanceAt(int i) const
{
    StringTables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    if (i < 0 || static_cast<std::size_t>(i) >= t.resourceModules.size())
        return nullptr;
    return t.resourceModules[static_cast<std::size_t>(i)];
}

HINSTANCE AtlFindStringResourceInstance(UINT id)
{
    for (int i = 0;; ++i) {
        HINSTANCE module = _AtlBaseModule.GetHInstanceAt(i);
        if (!module)
            return nullptr;
        StringTables& t = tables();
        std::lock_guard<std::mutex> guard(t.lock);
        if (t.strings.count({module, id}) != 0)
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

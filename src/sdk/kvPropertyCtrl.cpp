#include "sdk/kvPropertyCtrl.h"

#include "sdk/kvGenVal.h"
#include "sdk/kvPropertySet.h"

#include <cstdio>
#include <cwchar>

kvCTwPropertyCtrlBase::kvCTwPropertyCtrlBase() = default;

kvCTwPropertyCtrlBase::~kvCTwPropertyCtrlBase() = default;

bool kvCTwPropertyCtrlBase::ReplaceCtrl(HWND placeholder)
{
    if (!placeholder || !::IsWindow(placeholder))
        return false;
    m_window = placeholder;
    return true;
}

bool kvCTwPropertyCtrlBase::build(kvIfPtr<kvIAppExecContext1> context, kvCPrPropertySet* set, HWND owner, bool)
{
    m_context = context;
    m_set = set;
    m_owner = owner;
    return set != nullptr;
}

void kvCTwPropertyCtrlBase::reInitialize()
{
    m_categories.clear();
}

const kvCTwPropertyCtrlBase::Category* kvCTwPropertyCtrlBase::findCategory(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    for (const Category& c : m_categories) {
        if (std::wcscmp(c.name.c_str(), name) == 0)
            return &c;
    }
    return nullptr;
}

bool kvCTwPropertyCtrlBase::addCategory(const wchar_t* name, const wchar_t* text, bool flag)
{
    if (!name || findCategory(name))
        return false;
    m_categories.push_back(Category{kvCString(name), kvCString(text), flag, {}});
    return true;
}

bool kvCTwPropertyCtrlBase::addProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text,
                                        ePropCtrlType type, nCads::eGeoAssociateType associate,
                                        nCads::eParameterType parameter, int extra, bool flag)
{
    if (!category || !key)
        return false;
    for (Category& c : m_categories) {
        if (std::wcscmp(c.name.c_str(), category) == 0) {
            c.lines.push_back(Line{kvCString(category), kvCString(key), kvCString(text), static_cast<int>(type),
                                   static_cast<int>(associate), static_cast<int>(parameter), extra, flag});
            return true;
        }
    }
    return false;
}

namespace {

template <class T>
bool readValue(const kvCPrPropertySet* set, const wchar_t* key, T& out)
{
    try {
        kvCGenValueNc<T> holder;
        if (!set->getPropValue(key, holder))
            return false;
        out = holder.value();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

std::wstring kvCTwPropertyCtrlBase::valueText(const wchar_t* key) const
{
    if (!m_set || !key)
        return std::wstring();
    kvPrProperty* entry = m_set->find(key);
    if (!entry)
        return std::wstring();
    if (dynamic_cast<kvCPrPropertySet*>(entry) || dynamic_cast<kvPrPropRef*>(entry)) {
        kvCPrPropertySet* target = m_set->getPropSet(key);
        return target && target->getName() ? std::wstring(target->getName()) : std::wstring(target ? L"(set)" : L"(none)");
    }
    bool b = false;
    int i = 0;
    double d = 0.0;
    kvCString s;
    wchar_t buffer[64];
    if (readValue(m_set, key, s))
        return s.str();
    if (readValue(m_set, key, i)) {
        std::swprintf(buffer, 64, L"%d", i);
        return buffer;
    }
    if (readValue(m_set, key, d)) {
        std::swprintf(buffer, 64, L"%lg", d);
        return buffer;
    }
    if (readValue(m_set, key, b))
        return b ? L"true" : L"false";
    return std::wstring();
}

std::vector<std::wstring> kvCTwPropertyCtrlBase::displayLines() const
{
    std::vector<std::wstring> lines;
    for (const Category& c : m_categories) {
        lines.push_back(L"[" + c.text.str() + L"]");
        for (const Line& l : c.lines)
            lines.push_back(L"  " + l.text.str() + L": " + valueText(l.key.c_str()));
    }
    return lines;
}

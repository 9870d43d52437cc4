#include "sdk/kvPropertyCtrl.h"

#include "sdk/kvGenVal.h"
#include "host/object/kvPropertyBag.h"
#include "sdk/kvPropertySet.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <map>
#include <utility>

namespace {

std::map<HWND, kvCTwPropertyCtrlBase*>& controlsByWindow()
{
    static std::map<HWND, kvCTwPropertyCtrlBase*> controls;
    return controls;
}

}  // namespace

kvCTwPropertyCtrlBase::kvCTwPropertyCtrlBase() = default;

kvCTwPropertyCtrlBase::~kvCTwPropertyCtrlBase()
{
    auto it = controlsByWindow().find(m_window);
    if (it != controlsByWindow().end() && it->second == this)
        controlsByWindow().erase(it);
}

kvCTwPropertyCtrlBase* kvCTwPropertyCtrlBase::fromWindow(HWND window)
{
    if (!window || !::IsWindow(window))
        return nullptr;
    auto it = controlsByWindow().find(window);
    return it == controlsByWindow().end() ? nullptr : it->second;
}

bool kvCTwPropertyCtrlBase::ReplaceCtrl(HWND placeholder)
{
    if (!placeholder || !::IsWindow(placeholder))
        return false;
    auto it = controlsByWindow().find(m_window);
    if (it != controlsByWindow().end() && it->second == this)
        controlsByWindow().erase(it);
    m_window = placeholder;
    // A window handle may come back for a new window after the old one died.
    controlsByWindow()[placeholder] = this;
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

// A control shows a property once: a key added again to its category
// takes over the line that showed it, label and look included.
void kvCTwPropertyCtrlBase::placeLine(Category& category, const Line& line)
{
    for (Line& shown : category.lines) {
        if (shown.key == line.key) {
            shown = line;
            return;
        }
    }
    category.lines.push_back(line);
}

bool kvCTwPropertyCtrlBase::addProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text,
                                        ePropCtrlType type, nCads::eGeoAssociateType associate,
                                        nCads::eParameterType parameter, int extra, bool flag)
{
    if (!category || !key)
        return false;
    for (Category& c : m_categories) {
        if (std::wcscmp(c.name.c_str(), category) == 0) {
            placeLine(c, Line{kvCString(category), kvCString(key), kvCString(text), static_cast<int>(type),
                              static_cast<int>(associate), static_cast<int>(parameter), extra, flag, kvCString(),
                              kvCString()});
            return true;
        }
    }
    return false;
}

bool kvCTwPropertyCtrlBase::addUiProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text,
                                          ePropCtrlType type, const kvTPropertyBag<kvCProperty>& bag, bool flag)
{
    if (!category || !key)
        return false;
    for (Category& c : m_categories) {
        if (std::wcscmp(c.name.c_str(), category) != 0)
            continue;
        Line line{kvCString(category), kvCString(key), kvCString(text), static_cast<int>(type), 0, 0, -1, flag,
                  kvCString(), kvCString()};
        kvCString value;
        if (bag.getValue(L"UiBoolText", value))
            line.uiText = value;
        if (bag.getValue(L"UiPropertyType", value))
            line.uiType = value;
        placeLine(c, line);
        return true;
    }
    return false;
}

bool kvCTwPropertyCtrlBase::onPropertyChanged(const wchar_t* key, bool)
{
    ++m_changes;
    if (!key)
        return false;
    for (const Category& c : m_categories)
        for (const Line& l : c.lines)
            if (std::wcscmp(l.key.c_str(), key) == 0)
                return true;
    return false;
}

bool kvCTwPropertyCtrlBase::addSrfSetProperty(const wchar_t* category, const wchar_t* key, const wchar_t* text,
                                              ePropCtrlType type, tw::cfg::SurfaceAttributes attributes,
                                              bool flag)
{
    if (!addProperty(category, key, text, type, static_cast<nCads::eGeoAssociateType>(0),
                     static_cast<nCads::eParameterType>(0), -1, flag))
        return false;
    findCategoryForEdit(category)->lines.back().surfaceAttributes = std::move(attributes);
    return true;
}

kvCTwPropertyCtrlBase::Category* kvCTwPropertyCtrlBase::findCategoryForEdit(const wchar_t* name)
{
    for (Category& c : m_categories)
        if (std::wcscmp(c.name.c_str(), name) == 0)
            return &c;
    return nullptr;
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
    kvCSurfaceSet faces;
    if (readValue(m_set, key, faces)) {
        std::swprintf(buffer, 64, L"%u selected", faces.count());
        return buffer;
    }
    return std::wstring();
}

std::vector<std::wstring> kvCTwPropertyCtrlBase::displayLines() const
{
    std::vector<std::wstring> lines;
    for (const Category& c : m_categories) {
        lines.push_back(L"[" + c.text.str() + L"]");
        for (const Line& l : c.lines) {
            if (l.ctrlType == 5) {
                bool ticked = false;
                if (m_set)
                    readValue(m_set, l.key.c_str(), ticked);
                lines.push_back(L"  " + l.text.str() + L": " + (ticked ? L"[x]" : L"[ ]") + l.uiText.str());
            } else {
                lines.push_back(L"  " + l.text.str() + L": " + valueText(l.key.c_str()));
            }
        }
    }
    return lines;
}

namespace {

template <class T>
bool writeValue(kvCPrPropertySet* set, const wchar_t* key, const T& value)
{
    kvCGenValueNc<T> holder(value);
    return set->setPropValue(key, holder, true);
}

// The whole text as a number, nothing left over, within the range of the
// C library's type (a value it would clamp is refused).
bool parseLong(const std::wstring& text, long long& out)
{
    if (text.empty() || std::iswspace(text[0]))
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    out = std::wcstoll(text.c_str(), &end, 10);
    return errno != ERANGE && end && *end == L'\0';
}

// Finite numbers only: the control offers no way to type a NaN or an
// infinity into a length or an angle.
bool parseDouble(const std::wstring& text, double& out)
{
    if (text.empty() || std::iswspace(text[0]))
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    out = std::wcstod(text.c_str(), &end);
    return errno != ERANGE && end && *end == L'\0' && std::isfinite(out);
}

// The host's long and unsigned long are 32 bits wide.
constexpr long long kLongMin = -2147483647LL - 1;
constexpr long long kLongMax = 2147483647LL;
constexpr long long kULongMax = 4294967295LL;

}  // namespace

bool kvCTwPropertyCtrlBase::setValueText(const wchar_t* key, const wchar_t* text)
{
    if (!m_set || !key || !text)
        return false;
    // A read-only line takes no typing.
    short flags = 0;
    if (m_set->getFlags(key, flags) && (flags & kvPropFlagReadOnly))
        return false;
    const std::wstring t(text);
    // The control edits the lines it has: a key the set does not hold (also
    // one reached through a reference into another owner's set) is no line.
    const kvCProperty* entry = dynamic_cast<const kvCProperty*>(m_set->find(key));
    if (!entry || !entry->value())
        return false;  // unknown, a nested set or a reference: no text to take
    const kvCGenVal& stored = *entry->value();
    try {
        long long v = 0;
        double d = 0.0;
        if (kvGenValPtr<bool>(stored)) {
            if (t != L"true" && t != L"false")
                return false;
            return writeValue(m_set, key, t == L"true");
        }
        if (kvGenValPtr<int>(stored))
            return parseLong(t, v) && v >= INT_MIN && v <= INT_MAX && writeValue(m_set, key, static_cast<int>(v));
        if (kvGenValPtr<long>(stored))
            return parseLong(t, v) && v >= kLongMin && v <= kLongMax && writeValue(m_set, key, static_cast<long>(v));
        if (kvGenValPtr<short>(stored))
            return parseLong(t, v) && v >= SHRT_MIN && v <= SHRT_MAX && writeValue(m_set, key, static_cast<short>(v));
        if (kvGenValPtr<unsigned int>(stored))
            return parseLong(t, v) && v >= 0 && v <= static_cast<long long>(UINT_MAX) &&
                   writeValue(m_set, key, static_cast<unsigned int>(v));
        if (kvGenValPtr<unsigned long>(stored))
            return parseLong(t, v) && v >= 0 && v <= kULongMax &&
                   writeValue(m_set, key, static_cast<unsigned long>(v));
        if (kvGenValPtr<double>(stored))
            return parseDouble(t, d) && writeValue(m_set, key, d);
        if (kvGenValPtr<kvCString>(stored))
            return writeValue(m_set, key, kvCString(text));
    } catch (...) {
    }
    // Values a user cannot type (frames, face sets, attributes).
    return false;
}

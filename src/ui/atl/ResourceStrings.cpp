#include "ui/atl/ResourceStrings.h"

#include "platform/atl.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwctype>

namespace kv {
namespace ui {
namespace atl {

namespace {

const ULONG_PTR kStringType = 6;

ULONG_PTR typeNumber(LPCWSTR type) { return reinterpret_cast<ULONG_PTR>(type); }

std::wstring widen(const std::string& text)
{
    std::wstring out;
    for (char c : text)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

// A printf format filled through the C library, whose output here is plain
// ASCII, however long the text comes out.
std::wstring printed(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return widen(text);
}

// The multiple of step nearest to value. Where rounding up would pass the
// largest double and make a finite value infinite, the value takes the
// multiple next to it towards zero that a double holds. Below 2^53 the count
// of steps goes down by one; above it taking one away leaves the count as it
// is, and it goes down to the next double instead, itself a whole number.
double roundToMultiple(double value, double step)
{
    const double wholeCountsExact = 9007199254740992.0;  // 2^53
    double steps = std::floor(value / step + 0.5);
    double rounded = steps * step;
    while (std::isinf(rounded) && std::isfinite(value)) {
        steps = std::fabs(steps) < wholeCountsExact ? steps - std::copysign(1.0, steps) : std::nextafter(steps, 0.0);
        rounded = steps * step;
    }
    return rounded;
}

} // namespace

HINSTANCE findResourceModule(LPCWSTR name, LPCWSTR type, WORD language)
{
    if (IS_INTRESOURCE(type)) {
        switch (typeNumber(type)) {
        case kStringType:
            return nullptr;
        case 3:  // icons are found through their group
            type = RT_GROUP_ICON;
            break;
        case 1:  // cursors likewise
            type = RT_GROUP_CURSOR;
            break;
        default:
            break;
        }
    }
    ATL::CAtlBaseModule& module = ATL::atlBaseModule();
    for (int i = 0;; ++i) {
        HINSTANCE instance = module.GetHInstanceAt(i);
        if (!instance)
            return nullptr;
        if (FindResourceExW(instance, type, name, language))
            return instance;
    }
}

bool LoadResourceString(std::wstring& out, HINSTANCE module, UINT id)
{
    if (!module)
        return false;
    HRSRC block = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    if (!block)
        return false;
    HGLOBAL data = LoadResource(module, block);
    const auto* words = static_cast<const uint16_t*>(data ? LockResource(data) : nullptr);
    if (!words)
        return false;
    const size_t total = SizeofResource(module, block) / sizeof(uint16_t);
    size_t at = 0;
    for (UINT skip = id % 16; skip > 0; --skip) {
        if (at >= total)
            return false;
        at += static_cast<size_t>(words[at]) + 1;
    }
    if (at >= total)
        return false;
    const size_t length = words[at];
    if (length == 0) {
        out.clear();
        return true;
    }
    if (at + 1 + length > total)
        return false;
    // The block holds UTF-16; wchar_t may be wider, so surrogate pairs are joined.
    std::wstring text;
    for (size_t i = at + 1; i < at + 1 + length; ++i) {
        const uint16_t w = words[i];
        if (sizeof(wchar_t) > 2 && w >= 0xD800 && w < 0xDC00 && i + 1 < at + 1 + length && words[i + 1] >= 0xDC00 &&
            words[i + 1] < 0xE000) {
            text.push_back(static_cast<wchar_t>(0x10000 + ((w - 0xD800) << 10) + (words[i + 1] - 0xDC00)));
            ++i;
        } else {
            text.push_back(static_cast<wchar_t>(w));
        }
    }
    out = text;
    return true;
}

bool FormatPositional(std::wstring& out, const wchar_t* pattern, size_t count, const wchar_t* const* args)
{
    std::wstring result;
    if (!pattern) {
        out.clear();
        return true;
    }
    if (count == 0) {
        out = pattern;
        return true;
    }
    for (const wchar_t* p = pattern; *p;) {
        if (*p != L'%' || !p[1]) {
            result.push_back(*p++);
            continue;
        }
        const wchar_t c = p[1];
        size_t index;
        if (c >= L'1' && c <= L'9')
            index = static_cast<size_t>(c - L'1');
        else if (c >= L'A' && c <= L'Z')
            index = static_cast<size_t>(c - L'A') + 9;
        else {
            // Not a placeholder: the percent sign stays and the scan goes on
            // with the character after it.
            result.push_back(*p++);
            continue;
        }
        if (index < count) {
            if (args && args[index])
                result += args[index];
        } else {
            result.append(p, 2);
        }
        p += 2;
    }
    out = result;
    return true;
}

bool FormatPositionalArgs(std::wstring& out, const wchar_t* pattern, const wchar_t* first, const wchar_t* second)
{
    const wchar_t* args[2] = {first, second};
    const size_t count = !first ? 0 : (second ? 2 : 1);
    return FormatPositional(out, pattern, count, args);
}

bool LoadFormattedString(std::wstring& out, HINSTANCE module, UINT id, const wchar_t* first, const wchar_t* second)
{
    std::wstring pattern;
    if (!LoadResourceString(pattern, module, id))
        return false;
    return FormatPositionalArgs(out, pattern.c_str(), first, second);
}

size_t ReplaceChar(std::wstring& text, wchar_t a, wchar_t b)
{
    size_t n = 0;
    for (auto& c : text)
        if (c == a) {
            c = b;
            ++n;
        }
    return n;
}

void TrimLeadingWhiteSpace(std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    text.erase(0, i);
}

void TrimTrailingWhiteSpace(std::wstring& text)
{
    size_t n = text.size();
    while (n > 0 && std::iswspace(static_cast<wint_t>(text[n - 1])))
        --n;
    text.resize(n);
}

void TrimWhiteSpace(std::wstring& text)
{
    TrimTrailingWhiteSpace(text);
    TrimLeadingWhiteSpace(text);
}

void formatNumber(std::wstring& out, double value, int decimals, unsigned flags)
{
    if (decimals < 0) {
        // Past the largest power of ten a double holds, every finite value
        // rounds to 0; NaN and the infinities stay what they are.
        if (std::isfinite(value))
            value = decimals < -DBL_MAX_10_EXP ? 0.0 : roundToMultiple(value, std::pow(10.0, -decimals));
        decimals = 0;
    }
    decimals = std::min(decimals, kMaxDecimals);
    if ((flags & formatFraction) && decimals > 0 && std::isfinite(value)) {
        double whole = 0.0;
        const double fraction = std::modf(value, &whole);
        int n = static_cast<int>(fraction * 64.0 + 0.5);
        if (std::fabs(n - fraction * 64.0) < 1e-10) {
            int denominator = 64;
            for (int k = 0; k < 5 && n % 2 == 0 && n != 0; ++k) {
                n /= 2;
                denominator /= 2;
            }
            if (n < 1)
                out = printed("%.0f", whole);
            else if (n == denominator)
                out = printed("%.0f", whole + 1.0);
            else if (whole != 0.0)
                out = printed("%.0f %d/%d", whole, n, denominator);
            else
                out = printed("%d/%d", n, denominator);
            return;
        }
    }
    out = printed("%.*f", decimals, value);
    // Only a text that carries its decimals has zeros to trim ("nan" and
    // "inf" have none).
    const size_t count = static_cast<size_t>(decimals);
    if ((flags & formatTrimZeros) && decimals > 0 && out.size() > count && out[out.size() - count - 1] == L'.') {
        size_t keep = out.size();
        const size_t firstDecimal = out.size() - count;
        while (keep > firstDecimal && out[keep - 1] == L'0')
            --keep;
        if (keep == firstDecimal)
            --keep;  // every decimal was zero: the separator goes too
        out.resize(keep);
    }
}

void NamedValueTable::set(const std::wstring& name, const boost::any& value)
{
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), name,
                               [](const std::pair<std::wstring, boost::any>& e, const std::wstring& n) { return e.first < n; });
    if (it != m_entries.end() && it->first == name)
        it->second = value;
    else
        m_entries.insert(it, std::make_pair(name, value));
}

const boost::any* NamedValueTable::find(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    const std::wstring key(name);
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                               [](const std::pair<std::wstring, boost::any>& e, const std::wstring& n) { return e.first < n; });
    return it != m_entries.end() && it->first == key ? &it->second : nullptr;
}

} // namespace atl
} // namespace ui
} // namespace kv

// Resource and text utilities: the module that holds a resource, strings of
// string-table resources, positional placeholders (%1 .. %9, %A .. %Z),
// trimming, number formatting with an optional fraction form in 64ths, and a
// table of values looked up by name.
#pragma once

#include "platform/windows.h"

#include <boost/any.hpp>

#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace ui {
namespace atl {

// The first module of the library's resource-module list that holds the
// resource. Icons and cursors are searched as their group types; string tables
// are not supported (null). Null when no module has it.
HINSTANCE findResourceModule(LPCWSTR name, LPCWSTR type, WORD language = 0);

// Loads string id from the module's string table (blocks of 16 counted
// 16-bit strings). False for a null module, a missing block or an entry the
// block does not hold; a zero-length entry gives an empty string.
bool LoadResourceString(std::wstring& out, HINSTANCE module, UINT id);

// Fills placeholders: "%1" to "%9" name arguments 1 to 9 and "%A" to "%Z"
// arguments 10 to 35. A placeholder without an argument stays as written;
// with no arguments at all the pattern is copied unchanged. Always true.
bool FormatPositional(std::wstring& out, const wchar_t* pattern, size_t count, const wchar_t* const* args);
// Two optional arguments: none when the first is null.
bool FormatPositionalArgs(std::wstring& out, const wchar_t* pattern, const wchar_t* first, const wchar_t* second);
// LoadResourceString, then FormatPositionalArgs; false when the string cannot be loaded.
bool LoadFormattedString(std::wstring& out, HINSTANCE module, UINT id, const wchar_t* first, const wchar_t* second);

// Replaces every a by b; the number replaced.
size_t ReplaceChar(std::wstring& text, wchar_t a, wchar_t b);
void TrimLeadingWhiteSpace(std::wstring& text);
void TrimTrailingWhiteSpace(std::wstring& text);
void TrimWhiteSpace(std::wstring& text);

enum FormatNumberFlags { formatFraction = 1, formatTrimZeros = 2 };
// More decimals than a double's binary fraction can carry (2^-1074 has 1074)
// add nothing but zeros; a larger count is cut to this.
const int kMaxDecimals = 1074;
// The value with the given decimals, as long as the text comes out; negative
// decimals round to tens, hundreds, ... (beyond 10^308 every finite value
// rounds to 0). The fraction form ("2 1/2", "3/8") applies when the value's fractional
// part is a whole number of 64ths, which for a negative value only a whole
// number is. NaN and infinities give the C library's "nan", "inf" and "-inf"
// at every count of decimals, never a fraction and nothing to trim.
void formatNumber(std::wstring& out, double value, int decimals, unsigned flags);

// Values by name, kept sorted by name.
class NamedValueTable {
public:
    // Adds or replaces.
    void set(const std::wstring& name, const boost::any& value);
    // The value of exactly that name; null for a null name or when absent.
    const boost::any* find(const wchar_t* name) const;
    size_t size() const { return m_entries.size(); }

private:
    std::vector<std::pair<std::wstring, boost::any>> m_entries;
};

} // namespace atl
} // namespace ui
} // namespace kv

#include "ui/atl/dv/Convert.h"

#include <string>

namespace kv {
namespace ui {
namespace atl {
namespace dv {

bool anyToComColor(const boost::any& value, ComColor& out)
{
    if (const ComColor* c = boost::any_cast<ComColor>(&value)) {
        out = *c;
        return true;
    }
    return false;
}

} // namespace dv
} // namespace atl
} // namespace ui

namespace {

template <typename T>
bool number(const boost::any& value, bool& out)
{
    if (const T* v = boost::any_cast<T>(&value)) {
        out = *v != 0;
        return true;
    }
    return false;
}

template <typename S>
bool text(const S& s, bool& out)
{
    S t, f;
    for (char c : std::string("true"))
        t.push_back(static_cast<typename S::value_type>(c));
    for (char c : std::string("false"))
        f.push_back(static_cast<typename S::value_type>(c));
    if (s == t) {
        out = true;
        return true;
    }
    if (s == f) {
        out = false;
        return true;
    }
    return false;
}

} // namespace

bool AnyToBool(const boost::any& value, bool& out)
{
    if (const bool* b = boost::any_cast<bool>(&value)) {
        out = *b;
        return true;
    }
    if (number<int>(value, out) || number<unsigned>(value, out) || number<long>(value, out) ||
        number<unsigned long>(value, out) || number<short>(value, out) || number<double>(value, out) ||
        number<float>(value, out))
        return true;
    if (const std::wstring* w = boost::any_cast<std::wstring>(&value))
        return text(*w, out);
    if (const std::string* s = boost::any_cast<std::string>(&value))
        return text(*s, out);
    if (const wchar_t* const* w = boost::any_cast<const wchar_t*>(&value))
        return *w && text(std::wstring(*w), out);
    return false;
}

} // namespace kv

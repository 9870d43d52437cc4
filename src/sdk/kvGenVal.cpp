#include "sdk/kvGenVal.h"

#include <cerrno>
#include <climits>
#include <limits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <mutex>
#include <string>
#include <unordered_set>

namespace {

// The blocks that operator new handed out. A holder built in place reaches
// operator delete too (through its deleting destructor) and must not be
// freed: only blocks on this list go back to the heap. The list outlives
// static destruction, since holders may be deleted after it starts.
struct HeapHolders {
    std::mutex lock;
    std::unordered_set<void*> blocks;
};

HeapHolders& heapHolders()
{
    static HeapHolders* holders = new HeapHolders;
    return *holders;
}

}  // namespace

void* kvCGenVal::operator new(std::size_t size) noexcept
{
    void* p = ::operator new(size, std::nothrow);
    if (!p)
        return nullptr;
    HeapHolders& h = heapHolders();
    try {
        std::lock_guard<std::mutex> guard(h.lock);
        h.blocks.insert(p);
    } catch (...) {
        ::operator delete(p);
        return nullptr;
    }
    return p;
}

void kvCGenVal::operator delete(void* p) noexcept
{
    if (!p)
        return;
    HeapHolders& h = heapHolders();
    bool fromHeap = false;
    {
        std::lock_guard<std::mutex> guard(h.lock);
        fromHeap = h.blocks.erase(p) > 0;
    }
    if (fromHeap)
        ::operator delete(p);
}

bool kvCGenVal::equals(const kvCGenVal&) const { return false; }

namespace kvconv {

namespace {
template <class T>
bool fitInteger(T& dst, long double v)
{
    if (std::isnan(v))
        return false;
    const long double r = std::roundl(v);
    if (r < static_cast<long double>(std::numeric_limits<T>::min()) ||
        r > static_cast<long double>(std::numeric_limits<T>::max()))
        return false;
    dst = static_cast<T>(r);
    return true;
}

std::wstring trimmed(const kvCString& s)
{
    const std::wstring& t = s.str();
    std::size_t b = 0;
    std::size_t e = t.size();
    while (b < e && std::iswspace(t[b]))
        ++b;
    while (e > b && std::iswspace(t[e - 1]))
        --e;
    return t.substr(b, e - b);
}

bool equalsNoCase(const std::wstring& a, const wchar_t* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return i == a.size() && b[i] == 0;
}
}  // namespace

bool toBool(bool& dst, long double v)
{
    if (std::isnan(v))
        return false;
    dst = (v != 0);
    return true;
}

bool toBool(bool& dst, const kvCString& s)
{
    const std::wstring t = trimmed(s);
    if (equalsNoCase(t, L"true")) {
        dst = true;
        return true;
    }
    if (equalsNoCase(t, L"false")) {
        dst = false;
        return true;
    }
    long double v = 0;
    if (!parseNumber(s, v))
        return false;
    return toBool(dst, v);
}

bool parseNumber(const kvCString& s, long double& out)
{
    const std::wstring t = trimmed(s);
    if (t.empty())
        return false;
    const wchar_t* begin = t.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long double v = std::wcstold(begin, &end);
    if (end == begin || *end != 0 || errno == ERANGE || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool fitShort(short& dst, long double v) { return fitInteger(dst, v); }
bool fitInt(int& dst, long double v) { return fitInteger(dst, v); }
bool fitUInt(unsigned int& dst, long double v) { return fitInteger(dst, v); }
bool fitLong(long& dst, long double v) { return fitInteger(dst, v); }

bool fitDouble(double& dst, long double v)
{
    dst = static_cast<double>(v);
    return true;
}

kvCString formatInteger(long double v)
{
    if (v < 0)
        return kvCString(std::to_wstring(static_cast<long long>(v)));
    return kvCString(std::to_wstring(static_cast<unsigned long long>(v)));
}

kvCString formatFloating(double v, int digits)
{
    // The shortest text that reads back as the same value.
    const bool single = digits <= 9;
    wchar_t buf[64];
    for (int d = single ? 6 : 15; d <= digits; ++d) {
        std::swprintf(buf, sizeof(buf) / sizeof(buf[0]), L"%.*g", d, v);
        const double back = std::wcstod(buf, nullptr);
        if (single ? static_cast<float>(back) == static_cast<float>(v) : back == v)
            break;
    }
    return kvCString(buf);
}

}  // namespace kvconv

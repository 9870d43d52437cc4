#include "sdk/kvAssert.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

wchar_t kvAssertionFailure[] = L"AssertionFailure";

namespace {

constexpr size_t kMessageCapacity = 1024;

kvAssertSink g_sink = nullptr;
std::wstring g_lastMessage;
int g_messageCount = 0;

void defaultSink(const wchar_t* text)
{
    std::fprintf(stderr, "%ls\n", text ? text : L"");
    std::fflush(stderr);
}

std::wstring widen(const char* text)
{
    std::wstring out;
    if (!text)
        return out;
    // Unit names are plain ASCII file paths; bytes are widened one by one.
    for (const char* p = text; *p; ++p)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return out;
}

} // namespace

void kvAssertMsg(const wchar_t* text)
{
    g_lastMessage = text ? text : L"";
    ++g_messageCount;
    (g_sink ? g_sink : defaultSink)(g_lastMessage.c_str());
}

kvAssertSink kvSetAssertSink(kvAssertSink sink)
{
    kvAssertSink previous = g_sink;
    g_sink = sink;
    return previous;
}

std::wstring kvLastAssertMessage() { return g_lastMessage; }
int kvAssertMessageCount() { return g_messageCount; }

void kvResetAssertMessages()
{
    g_lastMessage.clear();
    g_messageCount = 0;
}

std::wstring kvFormatAssertion(const wchar_t* expression, const wchar_t* unit, int line)
{
    const wchar_t* expr = expression ? expression : L"";
    const wchar_t* file = unit ? unit : L"";
    // Sized for the whole text so that a long expression is cut, never overrun.
    std::vector<wchar_t> buffer(std::wcslen(expr) + std::wcslen(file) + 64);
    int n = std::swprintf(buffer.data(), buffer.size(), L"Assertion failed:\n%ls\n\nFile: %ls\nLine: %d", expr, file, line);
    std::wstring text = n > 0 ? std::wstring(buffer.data(), static_cast<size_t>(n)) : std::wstring();
    if (text.size() > kMessageCapacity - 1)
        text.resize(kMessageCapacity - 1);
    return text;
}

void kvAssertFail(const wchar_t* expression, const wchar_t* unit, int line)
{
    const std::wstring text = kvFormatAssertion(expression, unit, line);
    kvAssertMsg(text.c_str());
    throw static_cast<wchar_t*>(kvAssertionFailure);
}

void kvAssertFail(const wchar_t* expression, const char* unit, int line)
{
    const std::wstring wideUnit = widen(unit);
    kvAssertFail(expression, wideUnit.c_str(), line);
}

// Assertion reporting of the maker's library. A failed precondition formats
//   "Assertion failed:\n<expression>\n\nFile: <unit>\nLine: <line>"
// into at most 1024 wide characters, hands it to kvAssertMsg (which reports it
// and returns) and then throws the non-const wide string "AssertionFailure",
// which a handler catches as wchar_t* or as void*.
#pragma once

#include <string>

// Reports an assertion text and returns.
void kvAssertMsg(const wchar_t* text);

// Where reported texts go besides the record below; the default writes them to
// standard error. Returns the previous sink; null restores the default.
using kvAssertSink = void (*)(const wchar_t* text);
kvAssertSink kvSetAssertSink(kvAssertSink sink);

// The last text reported and how many were reported since the last reset.
std::wstring kvLastAssertMessage();
int kvAssertMessageCount();
void kvResetAssertMessages();

// The thrown value; catch it as wchar_t*.
extern wchar_t kvAssertionFailure[];

// The formatted message, at most 1023 characters.
std::wstring kvFormatAssertion(const wchar_t* expression, const wchar_t* unit, int line);

// Reports and throws. The unit is the source unit as the caller names it.
[[noreturn]] void kvAssertFail(const wchar_t* expression, const wchar_t* unit, int line);
[[noreturn]] void kvAssertFail(const wchar_t* expression, const char* unit, int line);

// Asserts with the unit and line the compiler records.
#define KV_ASSERT_WIDEN2(x) L##x
#define KV_ASSERT_WIDEN(x) KV_ASSERT_WIDEN2(x)
#define kvAssert(expr)                                                    \
    do {                                                                  \
        if (!(expr))                                                      \
            kvAssertFail(KV_ASSERT_WIDEN(#expr), __FILE__, __LINE__);     \
    } while (0)

// Asserts with a fixed unit and line, for sites whose reported position is
// part of their contract.
#define kvAssertAt(expr, unit, line)                                      \
    do {                                                                  \
        if (!(expr))                                                      \
            kvAssertFail(KV_ASSERT_WIDEN(#expr), unit, line);             \
    } while (0)

#include "args.h"

#include "script.h"
#include "text.h"

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace hostsim {

namespace {

std::string quoted(const std::string& text) { return "'" + escapeText(text) + "'"; }

std::string shortest(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

[[noreturn]] void refuse(const char* what, const std::string& text)
{
    throw ScriptError(std::string("expected ") + what + ", got " + quoted(text));
}

[[noreturn]] void outOfRange(const char* what, const std::string& text, const std::string& minimum,
                             const std::string& maximum)
{
    throw ScriptError(std::string(what) + " must lie between " + minimum + " and " + maximum + ", got " +
                      quoted(text));
}

// Only plain decimal notation: no blanks, no hexadecimal floats, no words
// such as "nan" or "inf" that the C library would also accept.
bool decimalSyntax(const std::string& text, bool allowFraction)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (allowFraction && i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (allowFraction && i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponent = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == n;
}

} // namespace

double numberArg(const std::string& text, double minimum, double maximum, const char* what)
{
    if (!decimalSyntax(text, true)) refuse(what, text);
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // Overflow gives an infinity and underflow a value that is not the one
    // written: both are out of range.
    if (errno == ERANGE || !std::isfinite(value) || value < minimum || value > maximum)
        outOfRange(what, text, shortest(minimum), shortest(maximum));
    return value;
}

std::vector<double> numberArgs(const std::string& args, std::size_t count, double minimum, double maximum,
                               const char* what)
{
    const std::vector<std::string> words = splitWords(args);
    if (words.size() != count)
        throw ScriptError("expected " + std::to_string(count) + " numbers (" + what + "), got " +
                          std::to_string(words.size()));
    std::vector<double> values;
    for (const std::string& word : words) values.push_back(numberArg(word, minimum, maximum, what));
    return values;
}

long long integerArg(const std::string& text, long long minimum, long long maximum, const char* what)
{
    if (!decimalSyntax(text, false)) refuse(what, text);
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || value < minimum || value > maximum)
        outOfRange(what, text, std::to_string(minimum), std::to_string(maximum));
    return value;
}

unsigned long colourArg(const std::string& text)
{
    const char* what = "a colour";
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty()) refuse(what, text);
    for (char c : digits) {
        const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        if (!ok) refuse(what, text);
    }
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE || value > 0xFFFFFFull) outOfRange(what, text, "0", "0xffffff");
    return static_cast<unsigned long>(value);
}

void splitKeyValue(const std::string& args, std::string& key, std::string& value)
{
    if (args.empty() || args[0] != '"') {
        splitCommand(args, key, value);
        return;
    }
    const std::size_t close = args.find('"', 1);
    if (close == std::string::npos) throw ScriptError("a quoted key lacks its closing quote: " + quoted(args));
    key = args.substr(1, close - 1);
    std::string rest = args.substr(close + 1);
    if (!rest.empty() && rest[0] != ' ' && rest[0] != '\t')
        throw ScriptError("expected a blank after the quoted key, got " + quoted(rest));
    std::string ignored;
    // Trims the value the way splitCommand trims a line.
    splitCommand("-" + rest, ignored, value);
}

} // namespace hostsim

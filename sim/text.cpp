#include "text.h"

#include "platform/utf8.h"

#include <cmath>
#include <cstdio>

namespace hostsim {

std::string toUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<unsigned long>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        kvplat::appendUtf8(out, static_cast<std::uint32_t>(c));
    }
    return out;
}

std::string toUtf8(const wchar_t* text) { return text ? toUtf8(std::wstring(text)) : std::string(); }

std::wstring fromUtf8(const std::string& text)
{
    std::wstring out;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(text[i]);
        unsigned long c = 0;
        int extra = 0;
        unsigned long min = 0;
        if (lead < 0x80) { c = lead; }
        else if ((lead & 0xE0) == 0xC0) { c = lead & 0x1F; extra = 1; min = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { c = lead & 0x0F; extra = 2; min = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { c = lead & 0x07; extra = 3; min = 0x10000; }
        else { out += L'\uFFFD'; ++i; continue; }
        ++i;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= n || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        out += static_cast<wchar_t>(c);
    }
    return out;
}

namespace {

bool invisible(unsigned long c)
{
    // No-break spaces print as spaces and could not be told from them.
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0) || c == 0xAD || c == 0x2007 || c == 0x202F ||
           (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF ||
           (c >= 0xFFF9 && c <= 0xFFFB);
}

void appendByte(std::string& out, unsigned char b)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", b);
    out += text;
}

} // namespace

std::string escapeText(const std::string& text)
{
    std::string out;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned long c = lead;
        unsigned long min = 0;
        if (lead < 0x80) { extra = 0; }
        else if ((lead & 0xE0) == 0xC0) { c = lead & 0x1F; extra = 1; min = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { c = lead & 0x0F; extra = 2; min = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { c = lead & 0x07; extra = 3; min = 0x10000; }
        else { appendByte(out, lead); ++i; continue; }
        bool ok = true;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= n || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            appendByte(out, lead);
            ++i;
            continue;
        }
        if (invisible(c)) {
            char code[16];
            if (c < 0x80) std::snprintf(code, sizeof code, "\\x%02lx", c);
            else std::snprintf(code, sizeof code, "\\u+%04lX", c);
            out += code;
        } else {
            out.append(text, i, static_cast<std::size_t>(extra) + 1);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string shownText(const std::wstring& text) { return escapeText(toUtf8(text)); }

std::string shownText(const wchar_t* text) { return escapeText(toUtf8(text)); }

std::string fmt(double value)
{
    if (std::fabs(value) < 5e-10)
        value = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string fmt3(const double* p) { return "(" + fmt(p[0]) + ", " + fmt(p[1]) + ", " + fmt(p[2]) + ")"; }

} // namespace hostsim

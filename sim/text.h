// Conversions between the module's wide texts (32-bit wchar_t) and the UTF-8
// the simulator reads and prints.
#pragma once

#include <string>

namespace hostsim {

std::string toUtf8(const std::wstring& text);
std::string toUtf8(const wchar_t* text);  // null gives ""
// Invalid sequences become U+FFFD rather than being dropped silently.
std::wstring fromUtf8(const std::string& text);

// The text as it may be shown in a message: control characters and
// invisible ones (zero-width and direction marks, byte-order marks) written
// as \xNN or \u+XXXX, bytes that are no UTF-8 as \xNN; printable text stays.
std::string escapeText(const std::string& text);
// A text of the module as every printout shows it (panel lines, the view,
// the model's entities): in UTF-8, escaped as escapeText does. Null gives "".
std::string shownText(const std::wstring& text);
std::string shownText(const wchar_t* text);

// A number as the simulator prints it: six significant digits, values
// within 5e-10 of zero as 0.
std::string fmt(double value);
// "(x, y, z)" of three such numbers.
std::string fmt3(const double* point);

} // namespace hostsim

// Conversions between the module's wide texts (32-bit wchar_t) and the UTF-8
// the simulator reads and prints.
#pragma once

#include <string>

namespace hostsim {

std::string toUtf8(const std::wstring& text);
std::string toUtf8(const wchar_t* text);  // null gives ""
// Invalid sequences become U+FFFD rather than being dropped silently.
std::wstring fromUtf8(const std::string& text);

} // namespace hostsim

// UTF-8, as the platform's file names and symbols and the simulator's texts
// are written.
#pragma once

#include <cstdint>
#include <string>

namespace kvplat {

// Appends the UTF-8 bytes of one code point: one to three bytes below
// 0x10000, four from there on. The value is encoded as it is; a caller that
// must write only valid text replaces surrogates and values past 0x10FFFF
// first.
void appendUtf8(std::string& out, std::uint32_t codePoint);

} // namespace kvplat

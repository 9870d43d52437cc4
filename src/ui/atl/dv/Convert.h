// Value conversions of the field controls.
#pragma once

#include <boost/any.hpp>

#include <cstdint>

namespace kv {
namespace ui {
namespace atl {
namespace dv {

// A colour word: 0x80000000 is no colour, otherwise the low 24 bits are an RGB
// value (0x00BBGGRR).
typedef std::uint32_t ComColor;
const ComColor noColor = 0x80000000u;

// Copies the colour an any holds; false when it is empty or holds another type.
bool anyToComColor(const boost::any& value, ComColor& out);

} // namespace dv
} // namespace atl
} // namespace ui

// bool, numbers and the texts "true" and "false" (narrow or wide); false when
// the any holds nothing of these, leaving out unchanged.
bool AnyToBool(const boost::any& value, bool& out);

} // namespace kv

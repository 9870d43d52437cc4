// Checked reading of script arguments. Every number a script gives goes
// through here: it must be written whole, be finite and lie in the range the
// command allows, or the line is refused with a ScriptError that quotes the
// text (the interpreter adds the line number and the command).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hostsim {

// Model coordinates and lengths a script may give, in model units.
constexpr double kCoordinateLimit = 1.0e6;

// A decimal number such as "12", "-0.5" or "1e3", within [minimum, maximum].
// what names the argument for the message ("a coordinate", "a size").
double numberArg(const std::string& text, double minimum, double maximum, const char* what);

// Exactly count such numbers, separated by blanks.
std::vector<double> numberArgs(const std::string& args, std::size_t count, double minimum, double maximum,
                               const char* what);

// A whole number, decimal, within [minimum, maximum].
long long integerArg(const std::string& text, long long minimum, long long maximum, const char* what);

// A colour of the host, 0xRRGGBB-style: decimal or with a 0x prefix,
// from 0 to 0xFFFFFF.
unsigned long colourArg(const std::string& text);

// "KEY VALUE": the key is the first word, or a text in double quotes when it
// holds blanks of its own ("\"InfoShowText \" true"); the value is the rest,
// trimmed. A quote without its closing partner is refused.
void splitKeyValue(const std::string& args, std::string& key, std::string& value);

} // namespace hostsim

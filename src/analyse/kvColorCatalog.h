// The colour catalogue: named RGB colours read from the host's catalogue
// file, one entry per line that holds "Color_Interface_Definition", with
// the attributes R, G, B and Name.
#pragma once

#include "host/object/kvArray.h"
#include "host/object/kvRecords.h"

#include <istream>
#include <string>

// The module-global catalogue, shared by every analysis window.
kvTArray<colorDef, kvTAssignmentCopy<colorDef>>& colorCatalog();

// Longest name kept of an entry; longer names are cut.
constexpr std::size_t kvColorNameMax = 255;

// Replaces the catalogue with the entries of the text. A line is an entry
// when it holds the marker and gives all three of R, G and B; attributes are
// matched as whole names outside quoted values, the first of each name
// counts, and a value is read from the second character after "=" on (the
// first being its opening quote). Returns the number of entries.
int parseColorCatalog(std::istream& in, kvTArray<colorDef, kvTAssignmentCopy<colorDef>>& catalog);

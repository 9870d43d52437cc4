// The host library's rounding of a value for display in a document.
#pragma once

class kvIAppDocument1;

// The value rounded to the decimals the document shows (3 when the document
// does not say, or says something outside 0 to 9). A value that is not a
// finite number comes back unchanged; -0 becomes 0.
double twRound(kvIAppDocument1* document, double value);

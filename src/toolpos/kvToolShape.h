// The job's tool as the collision check and the drawing see it: its cutting
// part, shank and holder as coaxial cylinders stacked from the tip.
#pragma once

#include "kvCdTree.h"
#include "sdk/kvString.h"

#include <vector>

class kvCPrPropertySet;

struct kvToolDimensions {
    double diameter = 0.0;
    double length = 0.0;         // from the tip to the holder
    double cuttingLength = 0.0;  // from the tip; at most the length
    double shaftDiameter = 0.0;
    double holderDiameter1 = 0.0, holderLength1 = 0.0;  // first holder step, 0 for none
    double holderDiameter2 = 0.0, holderLength2 = 0.0;  // second holder step above it
};

// Reads "Diameter", "Length", "CuttingLength" (missing, zero or longer than
// the tool: the whole length), "ShaftDiameter" (missing or zero: the
// diameter) and the holder's "HolderDiameter1", "HolderLength1",
// "HolderDiameter2", "HolderLength2" from the tool's settings.
// False with the reason in problem for no tool, a diameter or length that is
// not greater than 0, or a holder value that is negative or not finite; out
// is then left as it was.
bool kvReadToolDimensions(const kvCPrPropertySet* tool, kvToolDimensions& out, kvCString& problem);

// The bodies from the tip up: the cutting part from tipLift (so that a tip
// resting on a face counts as free) to the cutting length, the shank up to
// the length when it is longer, then each holder step that has a diameter
// and a length.
std::vector<kvCdCylinder> kvToolCylinders(const kvToolDimensions& tool, double tipLift);

// "cutting part", "shank" or "holder" for a kvCdBody value.
const wchar_t* kvToolBodyName(int body);

// The geometry of an angle dimension between two directions: two legs from
// a centre, an arc between them, an arrowhead at each end of the arc and the
// place of the angle's text. Computed here as plain values; the analysis
// window draws them and, while saving, writes them into the model.
#pragma once

#include "sdk/kvGeomTypes.h"

#include <array>

// How the dimension is laid out (the callers' style numbers).
enum kvAngleDimensionKind {
    kvAngleDimFree = 0,        // the arc radius is at least the size
    kvAngleDimFixedRadius = 1, // the arc radius is the size
    kvAngleDimSecondLeg = 2,   // the second leg always on the side of b
    kvAngleDimAngleOnly = 3,   // only the angle, nothing drawn
    kvAngleDimOffset = 4,      // the arc beyond the lines' crossing by the size
};

// Directions whose cross product is shorter than this span no angle.
inline constexpr double kvAngleDimMinLength = 1e-5;
// Angles this close to 0 or 180 degrees are not drawn.
inline constexpr double kvAngleDimMinDrawnAngle = 2.0;
// An arc's radius must be longer than this share of its centre's largest
// coordinate (taken as at least 1). The points that place the legs and the
// text about the centre are rounded to about 2e-16 of that coordinate, and
// a start computed onto the crossing lies a few such roundings off it: a
// radius of that order gives the legs and the text no direction. From this
// length on, some thousands of roundings, their directions are true to
// 2e-4 radians, and at 1e-5 on coordinates of 1e5 to 2e-6.
inline constexpr double kvAngleDimRoundingPerCoordinate = 1e-12;
// Degrees by which one side of the second leg must span the angle better
// than the other to be taken; at a right angle both span it alike.
inline constexpr double kvAngleDimSideTolerance = 1e-6;

struct kvAngleDimension {
    // Degrees, 0 to 180: the angle between the two elements' traces, 180
    // less the angle between a and b; 0 for parallel directions.
    double angle = 0.0;
    bool drawn = false;  // false: only the angle is valid
    double radius = 0.0;
    kvCGePoint centre;
    // The legs' ends; the arc between them spans angle, the short way.
    kvCGePoint start;  // end of the first leg, where the arc ends
    kvCGePoint end;    // end of the second leg, where the arc starts
    kvCGeVector normal;
    bool oppositeSide = false;  // the second leg runs to the far side of the centre
    // Legs and arc: centre, end, arc to start, back to the centre.
    kvCGeContour3d contour;
    // The arrowheads' cone frames (Z along the arrow, origin at the tip) and
    // their axes.
    kvCGeMatrix startArrow, endArrow;
    kvCGeVector startArrowAxis, endArrowAxis;
    kvCGeMatrix textFrame;
};

// The angle between a and b with p a point on the first element where the
// dimension starts and q a point on the second. size is the host's feedback
// size (arc radius floor, arrowhead size); a negative or NaN size, or an arc
// whose radius comes out 0 (or lost in the rounding of the centre's
// coordinates, see above), gives only the angle. Any other radius is drawn,
// however small, with the text frame's axes of unit length. viewSide is the
// last pick's view direction. The text written on the dimension is angle,
// its arc spans angle and its arrowheads sit on the arc's ends.
kvAngleDimension kvComputeAngleDimension(const kvCGeVector& a, const kvCGeVector& b, const kvCGePoint& p,
                                         const kvCGePoint& q, int kind, double size, const kvCGeVector& viewSide);

// The arrowhead's cone written as outlines: two sides and the base square
// of a pyramid with its tip at tip, height along axis, base half-width
// radius / 2. Each contour is one write of its own.
std::array<kvCGeContour3d, 3> kvArrowheadOutlines(const kvCGeVector& axis, const kvCGePoint& tip, double radius,
                                                   double height);

// Where the tool stands: its frame from the picked or job frame, the three
// turning angles and the axial shift; the feedback points of a position; the
// plane and angle of turning the tool by the mouse.
#pragma once

#include "sdk/kvGeomTypes.h"

// The turning axes of the mouse-angle flags, in the order A, B, C.
enum kvToolAxis { kvToolAxisA = 0, kvToolAxisB = 1, kvToolAxisC = 2 };

// base turned about its own X axis by a, then about the turned Y axis by b,
// then about the turned Z axis by c (degrees, about base's origin). The tip
// stays at the origin.
kvCGeMatrix kvToolFrame(const kvCGeMatrix& base, double a, double b, double c);

// The feedback points of a tool frame: the point the job places its tool at
// (the tip moved back by the axial shift the placement added) and a second
// point 1000.0 along the tool axis from it.
void kvToolFeedbackPoints(const kvCGeMatrix& toolFrame, double axialShift, kvCGePoint& first, kvCGePoint& second);

// The frame whose XY plane the mouse turns in for one angle of
// kvToolFrame(base, a, b, c): its Z axis is the axis that angle turns the
// tool about (base's X for A, the Y axis A has turned for B, the tool axis
// for C), its origin the tool's tip. A cursor sweeping counter-clockwise in
// it raises the angle by the angle it sweeps, so the tool follows the cursor
// whatever the other angles are.
kvCGeMatrix kvMouseAnglePlane(const kvCGeMatrix& base, double a, double b, double c, kvToolAxis axis);

// The angle in degrees (-180 .. 180) of a mouse position in that plane; 0
// at the origin.
double kvMouseAngleDegrees(double x, double y);

// An angle brought into -180 .. 180.
double kvNormaliseAngle(double degrees);

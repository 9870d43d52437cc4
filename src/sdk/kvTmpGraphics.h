// The host library's draw functions: each draws into a temporary graphics
// group of the host's views, given first. They return false for an empty
// group or when the host refused; callers draw on regardless.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvInterfaces.h"

bool drawLine(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGePoint& start, const kvCGePoint& end,
              unsigned long colour, int flag, const wchar_t* name, const kvCGeMatrix& frame, double width,
              unsigned long colour2, int flag2);
// points: the caller's buffer for the contour's approximation points (a
// static of the calling unit, so that drawing allocates nothing anew).
bool drawContour(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGeContour3d& contour, double tolerance,
                 bool filled, unsigned long colour, int flag, const wchar_t* name, const kvCGeMatrix& frame,
                 double width, unsigned long colour2, int flag2, kvTArray<double[3]>& points);
bool drawCone(kvIfPtr<kvIBaseTmpGraphics> graphic, double tipRadius, double baseRadius, double height,
              bool closeTip, bool closeBase, int facets, unsigned long colour, const kvCGeMatrix& frame);
bool drawText(kvIfPtr<kvIBaseTmpGraphics> graphic, const wchar_t* text, const kvCGeMatrix& frame, double height,
              unsigned long colour, int flag);
bool drawExtrusion(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGePoint* profile, int count, double height,
                   unsigned long colour, const kvCGeMatrix& frame, const kvCGeVector& direction,
                   const kvCGeVector& extrusion);

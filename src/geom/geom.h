// The geometry kernel: rational B-spline curves and surfaces as plain records
// and C-style functions. Including this header gives every record and operation.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"
#include "geom/geom_surface.h"
#include "geom/geom_curve_ops.h"
#include "geom/geom_surface_ops.h"
#include "geom/geom_curve_edit.h"

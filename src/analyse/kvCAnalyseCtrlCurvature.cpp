// Curvature radii of a face: arcs through the curves of its surface's control
// rows and columns, measured against the face's own normals, and the radius
// that recurs most often chosen as its smallest.
#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvTrimmedBase.h"

#include "geom/geom.h"
#include "sdk/kvCurveIfUtil.h"
#include "sdk/kvFeatureHelp.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;
using CurvePtr = std::unique_ptr<RatBSplCurve, void (*)(RatBSplCurve*)>;

double radiusOf(const kvFaceAxisRecord& circle)
{
    return circle.p0.distanceTo(circle.p2);
}

kvCGePoint pointOf(const GeomVec3 p)
{
    return kvCGePoint(p[0], p[1], p[2]);
}

// The surface normal at a point, or a zero vector when the surface has none.
kvCGeVector normalAt(const kvIfPtr<kvIGeSurface>& surface, const kvCGePoint& p, bool& found)
{
    double point[3], normal[3] = {0.0, 0.0, 0.0};
    p.get(point);
    found = surface->getNormal(point, 1, normal) == 0;
    return found ? kvCGeVector(normal) : kvCGeVector();
}

kvCGeVector unitIfLong(kvCGeVector v)
{
    if (v.length() > 1e-05)
        v.normIt();
    return v;
}

// Whether the face's on-face test puts the point on the face within the
// tolerance; a test the host does not answer puts nothing on it.
bool onTheFace(const kvIfPtr<kvIGeBoundedSurface>& bounded, const kvCGePoint& p, double tolerance)
{
    double point[3];
    p.get(point);
    int onFace = 0;
    return bounded->isPointOnFace(point, tolerance, &onFace) == 0 && onFace != 0;
}

// The circle through three points, or false.
bool circleThrough(const kvCGePoint& a, const kvCGePoint& b, const kvCGePoint& c, kvFaceAxisRecord& circle)
{
    GeomVec3 points[3];
    a.get(points[0]);
    b.get(points[1]);
    c.get(points[2]);
    double start[3], end[3], centre[3], normal[3], deviation = 0.0;
    if (!fitCircleToPoints(points, 3, 1e-5, 100000.0, 0, start, end, centre, normal, &deviation))
        return false;
    circle.p0 = kvCGePoint(start);
    circle.p1 = kvCGePoint(end);
    circle.p2 = kvCGePoint(centre);
    circle.v = kvCGeVector(normal);
    return true;
}

// The circles through three neighbouring points along a boundary, counted
// only where three fits in a row agree: the smallest and the largest radius.
struct BoundaryScan {
    double smallest = kvCAnalyseCtrl::noRadius;
    double largest = -kvCAnalyseCtrl::noRadius;
    kvFaceAxisRecord smallestCircle, largestCircle;

    void along(const std::vector<kvCGePoint>& points)
    {
        double previous1 = 0.0, previous2 = 0.0;
        const std::vector<kvCGePoint> reversed(points.rbegin(), points.rend());
        for (const std::vector<kvCGePoint>* run : {&points, &reversed}) {
            const std::vector<kvCGePoint>& p = *run;
            for (std::size_t i = 0; i + 2 < p.size(); ++i) {
                kvFaceAxisRecord circle;
                if (!circleThrough(p[i], p[i + 1], p[i + 2], circle))
                    continue;
                const double r = radiusOf(circle);
                if (std::fabs(previous1 - r) < 0.06 && std::fabs(previous2 - r) < 0.06) {
                    if (r < smallest) {
                        smallest = r;
                        smallestCircle = circle;
                    }
                    if (largest < r && r < kvCAnalyseCtrl::noRadius) {
                        largest = r;
                        largestCircle = circle;
                    }
                }
                previous2 = previous1;
                previous1 = r;
            }
        }
    }
};

void grow(kvCGePoint& boxMin, kvCGePoint& boxMax, const kvCGePoint& p)
{
    for (int k = 0; k < 3; ++k) {
        boxMin[k] = std::min(boxMin[k], p[k]);
        boxMax[k] = std::max(boxMax[k], p[k]);
    }
}

}  // namespace

kvCAnalyseCtrl::kvCAnalyseCtrl()
    : minRadiusU(noRadius), minRadiusV(noRadius), maxRadius(-noRadius), radius(noRadius)
{
}

int kvCAnalyseCtrl::computeIsoCurveRadius(RatBSplCurve* curve, kvFaceAxisRecord& circle, kvFaceAxisRecord&,
                                          kvIfPtr<kvIGeSurface> surface, kvIfPtr<kvIGeBoundedSurface> bounded,
                                          bool onFace)
{
    kvCGePoint q0, z, q1, further;
    if (curve) {
        const int n = curve->noPoints;
        const int segments[3] = {std::max(n / 2, 5), std::max(n / 4, 5), std::max(n / 8, 5)};
        ArcFitResult arc{};
        bool fitted = false;
        for (int k : segments) {
            double deviation = 0.0;
            if (ratBSplCurveFitArc(curve, 0.01, k, 0.0, 0, 100000.0, &arc, &deviation)) {
                fitted = true;
                break;
            }
        }
        if (!fitted)
            return 0;
        q0 = pointOf(arc.start);
        z = pointOf(arc.centre);
        q1 = pointOf(arc.end);
    } else {
        q0 = circle.p0;
        z = circle.p2;
        q1 = circle.p1;
        const double e = (z - q1).length();
        if (e < 0.0001)
            return 0;
        const kvCGeVector w = (z - q1).normal().cross(circle.v);
        if (w.length() < 0.0001)
            return 0;
        further = z + w.normal() * e;
    }
    const double d = (q0 - z).length();
    if (surface.isNull())
        return -1;
    // An arc of a control curve that runs beside the face is not the face's.
    if (!bounded.isNull() && onFace && !onTheFace(bounded, q0, 0.1) && !onTheFace(bounded, q1, 0.1))
        return 0;

    kvCGeVector n1, n2;
    bool found = false;
    if (curve) {
        const GeomPoint m = ratBSplCurveEvalPoint(curve, 0.5);
        const kvCGePoint middle(m.x, m.y, m.z);
        const kvCGeVector offsets[5] = {kvCGeVector(), kvCGeVector(0.06, 0, 0), kvCGeVector(-0.06, 0, 0),
                                        kvCGeVector(0, 0.06, 0), kvCGeVector(0, -0.06, 0)};
        for (const kvCGeVector& o : offsets) {
            n2 = normalAt(surface, middle + o, found);
            if (found)
                break;
        }
        if (found) {
            n1 = normalAt(surface, q0, found);
        } else {
            n1 = normalAt(surface, q0, found);
            n2 = normalAt(surface, q1, found);
        }
    } else {
        n1 = normalAt(surface, further, found);
        if (!found)
            n1 = normalAt(surface, q0, found);
        n2 = normalAt(surface, q1, found);
    }
    if (n1.length() < 1e-05 || n2.length() < 1e-05)
        return -1;
    const kvCGeVector axis = n1.cross(n2);
    if (!(axis.length() > 0.1))
        return -1;

    // The three points of the circle, projected onto the plane through q0
    // across the axis.
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(axis);
    frame.setTranslation(q0);
    kvCGeMatrix back = frame;
    frame.invertIt();
    const kvCGeVector u1 = unitIfLong(q1 - z), u2 = unitIfLong(q0 - z);
    kvCGeVector s = u1 + u2;
    if (s.length() <= 0.0001)
        s = u2.cross(axis);
    s.normIt();
    const kvCGePoint q2 = z + s * d;
    GeomVec3 points[3];
    const kvCGePoint sources[3] = {q0, q1, q2};
    for (int i = 0; i < 3; ++i) {
        kvCGePoint local = frame * sources[i];
        local.z = 0.0;
        (back * local).get(points[i]);
    }
    double start[3], end[3], centre[3], normal[3], deviation = 0.0;
    if (!fitCircleToPoints(points, 3, 1e-5, 100000.0, 0, start, end, centre, normal, &deviation))
        return -1;
    circle.p0 = kvCGePoint(start);
    circle.p1 = kvCGePoint(end);
    circle.p2 = kvCGePoint(centre);
    circle.v = kvCGeVector(normal);
    return 1;
}

bool kvCAnalyseCtrl::computeFaceCurvatureRadii(kvIUnknown* face, bool scanBoundary)
{
    minRadiusU = minRadiusV = noRadius;
    maxRadius = -noRadius;
    double m = noRadius;
    kvFaceAxisRecord best;
    int c1U = 0, c1V = 0, c2U = 0, c2V = 0;

    kvCFeatureHelp feature;
    feature.clearCache();
    // The record is the caller's: it goes when this measurement is done.
    SurfPtr surfaceRecord(feature.newRatBSplSurf(face), ratBSplSurfFree);
    if (!surfaceRecord)
        return false;
    RatBSplSurf* S = surfaceRecord.get();
    kvIfPtr<kvIGeSurface> surface(face);
    kvIfPtr<kvIGeBoundedSurface> bounded(face);
    if (surface.isNull()) {
        kvIfPtr<kvIGeTrimmedSurfApprox> approximation(face);
        kvIUnknownPtr base;
        if (kvTrimmedBaseSurface(approximation.getIf(), base))
            surface = base.get();
    }

    kvFaceAxisRecord A, B;
    // One pass over the control rows (columns false) or columns. Every
    // control curve is measured: rows and columns alike up to the last.
    auto pass = [&](bool columns, bool strict, int& counter, double& minimum, kvFaceAxisRecord& minRecord) {
        const double agree = strict ? 0.1 : 0.3;
        const int count = columns ? S->noPointsv - S->ordv : S->noPointsu - S->ordu;
        bool found = false;
        for (int i = 0; i < count; ++i) {
            CurvePtr curve(columns ? ratBSplSurfColumnCurve(S, i) : ratBSplSurfRowCurve(S, i), ratBSplCurveFree);
            if (!curve)
                continue;
            const int k = computeIsoCurveRadius(curve.get(), A, B, surface, bounded, strict);
            if (k != 1)
                continue;
            found = true;
            const double d = radiusOf(A);
            if (d < m) {
                m = d;
                best = A;
            }
            if (std::fabs(d - minimum) < agree)
                counter += 1;
            if (d < minimum) {
                minimum = d;
                minRecord = A;
            }
            // The largest radius of the control curves.
            if (d > maxRadius && maxRadius < noRadius) {
                maxRadius = d;
                maxRecord = A;
            }
        }
        return found;
    };
    if (!pass(false, true, c1U, minRadiusU, minURecord) || c1U == 0)
        pass(false, false, c2U, minRadiusU, minURecord);
    if (!pass(true, true, c1V, minRadiusV, minVRecord) || c1V == 0)
        pass(true, false, c2V, minRadiusV, minVRecord);

    if (c1U != 0 && c1U >= 2 * c1V) {
        m = minRadiusU;
        best = minURecord;
    } else if (c1V != 0 && c1V >= 2 * c1U) {
        m = minRadiusV;
        best = minVRecord;
    } else if (c2U != 0 && c2U >= 2 * c2V) {
        m = minRadiusU;
        best = minURecord;
    } else if (c2V != 0 && c2V >= 2 * c2U) {
        m = minRadiusV;
        best = minVRecord;
    }
    if (m >= 10000.0)
        scanBoundary = true;

    // The face's boundary: every point of it widens the face's box, and,
    // when asked, circles through its points are candidates of their own.
    BoundaryScan scan;
    if (!bounded.isNull()) {
        kvIUnknownPtr curvesObject, loops;
        bounded->getBoundary(&curvesObject, &loops);
        kvIfPtr<kvIObjectEnum> curves(curvesObject.get());
        if (!curves.isNull()) {
            std::vector<kvCGePoint> points;
            for (curves->reset(); !curves->atEnd(); curves->next()) {
                kvIUnknownPtr curve;
                curves->current(&curve);
                if (curve == nullptr || !kvCCurveIfUtil(curve.get()).getPointApprox(0.001, points))
                    continue;
                for (const kvCGePoint& p : points)
                    grow(boxMin, boxMax, p);
                if (scanBoundary)
                    scan.along(points);
            }
        }
    }
    // The boundary circles measured against the face's normals; an empty
    // circle is degenerate and changes nothing.
    if (computeIsoCurveRadius(nullptr, scan.smallestCircle, B, surface, bounded, false) == 1) {
        const double d = radiusOf(scan.smallestCircle);
        if (d < m && std::fabs(d - m) > 0.01) {
            m = d;
            best = scan.smallestCircle;
        }
    }
    if (computeIsoCurveRadius(nullptr, scan.largestCircle, B, surface, bounded, false) != 0) {
        const double d = radiusOf(scan.largestCircle);
        if (d > maxRadius && maxRadius < noRadius) {
            maxRadius = d;
            maxRecord = scan.largestCircle;
        }
    }

    radius = std::fabs(m);
    axisRecord = best;
    if (radius > maxRadius) {
        maxRadius = radius;
        maxRecord = axisRecord;
    }
    return true;
}

#include "analyse/kvCMouseReactor.h"

#include "analyse/kvTrimmedBase.h"
#include "host/object/kvIfPtr.h"

#include <cmath>
#include <cwchar>


void kvCMouseReactor::setCallbacks(kvMousePickCallback pick, kvMouseMoveCallback move, kvCGeMatrix m, void* data)
{
    pickCallback = pick;
    moveCallback = move;
    frame = m;
    userData = data;
}

void kvCMouseReactor::setPickFilter(bool lines, bool points, bool curves, bool surfaces)
{
    pickLines = lines;
    pickPoints = points;
    pickCurves = curves;
    pickSurfaces = surfaces;
}

void kvCMouseReactor::setInchMode(bool on)
{
    inchMode = on;
}

void kvCMouseReactor::setMatrix(kvCGeMatrix m)
{
    frame = m;
}

void kvCMouseReactor::planePosition(const kvCGePoint& working, const double view[4][4], const kvCGeMatrix& m,
                                    double z, double& X, double& Y)
{
    const double (&f)[4][4] = m.asDoubleMat();
    const kvCGePoint w(working.x - f[0][3], working.y - f[1][3], working.z - f[2][3]);
    const kvCGeMatrix V(view);
    // The view's bottom row carries the cursor, not a projection: the point is
    // transformed by the upper three rows only.
    const kvCGePoint wv(view[0][0] * w.x + view[0][1] * w.y + view[0][2] * w.z + view[0][3],
                        view[1][0] * w.x + view[1][1] * w.y + view[1][2] * w.z + view[1][3],
                        view[2][0] * w.x + view[2][1] * w.y + view[2][2] * w.z + view[2][3]);
    kvCGeMatrix product = V;
    product *= m;
    const double (&M)[4][4] = product.asDoubleMat();
    const double d = M[0][0] * M[1][1] - M[1][0] * M[0][1];
    if (std::fabs(d) < 0.0001) {
        // Seen edge-on, the plane holds no line of sight to meet: the view's
        // own x and y would stand for the plane's and turn a tool dragged by
        // the mouse the wrong way, so the cursor's point is projected square
        // onto the plane instead.
        X = w.x * f[0][0] + w.y * f[1][0] + w.z * f[2][0];
        Y = w.x * f[0][1] + w.y * f[1][1] + w.z * f[2][1];
        return;
    }
    X = (wv.x * M[1][1] - wv.y * M[0][1] - (M[0][2] * M[1][1] - M[1][2] * M[0][1]) * z) / d;
    Y = (wv.x * M[1][0] - wv.y * M[0][0] - (M[0][2] * M[1][0] - M[1][2] * M[0][0]) * z) / (-d);
}

static double distance3(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void kvCMouseReactor::onMouseEvent(int event, double x, double y, int, const double* viewParameters,
                                   double view[4][4], int, int state, kvIUnknown* hitObject,
                                   const double* hitPoint, bool flag)
{
    const double snap = viewParameters ? viewParameters[1] / 100.0 : 0.0;
    if (inchMode) {
        view[3][0] /= 25.4;
        view[3][1] /= 25.4;
        view[3][2] /= 25.4;
    }
    if (event == eventPickOnObject && !hitObject)
        return;

    kvIfPtr<kvIGePoint> point;
    kvIfPtr<kvIGeLine> line;
    kvIfPtr<kvIGeCurve> curve;
    kvIfPtr<kvIGeSurface> surface;
    kvIfPtr<kvIGeTrimmedSurfApprox> approx;
    try {
        if (hitObject) {
            if (pickPoints)
                point = hitObject;
            if (pickLines)
                line = hitObject;
            if (pickCurves)
                curve = hitObject;
            if (pickSurfaces) {
                surface = hitObject;
                approx = hitObject;
            }
        }
        kvIUnknownPtr base;
        if (kvTrimmedBaseSurface(approx.getIf(), base))
            surface = base.get();

        kvCGePoint picked;
        kvCGePoint working(view[3][0], view[3][1], view[3][2]);
        double normal[3] = {0.0, 0.0, 0.0};
        bool haveNormal = false;
        bool matched = true;
        if (!point.isNull()) {
            double p[3] = {0.0, 0.0, 0.0};
            point->getPosition(p);
            picked = kvCGePoint(p);
            working = picked;
        } else if (!surface.isNull() && hitPoint) {
            picked = kvCGePoint(hitPoint);
            working = picked;
            if (surface->getNormal(hitPoint, 1, normal) == 2)
                return;
            const double viewDir[3] = {view[2][0], view[2][1], view[2][2]};
            if (distance3(normal, viewDir) > std::sqrt(2.0)) {
                normal[0] = -normal[0];
                normal[1] = -normal[1];
                normal[2] = -normal[2];
            }
            haveNormal = true;
        } else if (!line.isNull() && hitPoint) {
            double start[3] = {0.0, 0.0, 0.0}, end[3] = {0.0, 0.0, 0.0};
            line->getEndPoints(start, end);
            const double middle[3] = {start[0] + (end[0] - start[0]) / 2, start[1] + (end[1] - start[1]) / 2,
                                      start[2] + (end[2] - start[2]) / 2};
            if (distance3(hitPoint, start) < snap)
                picked = kvCGePoint(start);
            else if (distance3(hitPoint, end) < snap)
                picked = kvCGePoint(end);
            else if (distance3(hitPoint, middle) < snap)
                picked = kvCGePoint(middle);
            else
                picked = kvCGePoint(hitPoint);
        } else {
            matched = false;
        }
        if (matched && event == eventPick && hitObject)
            event = eventPickOnObject;

        double X = 0.0, Y = 0.0;
        planePosition(working, view, frame, planeOffset, X, Y);
        const double position2d[3] = {X, Y, 0.0};

        if (event == eventPick) {
            if (pickCallback)
                pickCallback(userData, position2d, position2d, 0, nullptr, hitObject, nullptr, flag);
        } else if (event == eventPickOnObject) {
            if (hasLastPick && x == lastPickX && y == lastPickY)
                return;
            hasLastPick = true;
            lastPickX = x;
            lastPickY = y;
            const double p[3] = {picked.x, picked.y, picked.z};
            const double viewDir[3] = {view[2][0], view[2][1], view[2][2]};
            if (pickCallback)
                pickCallback(userData, p, position2d, 1, haveNormal ? normal : nullptr, hitObject, viewDir, flag);
        } else if (state == 0) {
            if (moveCallback)
                moveCallback(userData, X, Y);
        }
    } catch (...) {
        // A failing host call ends this event quietly.
    }
}

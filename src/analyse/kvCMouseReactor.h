// What the analysis window hands to the host's views so that mouse events in a
// view reach the analysis: picks on points, surfaces and lines (snapped to
// their ends and middle) and cursor moves, expressed in a reference frame.
#pragma once

#include "sdk/kvGeomTypes.h"
#include "sdk/kvInterfaces.h"

// userData, point (3), position in the frame plane (3), on an object, normal
// (3 or null), hit object, view direction (3 or null), the event's flag.
typedef void (*kvMousePickCallback)(void* userData, const double* point, const double* position2d, int onObject,
                                    const double* normal, kvIUnknown* hitObject, const double* viewDirection,
                                    bool flag);
// userData, position in the frame plane.
typedef void (*kvMouseMoveCallback)(void* userData, double x, double y);

class kvCMouseReactor : public kvIMouseEventsReactor1 {
public:
    enum { eventPick = 1, eventPickOnObject = 11 };

    kvCMouseReactor();

    bool addRef() override;
    // Deletes the object when the count drops below 1.
    bool release() override;
    kvIUnknown* queryInterface(const wchar_t* name) override;

    void onMouseEvent(int event, double x, double y, int reserved1, const double* viewParameters,
                      double view[4][4], int reserved2, int state, kvIUnknown* hitObject,
                      const double* hitPoint, bool flag) override;

    virtual void setCallbacks(kvMousePickCallback pick, kvMouseMoveCallback move, kvCGeMatrix frame,
                              void* userData);
    virtual void setPickFilter(bool lines, bool points, bool curves, bool surfaces);
    virtual void setInchMode(bool on);
    void setMatrix(kvCGeMatrix frame);
    // The next pick on an object is taken even on the last pick's point.
    void forgetLastPick() { hasLastPick = false; }

    // What a host observes.
    int refCount() const { return refs; }
    const kvCGeMatrix& matrix() const { return frame; }

    // The position (X, Y) of a point in the plane of frame at height
    // planeOffset, as seen through the view matrix.
    static void planePosition(const kvCGePoint& working, const double view[4][4], const kvCGeMatrix& frame,
                              double planeOffset, double& X, double& Y);

protected:
    virtual ~kvCMouseReactor();

private:
    double planeOffset = 0.0;
    kvMousePickCallback pickCallback = nullptr;
    kvMouseMoveCallback moveCallback = nullptr;
    bool inchMode = false;
    bool pickLines = false;
    bool pickPoints = false;
    bool pickSurfaces = false;
    bool pickCurves = false;
    int refs = 0;
    bool hasLastPick = false;
    double lastPickX = 0.0;
    double lastPickY = 0.0;
    kvCGeMatrix frame;
    void* userData = nullptr;
};

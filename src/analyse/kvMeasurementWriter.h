// Writing a measurement into the model: one contour as a line or polyline,
// and optionally one text, as CAD entities on the chosen layer and colour.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvString.h"

#include <string>
#include <vector>

// The layer and colour the entities of a save get, each only when its use
// flag is set.
struct kvMeasurementStyle {
    kvCString layer;
    bool useLayer = false;
    unsigned long colour = 0;
    bool useColour = false;
};

// One entity a save wrote: the entity, its kind and, for a text, its text.
struct kvWrittenEntity {
    kvIUnknownPtr entity;
    int kind = 0;
    std::wstring text;
};

// What one save wrote so far, so that a save the model does not take whole
// can be taken back: every entity created, and whether one could not be.
struct kvMeasurementLog {
    std::vector<kvWrittenEntity> written;
    bool failed = false;
    // False where the model cannot take a save back: after a refusal the
    // rest is still written, as much of it as the model takes.
    bool stopsAtRefusal = true;
};

// Entity kinds of the model's createEntity.
enum kvCadEntityKind { kvCadKindLine = 1, kvCadKindPolyline = 5, kvCadKindText = 7 };

// Height of a written text.
inline constexpr double kvMeasurementTextHeight = 3.0;
// Chord tolerance of the contour's approximation.
inline constexpr double kvMeasurementApproxTolerance = 0.0001;

// Writes the text (when not null) placed in frame, then the contour's
// approximation: two points as a line, more as a polyline. When the base
// document offers kvISWDocument1 everything is written inside one insert
// bracket in frame, closed on every path. A text the model cannot create
// fails the assertion "pText"; a line or polyline it cannot create is left
// out. A contour of several pieces gives one entity per piece. Returns the
// last line or polyline written, or null. With a log, every entity created
// is added to it, and an entity the model did not create marks it failed
// (before the assertion, for a text); a refused text then throws no further,
// and the contour is written unless the log stops at a refusal.
kvIUnknownPtr kvWriteMeasurement(kvIUnknown* baseDocument, const kvCGeContour* contour,
                                 const kvIfPtr<kvIBaseModel1>& model, const kvCGeMatrix& frame, const wchar_t* text,
                                 const kvMeasurementStyle& style, kvMeasurementLog* log = nullptr);

// Takes every entity of the log out of the model, the last written first,
// where the model offers kvIBaseModelWithDelete. Returns what still stands
// in the model, in the order written: nothing when all went, everything
// without that interface.
std::vector<kvWrittenEntity> kvTakeBackMeasurement(const kvIfPtr<kvIBaseModel1>& model,
                                                   const kvMeasurementLog& log);

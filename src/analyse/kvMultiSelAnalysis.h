// The analysis over a selection of faces: the selection is flattened into a
// face list (a face group contributes its faces), every face is classified
// once, and one record per usable face goes to the radius records or the
// plane records.
#pragma once

#include "analyse/kvCAnalyseCtrl.h"
#include "host/object/kvArray.h"
#include "host/object/kvIfPtr.h"
#include "host/object/kvRecords.h"

#include <functional>
#include <vector>

class kvCIUnknownSet;

using kvRadiusRecords = kvTArray<kvIArcUnknown>;
using kvPlaneRecords = kvTArray<kvIPlanUnknown>;

// Classifies one face into the fields of ctrl and returns its class code
// (kvCAnalyseCtrl::faceClass...).
using kvFaceClassifier = std::function<int(kvIUnknown* face, kvCAnalyseCtrl& ctrl)>;

// Appends the objects an object enumeration yields (null objects skipped) and
// returns true; leaves the list unchanged and returns false for an object
// that is no enumeration.
bool collectEnumeratedObjects(kvIUnknown* object, std::vector<kvIUnknownPtr>& list);

// The faces of a selection in the order of the set: a face group's faces in
// enumeration order, any other element as it stands. A face that the set
// names more than once is kept at its first place only.
std::vector<kvIUnknownPtr> kvFlattenSelection(const kvCIUnknownSet& selection);

// The angle in degrees between a plane's normal and the frame's z axis,
// folded into 0 to 90 (a normal against z is as flat as one along it).
double kvAngleToFrame(const kvCGeVector& z, const kvCGeVector& normal);

// Distance below which two half cylinders share their axis point and so are
// the two halves of one hole.
constexpr double kvSameAxisPointDistance = 0.001;

// Classifies every face and appends its record: turned and curved faces to
// radii (at most kvCAnalyseCtrl::noRadius; a larger or unmeasurable radius
// gives none), planes to planes with their angle to frameZ. Two half
// cylinders that share their axis point make a hole that a full cylinder
// would be: both records keep their box but lose their face, so the lists
// skip them. progress is told each face's position (1 for the first) before
// it is classified. The record arrays grow as needed; an exception leaves the
// records made so far.
void kvAnalyseFaces(const std::vector<kvIUnknownPtr>& faces, const kvCGeVector& frameZ,
                    const kvFaceClassifier& classify, kvCAnalyseCtrl& work, kvRadiusRecords& radii,
                    kvPlaneRecords& planes, const std::function<void(unsigned int)>& progress);

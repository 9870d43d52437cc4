// The collision library that the host installs beside the analysis module and
// that the module loads at run time (file name "kvCdTree.dll" for the host's
// resource manager). A scene holds the part as triangles, the machine as
// triangles read from STL files and the tool as coaxial cylinders; it answers
// whether the tool at a given position touches the part or the machine, or
// lies, wholly or in part, inside the material of either.
//
// A plain C interface, so that the module can fetch every entry by name.
// Results: 0 success; negative values are failures and leave the scene as it
// was.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define KVCD_API __attribute__((visibility("default")))
#else
#define KVCD_API
#endif

typedef struct kvCdScene kvCdScene;

// The tool's bodies, from the tip upwards.
enum { kvCdBodyCutter = 0, kvCdBodyShank = 1, kvCdBodyHolder = 2 };
// What a body met.
enum { kvCdObstaclePart = 0, kvCdObstacleMachine = 1 };
enum {
    kvCdErrArgument = -1,
    kvCdErrFile = -2,        // missing, unreadable or empty file
    kvCdErrNoTool = -3,
    kvCdErrMemory = -4,
    kvCdErrFormat = -5,      // truncated or malformed STL
    kvCdErrCount = -6,       // no triangles, or more than kvCdMaxMachineTriangles
    kvCdErrCoordinate = -7,  // a coordinate not finite or beyond kvCdCoordinateLimit
    kvCdErrNoArea = -8,      // every triangle without area
    kvCdErrCountBelowData = -9,  // a binary STL whose triangle count is below the records it holds
};
// What a model may hold: coordinates within +-kvCdCoordinateLimit model units
// (a kilometre in millimetres), at most kvCdMaxMachineTriangles per file.
#define kvCdCoordinateLimit 1.0e6
#define kvCdMaxMachineTriangles 20000000
// A body that touches no triangle is asked about at points kvCdInsideSpacing
// apart (model units) on its axis, its side and its end faces, or, on a body
// whose surface would need more, at about kvCdInsidePoints points spread as
// evenly: through an opening of a model it is found in the material once it
// reaches one of them.
#define kvCdInsideSpacing 1.0
#define kvCdInsidePoints 20000

// One cylinder of the tool, about the tool frame's Z axis between the
// heights bottom and top (bottom < top, radius > 0).
typedef struct kvCdCylinder {
    double radius;
    double bottom;
    double top;
    int body;
} kvCdCylinder;

typedef struct kvCdHit {
    int body;      // kvCdBody*, -1 when nothing was hit
    int obstacle;  // kvCdObstacle*, -1 when nothing was hit
} kvCdHit;

// A new empty scene, or null when no memory is left.
KVCD_API kvCdScene* kvCdCreateScene(void);
// Null is accepted and ignored.
KVCD_API void kvCdDestroyScene(kvCdScene* scene);

// Replaces the part: vertexCount points (x, y, z each) and triangleCount
// triangles (three vertex indices each). kvCdErrArgument for a null scene, a
// negative count, missing arrays, an index outside the points or a point that
// is not finite or lies beyond kvCdCoordinateLimit. Triangles whose three
// points are not distinct are skipped.
KVCD_API int kvCdSetPart(kvCdScene* scene, const double* xyz, int vertexCount, const int* triangles,
                         int triangleCount);

// Adds the triangles of an STL file (binary, or ASCII with every solid it
// holds) as one machine model.
// Triangles without area are left out and counted in skipped (when given).
// The number of triangles kept, or (nothing added, skipped 0):
// kvCdErrArgument for a null scene or path, kvCdErrFile for a missing,
// unreadable or empty file, kvCdErrFormat for a truncated or malformed one,
// kvCdErrCountBelowData for a binary one holding more records than its count,
// kvCdErrCount for no triangles or too many, kvCdErrCoordinate for a corner
// that is not finite or beyond the limit, kvCdErrNoArea when no triangle has
// an area.
KVCD_API int kvCdAddMachineStl(kvCdScene* scene, const char* path, int* skipped);
// Number of machine models held.
KVCD_API int kvCdMachineCount(const kvCdScene* scene);

// Replaces the tool. kvCdErrArgument for a null scene, no cylinders, or a
// cylinder that is not finite, has no radius or no height.
KVCD_API int kvCdSetTool(kvCdScene* scene, const kvCdCylinder* cylinders, int count);

// Tests the tool placed by frame (sixteen values, rows first, the translation
// in the fourth column; the tool's tip at the frame's origin, its axis along
// the frame's Z axis). 1 when a body of the tool meets the part or the
// machine, or lies, wholly or in part, inside the material either bounds
// (hit, when given, says which; bodies are tested from the tip up, the part
// before the machine, for contact first and then for material), 0 when the
// tool is free, kvCdErrNoTool without a tool, kvCdErrArgument for a null
// scene or frame, a frame that is not a rigid motion or one whose origin
// lies beyond kvCdCoordinateLimit.
KVCD_API int kvCdTestTool(kvCdScene* scene, const double* frame, kvCdHit* hit);

// The entries by name, for a loader.
typedef kvCdScene* (*kvCdPfnCreateScene)(void);
typedef void (*kvCdPfnDestroyScene)(kvCdScene*);
typedef int (*kvCdPfnSetPart)(kvCdScene*, const double*, int, const int*, int);
typedef int (*kvCdPfnAddMachineStl)(kvCdScene*, const char*, int*);
typedef int (*kvCdPfnMachineCount)(const kvCdScene*);
typedef int (*kvCdPfnSetTool)(kvCdScene*, const kvCdCylinder*, int);
typedef int (*kvCdPfnTestTool)(kvCdScene*, const double*, kvCdHit*);

#ifdef __cplusplus
}
#endif

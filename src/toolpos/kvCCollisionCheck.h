// The tool-position panel's connection to the collision library, which lies
// outside the module: loaded through the host's resource manager, its
// entries fetched by name, its scene made once and freed with the library.
#pragma once

#include "kvCdTree.h"
#include "host/object/kvIfPtr.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvString.h"

#include <functional>
#include <string>
#include <vector>

struct kvPartMesh;

class kvCCollisionCheck {
public:
    // The library's file name as the host's resource manager knows it.
    static const wchar_t* const libraryName;

    kvCCollisionCheck() = default;
    ~kvCCollisionCheck();
    kvCCollisionCheck(const kvCCollisionCheck&) = delete;
    kvCCollisionCheck& operator=(const kvCCollisionCheck&) = delete;

    // Loads the library through the application's resource manager and makes
    // a scene. False, with the reason in problem and nothing kept, when there
    // is no resource manager, the library cannot be loaded, lacks an entry or
    // makes no scene. A loaded check loads nothing again.
    bool load(kvIApplication1* application, kvCString& problem);
    // Frees the scene and gives the library back to the resource manager.
    void unload();
    bool isLoaded() const { return m_scene != nullptr; }

    // The part model; false (problem set) when not loaded or refused.
    bool setPart(const kvPartMesh& mesh, kvCString& problem);
    // A machine model from an STL file: the triangles kept (skipped: those
    // without area, left out), or a kvCdErr* value (nothing added).
    int addMachineStl(const std::string& path, int* skipped = nullptr);
    int machineCount() const;
    // The tool's bodies; false (problem set) when not loaded or refused.
    bool setTool(const std::vector<kvCdCylinder>& bodies, kvCString& problem);
    bool hasTool() const { return m_hasTool; }
    // 1 collision, 0 free, negative when the test cannot be made (not
    // loaded, no tool, a frame that is no placement).
    int test(const kvCGeMatrix& toolFrame, kvCdHit* hit = nullptr);

private:
    kvIfPtr<kvIResourceMgr1> m_manager;
    HMODULE m_module = nullptr;
    kvCdScene* m_scene = nullptr;
    bool m_hasTool = false;
    kvCdPfnCreateScene m_create = nullptr;
    kvCdPfnDestroyScene m_destroy = nullptr;
    kvCdPfnSetPart m_setPart = nullptr;
    kvCdPfnAddMachineStl m_addMachine = nullptr;
    kvCdPfnMachineCount m_machineCount = nullptr;
    kvCdPfnSetTool m_setTool = nullptr;
    kvCdPfnTestTool m_test = nullptr;
};

// The tool-length search: from the tool's length, lengthen in steps of 1.0
// while test(length) reports a collision that a longer tool may clear (1).
// Ends at the first length the test finds free (0); stops at once on a
// collision that no length clears (2, the cutting part or the shank) or a
// failed test (negative); gives up once the next length would exceed the
// start by more than kvToolLengthSearchLimit.
inline constexpr double kvToolLengthStep = 1.0;
inline constexpr double kvToolLengthSearchLimit = 500.0;

struct kvToolLengthSearch {
    enum Outcome { found, gaveUp, blocked, failed } outcome = failed;
    double length = 0.0;  // the free length when found
    int tests = 0;
};

kvToolLengthSearch kvSearchFreeToolLength(double startLength, const std::function<int(double)>& test);

// The machine models of a machine: the STL files of its folder
// ("<base>Machines/<machine>/"), sorted by name, or why there are none.
struct kvMachineModels {
    enum State { found, noName, badName, noFolder, noFiles } state = noName;
    std::vector<std::string> files;
};
// A machine name is one folder name: one with a separator, "." or ".." is a
// badName and nothing is looked up.
kvMachineModels kvFindMachineModels(const std::wstring& baseFolder, const std::wstring& machine);

// Why a machine model file was refused, for a kvCdErr* value.
kvCString kvMachineModelProblem(int error);

// The host's base folder, whole however long (the resource manager is asked
// with larger buffers until it fits); false when the host gives none.
bool kvHostBaseFolder(kvIResourceMgr1* manager, std::wstring& folder);

#include "toolpos/kvCCollisionCheck.h"

#include "platform/windows.h"
#include "sdk/kvInterfaces.h"
#include "toolpos/kvPartMesh.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

const wchar_t* const kvCCollisionCheck::libraryName = L"kvCdTree.dll";

kvCCollisionCheck::~kvCCollisionCheck()
{
    unload();
}

namespace {

template <class Function>
bool fetch(HMODULE module, const char* name, Function& out)
{
    // An export comes back as a generic procedure; passing it through the
    // type-less procedure pointer says the cast to its real type is meant.
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return out != nullptr;
}

}  // namespace

bool kvCCollisionCheck::load(kvIApplication1* application, kvCString& problem)
{
    if (isLoaded())
        return true;
    kvIfPtr<kvIResourceMgr1> manager;
    if (application)
        application->getResourceManager(&manager);
    if (manager.isNull()) {
        problem = L"The host offers no resource manager to load the collision library";
        return false;
    }
    HMODULE module = nullptr;
    if (manager->loadModule(libraryName, &module) != 0 || !module) {
        problem = kvCString(L"The collision library ") + libraryName + L" cannot be loaded";
        return false;
    }
    m_manager = manager;
    m_module = module;
    const bool complete = fetch(module, "kvCdCreateScene", m_create) && fetch(module, "kvCdDestroyScene", m_destroy) &&
                          fetch(module, "kvCdSetPart", m_setPart) &&
                          fetch(module, "kvCdAddMachineStl", m_addMachine) &&
                          fetch(module, "kvCdMachineCount", m_machineCount) &&
                          fetch(module, "kvCdSetTool", m_setTool) && fetch(module, "kvCdTestTool", m_test);
    if (!complete) {
        problem = kvCString(L"The collision library ") + libraryName + L" lacks an entry";
        unload();
        return false;
    }
    m_scene = m_create();
    if (!m_scene) {
        problem = L"The collision library made no scene";
        unload();
        return false;
    }
    return true;
}

void kvCCollisionCheck::unload()
{
    if (m_scene && m_destroy)
        m_destroy(m_scene);
    m_scene = nullptr;
    m_hasTool = false;
    if (m_module && !m_manager.isNull())
        m_manager->freeModule(m_module);
    m_module = nullptr;
    m_manager.detach();
    m_create = nullptr;
    m_destroy = nullptr;
    m_setPart = nullptr;
    m_addMachine = nullptr;
    m_machineCount = nullptr;
    m_setTool = nullptr;
    m_test = nullptr;
}

bool kvCCollisionCheck::setPart(const kvPartMesh& mesh, kvCString& problem)
{
    if (!isLoaded()) {
        problem = L"The collision library is not loaded";
        return false;
    }
    if (m_setPart(m_scene, mesh.xyz.data(), mesh.pointCount(), mesh.triangles.data(), mesh.triangleCount()) != 0) {
        problem = L"The collision library refused the part model";
        return false;
    }
    return true;
}

int kvCCollisionCheck::addMachineStl(const std::string& path, int* skipped)
{
    if (skipped)
        *skipped = 0;
    return isLoaded() ? m_addMachine(m_scene, path.c_str(), skipped) : kvCdErrArgument;
}

int kvCCollisionCheck::machineCount() const
{
    return isLoaded() ? m_machineCount(m_scene) : 0;
}

bool kvCCollisionCheck::setTool(const std::vector<kvCdCylinder>& bodies, kvCString& problem)
{
    if (!isLoaded()) {
        problem = L"The collision library is not loaded";
        return false;
    }
    if (m_setTool(m_scene, bodies.data(), static_cast<int>(bodies.size())) != 0) {
        problem = L"The collision library refused the tool";
        return false;
    }
    m_hasTool = true;
    return true;
}

int kvCCollisionCheck::test(const kvCGeMatrix& toolFrame, kvCdHit* hit)
{
    if (!isLoaded())
        return kvCdErrArgument;
    double m[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[4 * r + c] = toolFrame(r, c);
    return m_test(m_scene, m, hit);
}

kvToolLengthSearch kvSearchFreeToolLength(double startLength, const std::function<int(double)>& test)
{
    kvToolLengthSearch search;
    for (int step = 0;; ++step) {
        const double length = startLength + step * kvToolLengthStep;
        if (length - startLength > kvToolLengthSearchLimit) {
            search.outcome = kvToolLengthSearch::gaveUp;
            return search;
        }
        const int result = test(length);
        ++search.tests;
        if (result < 0 || result > 1) {
            search.outcome = result < 0 ? kvToolLengthSearch::failed : kvToolLengthSearch::blocked;
            return search;
        }
        if (result == 0) {
            search.outcome = kvToolLengthSearch::found;
            search.length = length;
            return search;
        }
    }
}

kvMachineModels kvFindMachineModels(const std::wstring& baseFolder, const std::wstring& machine)
{
    kvMachineModels models;
    if (machine.empty())
        return models;
    if (machine.find_first_of(L"/\\") != std::wstring::npos || machine == L"." || machine == L"..") {
        models.state = kvMachineModels::badName;
        return models;
    }
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(baseFolder) / "Machines" / fs::path(machine);
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        models.state = kvMachineModels::noFolder;
        return models;
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::wstring extension = it->path().extension().wstring();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        if (extension == L".stl")
            models.files.push_back(it->path().string());
    }
    std::sort(models.files.begin(), models.files.end());
    models.state = models.files.empty() ? kvMachineModels::noFiles : kvMachineModels::found;
    return models;
}

kvCString kvMachineModelProblem(int error)
{
    switch (error) {
    case kvCdErrFile: return L"cannot be read or is empty";
    case kvCdErrFormat: return L"is truncated or not an STL file";
    case kvCdErrCountBelowData:
        return L"is a binary STL file whose triangle count is smaller than the triangles it holds";
    case kvCdErrCount: return L"has no triangles or more than the library takes";
    case kvCdErrCoordinate: return L"has a corner that is not a finite coordinate within 1e6";
    case kvCdErrNoArea: return L"has no triangle with an area";
    case kvCdErrMemory: return L"is too large for the memory left";
    default: return L"was refused by the collision library";
    }
}

bool kvHostBaseFolder(kvIResourceMgr1* manager, std::wstring& folder)
{
    // Past the longest path the platform knows, nothing more is asked.
    const int kLongestPath = 32768;
    if (!manager)
        return false;
    for (int capacity = 1024; capacity <= kLongestPath; capacity *= 2) {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(capacity), L'\0');
        if (manager->getBaseFolder(buffer.data(), capacity) == 0) {
            buffer.back() = L'\0';
            folder = buffer.data();
            return true;
        }
    }
    return false;
}

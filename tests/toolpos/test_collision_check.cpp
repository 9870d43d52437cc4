// The collision library reached as the module reaches it: through the host's
// resource manager, by file name, with every entry fetched by name.
#include "geom/geom.h"
#include "sdk/kvUnknownImp.h"
#include "toolpos/kvCCollisionCheck.h"
#include "toolpos/kvPartMesh.h"
#include "toolpos/kvToolShape.h"

#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <memory>
#include <string>

namespace {

// A resource manager that loads the libraries it is given for real.
class Resources : public kvIUnknownImp, public kvIResourceMgr1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIResourceMgr1>(this, name); }
    int loadModule(const wchar_t* fileName, HMODULE* module) override
    {
        *module = nullptr;
        auto it = files.find(fileName);
        if (it == files.end())
            return -1;
        *module = LoadLibraryW(it->second.c_str());
        if (!*module)
            return -1;
        ++loaded;
        return 0;
    }
    int freeModule(HMODULE module) override
    {
        ++freed;
        return FreeLibrary(module) ? 0 : -1;
    }
    std::map<std::wstring, std::wstring> files;
    int loaded = 0;
    int freed = 0;
};

class App : public kvIUnknownImp, public kvIApplication1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIApplication1>(this, name); }
    int getResourceManager(kvIUnknown** manager) override
    {
        if (!resources)
            return -1;
        *manager = static_cast<kvIResourceMgr1*>(resources);
        (*manager)->addRef();
        return 0;
    }
    Resources* resources = nullptr;
};

template <class T>
T* held()
{
    T* object = new kvIfImp<T>();
    object->_addRef();
    return object;
}

std::wstring wide(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The block 0..100 x 0..60 x 0..40 from its six faces.
kvPartMesh blockMesh()
{
    kvPartMesh mesh;
    const double c[8][3] = {{0, 0, 0}, {100, 0, 0}, {0, 60, 0}, {100, 60, 0},
                            {0, 0, 40}, {100, 0, 40}, {0, 60, 40}, {100, 60, 40}};
    const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 4, 5}, {2, 3, 6, 7}, {0, 2, 4, 6}, {1, 3, 5, 7}};
    for (const auto& f : faces) {
        RatBSplSurf* s = ratBSplSurfBilinear(c[f[0]], c[f[2]], c[f[1]], c[f[3]]);
        kvTessellateTrimmedFace(s, [](const GeomPoint&) { return true; }, 0.01, HUGE_VAL, mesh);
        ratBSplSurfFree(s);
    }
    return mesh;
}

kvCGeMatrix at(double x, double y, double z)
{
    kvCGeMatrix m;
    m.setTranslation(kvCGePoint(x, y, z));
    return m;
}

struct CollisionCheck : ::testing::Test {
    Resources* resources = held<Resources>();
    App* app = held<App>();
    void SetUp() override { app->resources = resources; }
    void TearDown() override
    {
        app->_relRef();
        EXPECT_EQ(resources->refCount(), 1) << "the check keeps no reference to the resource manager";
        resources->_relRef();
    }
};

} // namespace

TEST_F(CollisionCheck, LoadsTheLibraryByNameTestsTheToolAndGivesTheLibraryBack)
{
    resources->files[kvCCollisionCheck::libraryName] = wide(KV_CDTREE_PATH);
    kvToolDimensions tool;
    tool.diameter = 6;
    tool.length = 30;
    tool.cuttingLength = 30;
    tool.shaftDiameter = 6;
    tool.holderDiameter1 = 30;
    tool.holderLength1 = 40;
    {
        kvCCollisionCheck check;
        kvCString problem;
        ASSERT_TRUE(check.load(app, problem)) << problem.str().size();
        ASSERT_TRUE(check.setPart(blockMesh(), problem));
        EXPECT_EQ(check.test(at(50, 30, 40)), kvCdErrNoTool);
        ASSERT_TRUE(check.setTool(kvToolCylinders(tool, 0.01), problem));
        kvCdHit hit;
        EXPECT_EQ(check.test(at(50, 30, 40), &hit), 0);
        EXPECT_EQ(check.test(at(50, 30, 30), &hit), 1);
        EXPECT_EQ(hit.body, kvCdBodyCutter);
        // Loading again keeps the loaded library.
        EXPECT_TRUE(check.load(app, problem));
        EXPECT_EQ(resources->loaded, 1);
    }
    EXPECT_EQ(resources->freed, 1);
}

TEST_F(CollisionCheck, AMissingOrIncompleteLibraryIsReportedAndNothingIsKept)
{
    kvCCollisionCheck check;
    kvCString problem;
    EXPECT_FALSE(check.load(app, problem));
    EXPECT_EQ(problem, kvCString(L"The collision library kvCdTree.dll cannot be loaded"));
    EXPECT_FALSE(check.isLoaded());

    // A library that is not the collision library: loaded, found lacking, freed.
    resources->files[kvCCollisionCheck::libraryName] = L"libm.so.6";
    EXPECT_FALSE(check.load(app, problem));
    EXPECT_EQ(problem, kvCString(L"The collision library kvCdTree.dll lacks an entry"));
    EXPECT_EQ(resources->loaded, resources->freed);
    EXPECT_EQ(check.test(at(0, 0, 0)), kvCdErrArgument);
    EXPECT_FALSE(check.setPart(blockMesh(), problem));

    app->resources = nullptr;
    EXPECT_FALSE(check.load(app, problem));
    EXPECT_EQ(problem, kvCString(L"The host offers no resource manager to load the collision library"));
    EXPECT_FALSE(check.load(nullptr, problem));
}

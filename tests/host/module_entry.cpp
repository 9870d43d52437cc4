// The tests link the module's code into their own program, where no loader
// runs its entry point: the environment plays the loader, once for the run.
#include "host/AnalyseStart.h"
#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

namespace {

class ModuleLoaded : public ::testing::Environment {
public:
    void SetUp() override
    {
        instance = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&DllMain));
        ASSERT_EQ(DllMain(instance, 1, nullptr), 1);
    }
    void TearDown() override { DllMain(instance, 0, nullptr); }

private:
    HINSTANCE instance = nullptr;
};

const ::testing::Environment* const moduleLoaded = ::testing::AddGlobalTestEnvironment(new ModuleLoaded);

} // namespace

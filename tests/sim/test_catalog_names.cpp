// Colour names of the host's catalogue as the user reads them: characters
// that do not print (control characters, the no-break space) reached the
// panel raw, where an escape sequence would act on the terminal.
#include "hostsim_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace hostsim_test;

TEST(CatalogNames, UnprintableCharactersOfANameAreShownEscaped)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(testing::TempDir()) / ("catalog_names_" + std::to_string(getpid()));
    fs::create_directories(base / "feattech");
    std::ofstream(base / "feattech" / "kvColorCatalog.xml")
        << "<Color_Interface_Definition R=\"192\" G=\"192\" B=\"192\" Name=\"Sil\x1b[2Jver\a\b\xa0grey\"/>\n";
    const SimRun run = runHostsim(kModule + " -", "basefolder " + base.string() +
                                                      "\nanalyse\nmode 1\npick 10 20 100 0 0 -1\nresults\nclose\n");
    fs::remove_all(base);
    ASSERT_EQ(run.status, 0) << run.all();
    bool found = false;
    for (const std::string& line : run.lines) {
        EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
        if (line.find("Name") != std::string::npos)
            found = line.find("Sil\\x1b[2Jver\\x07\\x08\\u+00A0grey") != std::string::npos;
    }
    EXPECT_TRUE(found) << run.all();
}

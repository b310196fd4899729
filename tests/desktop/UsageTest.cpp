// Each tool's usage, as --help prints it, is the one the README shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/Subprocess.h"

namespace {

TEST(Usage, EveryToolsHelpIsInTheReadme) {
    std::ifstream in(README_FILE);
    std::stringstream readme;
    readme << in.rdbuf();
    for (const char* tool : {TARVOKIN_TOOL, TIDEPOOL_DRIVER, TIDEPOOL_CONTENT}) {
        auto r = testsupport::runProcess(tool, {"--help"});
        EXPECT_EQ(r.exitStatus, 0) << tool;
        EXPECT_GT(r.outLines().size(), 1u) << tool;
        for (const std::string& line : r.outLines())
            EXPECT_NE(readme.str().find(line), std::string::npos) << tool << ": the README lacks\n" << line;
    }
}

}  // namespace

// CTest hands every test the build's folders and an English locale, whatever
// the developer's own; KORVA_EXPECTED_ENVIRONMENT is that list as the build
// wrote it. Run through ctest: alone the test has no environment to check.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

TEST(TestEnvironment, EveryVariableReachesADiscoveredTest)
{
    std::istringstream entries(KORVA_EXPECTED_ENVIRONMENT);
    std::string entry;
    int checked = 0;
    while (std::getline(entries, entry, '|')) {
        const std::string name = entry.substr(0, entry.find('='));
        const std::string expected = entry.substr(name.size() + 1);
        const char* value = std::getenv(name.c_str());
        EXPECT_EQ(value ? std::string(value) : std::string(), expected) << name;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

}  // namespace

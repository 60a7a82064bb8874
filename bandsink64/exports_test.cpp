// What the built library shows to the outside: the six exports only.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>
#include <sstream>

using namespace korva::testing;

namespace {

TEST(Exports, OnlyTheSixExitFunctionsAreDefined)
{
    ProcessResult nm = runProcess({"/usr/bin/nm", "-D", "--defined-only", korva::exitLibraryPath()});
    ASSERT_EQ(nm.exitCode, 0) << nm.err;
    std::set<std::string> names;
    std::istringstream lines(nm.out);
    std::string address, type, name;
    while (lines >> address >> type >> name)
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"getVersion", "startDocExit", "startPageExit", "textOutExit", "endPageExit",
                                            "endDocExit"}));
}

TEST(Exports, PrototypesMatchTheHeader)
{
    // The header's prototypes are what a driver compiles against; the
    // loaded symbols must be callable through them.
    TempHome home;
    SinkLibrary sink;
    static_assert(std::is_same_v<decltype(&getVersion), BandSink64GetVersionFn>);
    static_assert(std::is_same_v<decltype(&startDocExit), BandSink64StartDocExitFn>);
    static_assert(std::is_same_v<decltype(&startPageExit), BandSink64StartPageExitFn>);
    static_assert(std::is_same_v<decltype(&textOutExit), BandSink64TextOutExitFn>);
    static_assert(std::is_same_v<decltype(&endPageExit), BandSink64EndPageExitFn>);
    static_assert(std::is_same_v<decltype(&endDocExit), BandSink64EndDocExitFn>);
    EXPECT_EQ(sink.getVersion(), 3);
    EXPECT_EQ(sink.textOutExit("x"), 0);
}

}  // namespace

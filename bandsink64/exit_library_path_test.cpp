// faxprint, the CUPS backend and the tests find the exit library by one rule.
#include "bandsink64/exit_library_loader.h"
#include "platform/testing/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

class BandsinkVariable {
public:
    explicit BandsinkVariable(const std::optional<std::string>& value)
    {
        if (const char* before = std::getenv(kName))
            saved_ = before;
        value ? setenv(kName, value->c_str(), 1) : unsetenv(kName);
    }
    ~BandsinkVariable() { saved_ ? setenv(kName, saved_->c_str(), 1) : unsetenv(kName); }

private:
    static constexpr const char* kName = "KORVAFAX_BANDSINK";
    std::optional<std::string> saved_;
};

TEST(ExitLibraryPath, TheVariableWinsElseTheLibraryBesideTheRunningProgram)
{
    const std::string built = korva::testing::libPath("libbandsink64.so");
    struct Case {
        std::optional<std::string> variable;
        std::string expected;
    };
    for (const Case& c :
         {Case{"/elsewhere/libother.so", "/elsewhere/libother.so"}, Case{"", built}, Case{std::nullopt, built}}) {
        BandsinkVariable variable(c.variable);
        const std::string found = korva::exitLibraryPath();
        std::error_code ec;
        EXPECT_TRUE(found == c.expected || std::filesystem::equivalent(found, c.expected, ec))
            << found << " instead of " << c.expected;
    }
}

}  // namespace

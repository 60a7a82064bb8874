// The queue on the machine's own scheduler, as korvafax-install-printer sets
// it up: a job reaches a spool folder only for the user the scheduler
// authenticated, and removing the queue leaves cupsd.conf as it was.

#include "tools/cups/testing/build_paths.h"
#include "tools/cups/testing/job_user_fixture.h"
#include "tools/cups/testing/pdf_writer.h"
#include "tools/cups/testing/system_cupsd.h"

#include "platform/testing/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <set>

namespace fs = std::filesystem;
using namespace korva::cups::testing;
using korva::testing::ProcessResult;
using korva::testing::runProcess;

namespace {

const char* const rootSpool = "/root/.local/share/KORVAFax";

// What is under `folder` now; another program of root's may have made it
// already, so the test looks for what a job adds.
std::set<std::string> filesUnder(const std::string& folder)
{
    std::set<std::string> found;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it); it.increment(error))
        found.insert(it->path().string());
    return found;
}

class SystemQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string why = SystemCupsd::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        user_ = std::make_unique<TestUser>();
        otherHome_ = user_->addUser("korvafaxother", user_->uid() + 1);
        cupsd_ = std::make_unique<SystemCupsd>(*user_);
        ASSERT_EQ(cupsd_->start(), "");
        document_ = user_->home() + "/letter.pdf";
        korva::testing::writeWholeFile(document_, writePdf({PdfPage{}}));
        user_->giveToUser(document_);
    }

    void TearDown() override
    {
        cupsd_.reset();
        user_.reset();
    }

    ProcessResult installPrinter(const std::string& argument = {}) const
    {
        std::vector<std::string> argv{installPrinterScript()};
        if (!argument.empty())
            argv.push_back(argument);
        return runProcess(argv, "", {{"KORVAFAX_PPD", KORVAFAX_PPD_SOURCE}, {"KORVAFAX_STATE_DIR", stateDir()}});
    }

    std::string stateDir() const { return user_->root() + "/state"; }

    // lp as the test user, or as root; the job id (0 when lp refused),
    // after the job has ended.
    int print(bool asRoot, const std::vector<std::string>& extra, std::string& out)
    {
        std::vector<std::string> argv{"/usr/bin/lp", "-d", "KORVA_Fax", "-o", "phone=0301234"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        argv.push_back(document_);
        ProcessResult r = runProcess(asRoot ? argv : user_->runAs(argv), "", user_->nssEnv());
        out = r.out + r.err;
        std::smatch m;
        if (r.exitCode != 0 || !std::regex_search(r.out, m, std::regex("request id is KORVA_Fax-([0-9]+)")))
            return 0;
        const int job = std::stoi(m[1]);
        EXPECT_TRUE(cupsd_->waitForJob(job, 60000)) << "job " << job;
        return job;
    }

    std::unique_ptr<TestUser> user_;
    std::unique_ptr<SystemCupsd> cupsd_;
    std::string otherHome_, document_;
};

}  // namespace

TEST_F(SystemQueueTest, OnlyTheAuthenticatedUserReachesASpoolFolder)
{
    ProcessResult install = installPrinter();
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    EXPECT_TRUE(cupsd_->cupsdConf() != cupsd_->cupsdConfBefore()) << "the policy is in cupsd.conf";

    struct Case {
        const char* what;
        bool asRoot;
        std::vector<std::string> lpOptions;
        bool taken;  // whether the scheduler takes the job
    };
    const Case cases[] = {
        {"lp -U another user", false, {"-U", "korvafaxother"}, false},
        {"lp -U root", false, {"-U", "root"}, false},
        {"root's own lp", true, {}, true},
        {"the user's own lp", false, {}, true},
    };
    const std::set<std::string> rootFilesBefore = filesUnder(rootSpool);
    for (const Case& c : cases) {
        std::string out;
        const int job = print(c.asRoot, c.lpOptions, out);
        EXPECT_EQ(job != 0, c.taken) << c.what << ": " << out;
        EXPECT_TRUE(fs::is_empty(otherHome_)) << c.what;
        EXPECT_EQ(filesUnder(rootSpool), rootFilesBefore) << c.what;
    }
    EXPECT_TRUE(fs::exists(user_->spool() + "/korvafax.tif")) << "the user's own job arrives";
    EXPECT_TRUE(fs::exists(user_->spool() + "/control.dat"));
}

TEST_F(SystemQueueTest, RemovingTheQueueLeavesCupsdConfAsItWas)
{
    const std::string postrm = std::string(KORVAFAX_SOURCE_ROOT) + "/packaging/postrm";
    struct Case {
        const char* what;
        std::vector<std::string> remove;
    };
    const Case cases[] = {
        {"korvafax-install-printer --remove", {installPrinterScript(), "--remove"}},
        {"the package's purge", {"/bin/sh", postrm, "purge"}},
    };
    for (const Case& c : cases) {
        ProcessResult install = installPrinter();
        ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
        ProcessResult again = installPrinter();
        ASSERT_EQ(again.exitCode, 0) << again.out << again.err;
        EXPECT_TRUE(cupsd_->cupsdConf() != cupsd_->cupsdConfBefore()) << c.what << ": the policy is in cupsd.conf";
        ProcessResult removed = runProcess(c.remove, "", {{"KORVAFAX_STATE_DIR", stateDir()}});
        EXPECT_EQ(removed.exitCode, 0) << c.what << ": " << removed.out << removed.err;
        EXPECT_EQ(cupsd_->cupsdConf(), cupsd_->cupsdConfBefore()) << c.what;
        EXPECT_NE(runProcess({"/usr/bin/lpstat", "-v", "KORVA_Fax"}).exitCode, 0) << c.what << ": the queue is gone";
    }
}

#include "faxcourier/app/pipeline_converter.h"

#include "faxcourier/pipeline/pipeline_state.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace korva::app {
namespace {

using namespace std::chrono_literals;

class RecordingSink : public ErrorSink {
public:
    void reportError(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(text);
    }
    std::vector<std::string> reports()
    {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> reports_;
};

// A file-target conversion is dropped at once. Its print file (a FIFO) only
// yields its bytes while the program ends, so the conversion reports after
// the quit; the converter's end must wait for that report, since the sink
// and the counter go right after it.
TEST(PipelineConverter, QuitDuringAFileTargetConversionEndsItBeforeItsSinkGoes)
{
    korva::testing::TempHome home;
    const std::string printFile = home.path() + "/korvafax1.tif";
    ASSERT_EQ(::mkfifo(printFile.c_str(), 0600), 0);
    std::atomic<bool> quit{false};
    auto state = std::make_unique<PipelineState>();
    state->stop = &quit;
    auto sink = std::make_unique<RecordingSink>();
    auto converter = std::make_unique<PipelineConverter>(home.path(), *state, sink.get());
    converter->start(printFile, {home.path() + "/out.tif"}, nullptr, home.path() + "/1.dat").reset();

    quit = true;
    std::thread feeder([&] {
        std::this_thread::sleep_for(100ms);  // long enough for the quit to end everything it waits for
        int fd = ::open(printFile.c_str(), O_WRONLY);
        if (fd >= 0) {
            EXPECT_EQ(::write(fd, "no TIFF", 7), 7);
            ::close(fd);
        }
    });
    converter.reset();
    std::vector<std::string> reports = sink->reports();
    sink.reset();
    state.reset();
    feeder.join();
    // The conversion ends by setting its print file aside; on the old path
    // that came after the sink was gone.
    for (auto end = std::chrono::steady_clock::now() + 5s;
         fileExists(printFile) && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(10ms);

    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports.front().find("cannot be read"), std::string::npos) << reports.front();
}

}  // namespace
}  // namespace korva::app

// A fax document that cannot be written reaches the arrival as such, so the
// print file is kept for a later try rather than counted as giving no pages.
TEST(PipelineConverter, AWriteFailureIsReportedAndThePrintFileKept)
{
    korva::testing::TempHome home;
    const std::string printFile = home.path() + "/1.tif";
    ASSERT_TRUE(korva::testing::writePrintFile(printFile, {korva::testing::PrintPage{}}));
    korva::PipelineState state;
    korva::app::PipelineConverter converter(home.path(), state, nullptr);
    auto conversion = converter.start(printFile, {home.path() + "/no-such-folder/fax.tif"}, nullptr, "");
    conversion->wait();
    EXPECT_TRUE(conversion->writeFailed());
    EXPECT_EQ(conversion->pageCount(), 0u);
    EXPECT_TRUE(korva::fileExists(printFile));
}

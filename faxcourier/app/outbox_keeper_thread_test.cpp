// A retry waits on its server off the main thread: arrivals, dialogs and
// the status-icon menu go on meanwhile, and the result comes back to the
// main thread.

#include "faxcourier/app/outbox_keeper.h"

#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/testing/test_support.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

using namespace korva;
using namespace korva::app;
using korva::app::testing::processEventsUntil;
using korva::testing::TempHome;
using korva::testing::writeWholeFile;

TEST(OutboxKeeperThread, TheMainLoopRunsWhileARetryWaitsOnASilentServer)
{
    korva::app::testing::testApplication();
    TempHome home;
    {
        std::filesystem::create_directories(home.spool());
        writeWholeFile(home.spool() + "/korvafax1.tif", "fax pages");
        FaxJob job;
        job.recipients.emplace_back("0301~Anna~Acme");
        FaxDocument document;
        document.file = (home.spool() + "/korvafax1.tif").c_str();
        job.documents.push_back(document);
        // Due long ago: the keeper retries it at once.
        ASSERT_TRUE(Outbox(home.spool()).add(job, OutboxState::Waiting, "down", 1000));
    }

    // The silent server: answers once released, or gives up after a while.
    std::mutex mutex;
    std::condition_variable wake;
    bool entered = false, released = false, gaveUp = false;
    auto silentServer = [&](FaxJob&) {
        std::unique_lock lock(mutex);
        entered = true;
        gaveUp = !wake.wait_for(lock, std::chrono::seconds(3), [&] { return released; });
        return SubmitResult{true, false, {}};
    };
    const std::thread::id mainThread = std::this_thread::get_id();
    std::atomic<bool> countedOffMain{false};
    size_t lastCount = 99;

    OutboxKeeper keeper(home.spool(), silentServer);
    keeper.onCountChanged([&](size_t count) {
        countedOffMain = countedOffMain || std::this_thread::get_id() != mainThread;
        lastCount = count;
    });
    ASSERT_TRUE(processEventsUntil([&] {
        std::lock_guard lock(mutex);
        return entered;
    }));
    // While the server is silent, a timer of the main loop still fires.
    bool ticked = false;
    QTimer::singleShot(10, [&] {
        ticked = true;
        std::lock_guard lock(mutex);
        released = true;
        wake.notify_all();
    });
    ASSERT_TRUE(processEventsUntil([&] { return ticked; }, std::chrono::milliseconds(100)));
    ASSERT_TRUE(processEventsUntil([&] { return lastCount == 0; }));
    std::lock_guard lock(mutex);
    EXPECT_FALSE(gaveUp);
    EXPECT_FALSE(countedOffMain);
}

// The notifications a person reads on a private session bus: one per fax
// and state, "Open Outbox" where the service shows actions, and a notice
// at start while faxes wait.

#include "faxcourier/app/desktop_notice.h"
#include "faxcourier/app/outbox_keeper.h"

#include "faxcourier/app/testing/notification_catcher.h"
#include "faxcourier/app/testing/session_bus.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

using namespace korva;
using namespace korva::app;
using korva::app::testing::CaughtNotice;
using korva::app::testing::NotificationCatcher;
using korva::app::testing::processEventsUntil;
using korva::app::testing::SessionBus;
using korva::testing::TempHome;
using std::chrono::milliseconds;

namespace {

// One bus for the whole process: the program's session bus connection is
// made once.
class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { bus = std::make_unique<SessionBus>(); }
    void TearDown() override { bus.reset(); }
    static inline std::unique_ptr<SessionBus> bus;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

class Notices : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!BusEnvironment::bus->running())
            GTEST_SKIP() << "no dbus-daemon for a private session bus";
        korva::app::testing::testApplication();
        std::filesystem::create_directories(home.spool());
    }

    FaxJob unsentJob(const char* subject)
    {
        FaxJob job;
        job.subject = subject;
        job.recipients = {"0301 555~Berta Blau~Blau KG", "0402 666~~"};
        const std::string file = home.spool() + "/korvafax" + std::to_string(++documents) + ".tif";
        korva::testing::writeWholeFile(file, "fax pages");
        FaxDocument document;
        document.file = file.c_str();
        document.pages = 2;
        job.documents.push_back(document);
        return job;
    }

    static std::vector<std::string> summaries(const std::vector<CaughtNotice>& notices)
    {
        std::vector<std::string> list;
        for (const CaughtNotice& notice : notices)
            list.push_back(notice.summary.toStdString());
        return list;
    }

    TempHome home;
    int documents = 0;
};

// An automatic fax the server did not take: one notice as it enters the
// outbox, silence while retries fail the same way, one when that changes.
TEST_F(Notices, OnePerFaxAndState)
{
    struct Case {
        const char* name;
        std::vector<SubmitResult> retries;
        std::vector<std::string> summaries;
        const char* lastReason;
    };
    const SubmitResult down{false, false, "connect to 127.0.0.1:1 failed (error 111)", "the server did not answer"};
    const SubmitResult refused{false, true, "535 5.7.8 Authentication credentials invalid",
                               "the log-on was refused: Authentication credentials invalid"};
    const SubmitResult accepted{true, false, {}};
    const Case cases[] = {
        {"delivered by a retry", {down, down, accepted}, {"Fax waiting in the outbox", "Fax sent"}, ""},
        {"refused by a retry",
         {down, refused},
         {"Fax waiting in the outbox", "Fax refused"},
         "The log-on was refused: Authentication credentials invalid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NotificationCatcher catcher(BusEnvironment::bus->address());
        ASSERT_TRUE(catcher.listening());
        size_t tried = 0;
        OutboxKeeper keeper(home.spool(), [&](FaxJob&) { return c.retries.at(tried++); });
        int64_t clock = std::time(nullptr);
        keeper.setClock([&] { return clock; });
        size_t runs = 0;
        keeper.onCountChanged([&](size_t) { ++runs; });

        FaxJob job = unsentJob("Quarterly report");
        ASSERT_TRUE(keeper.keep(job, SubmitReport{SubmitFailure::Transient, down.reason, down.words}));
        ASSERT_EQ(catcher.waitForNotices(1, milliseconds(10000)).size(), 1u);
        for (size_t retry = 0; retry < c.retries.size(); ++retry) {
            clock += 3600;  // past any back-off
            const size_t before = runs;
            keeper.retryDue();
            ASSERT_TRUE(processEventsUntil([&] { return runs > before; }));
        }
        std::vector<CaughtNotice> notices = catcher.waitForNotices(2, milliseconds(10000));
        EXPECT_EQ(summaries(notices), c.summaries);
        ASSERT_EQ(notices.size(), 2u);
        EXPECT_EQ(notices[0].body.toStdString(),
                  "Quarterly report\nTo Berta Blau and 0402 666\n2 pages\nThe server did not answer.");
        EXPECT_EQ(notices[1].body.toStdString(), std::string("Quarterly report\nTo Berta Blau and 0402 666\n2 pages") +
                                                     (*c.lastReason ? std::string("\n") + c.lastReason : ""));
    }
}

// The notice at start names how many wait and why, and offers the outbox
// where the service can show it.
TEST_F(Notices, AtStartWaitingFaxesAreCountedAndOpenTheOutbox)
{
    {
        Outbox outbox(home.spool());
        FaxJob first = unsentJob("Offer"), second = unsentJob("Invoice");
        const int64_t now = std::time(nullptr);
        ASSERT_TRUE(outbox.add(first, OutboxState::Waiting, "the server did not answer", now));
        ASSERT_TRUE(outbox.add(second, OutboxState::Refused, "the log-on was refused", now));
    }
    for (bool showsActions : {false, true}) {
        SCOPED_TRACE(showsActions ? "with actions" : "without actions");
        NotificationCatcher catcher(BusEnvironment::bus->address(),
                                    showsActions ? QStringList{"body", "actions"} : QStringList{"body"});
        ASSERT_TRUE(catcher.listening());
        int opened = 0;
        korva::testing::ScopedSeam opener(setOutboxOpener, [&] { ++opened; });
        OutboxKeeper keeper(home.spool(), [](FaxJob&) { return SubmitResult{}; });
        keeper.noticeWaitingAtStart();
        std::vector<CaughtNotice> notices = catcher.waitForNotices(1, milliseconds(10000));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].summary, "2 faxes wait in the outbox");
        EXPECT_EQ(notices[0].body.toStdString(),
                  "Offer to Berta Blau and 0402 666: the server did not answer\n"
                  "Invoice to Berta Blau and 0402 666: the log-on was refused");
        EXPECT_EQ(notices[0].actions.contains("outbox"), showsActions);
        if (!showsActions)
            continue;
        catcher.invokeAction(notices[0].id + 1, "outbox");  // another notification's
        catcher.invokeAction(notices[0].id, "outbox");
        EXPECT_TRUE(processEventsUntil([&] { return opened > 0; }));
        EXPECT_EQ(opened, 1);
    }
}

// A subject is text: a service that reads markup in the body gets it escaped.
TEST_F(Notices, TheBodyIsEscapedOnlyForAServiceThatReadsMarkup)
{
    struct Case {
        QStringList capabilities;
        const char* body;
    };
    const Case cases[] = {
        {{"body"}, "Tom & Jerry <draft>"},
        {{"body", "body-markup"}, "Tom &amp; Jerry &lt;draft&gt;"},
    };
    for (const Case& c : cases) {
        NotificationCatcher catcher(BusEnvironment::bus->address(), c.capabilities);
        ASSERT_TRUE(catcher.listening());
        showDesktopNotice({"Fax sent", "Tom & Jerry <draft>"});
        std::vector<CaughtNotice> notices = catcher.waitForNotices(1, milliseconds(10000));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].body.toStdString(), c.body);
    }
}

}  // namespace

// The startup-notification "remove" message for a launcher's startup id.

#include "faxcourier/app/x11_startup_id.h"

#include <gtest/gtest.h>

namespace {

TEST(X11StartupId, RemoveMessageQuotesOnlyWhatNeedsIt)
{
    struct Case {
        const char* id;
        const char* message;
    };
    for (Case c : {Case{"openbox-1-host_TIME42", "remove: ID=openbox-1-host_TIME42"}, Case{"a b", "remove: ID=\"a b\""},
                   Case{"say \"hi\"\\", "remove: ID=\"say \\\"hi\\\"\\\\\""}})
        EXPECT_EQ(korva::app::startupRemoveMessage(c.id).toStdString(), c.message) << c.id;
}

}  // namespace

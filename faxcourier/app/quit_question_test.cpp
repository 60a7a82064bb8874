// Quit from the status icon or --quit while a fax is in hand.

#include "faxcourier/app/quit_question.h"
#include "faxcourier/widgets/quit_request.h"
#include "faxcourier/widgets/testing/scripted_ui.h"

#include <gtest/gtest.h>

using namespace korva::app;

namespace {

struct QuitCase {
    bool faxInHand;
    Answer answer;
    bool ends;
    size_t boxes;
};

TEST(QuitFromOutside, AsksOnlyWithAFaxInHandAndEndsOnlyOnYes)
{
    korva::app::testing::testApplication();
    const QuitCase cases[] = {
        {false, Answer::None, true, 0},
        {true, Answer::Yes, true, 1},
        {true, Answer::No, false, 1},
        {true, Answer::Cancel, false, 1},
    };
    for (const QuitCase& c : cases) {
        korva::app::testing::ScriptedUi scripted;
        if (c.answer != Answer::None)
            scripted.answer(c.answer);
        quitUnlessRefused(c.faxInHand, nullptr);
        EXPECT_EQ(quitRequested(), c.ends) << c.faxInHand << " " << int(c.answer);
        EXPECT_EQ(scripted.boxes.size(), c.boxes);
        resetQuitRequest();
    }
}

}  // namespace

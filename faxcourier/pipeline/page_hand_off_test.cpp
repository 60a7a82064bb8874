#include "faxcourier/pipeline/page_hand_off.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>

using korva::PageHandOff;
using namespace std::chrono_literals;

// The slot holds one page: a second put waits for the take, so a fast
// reader never piles pages up; items come out in the order they went in.
TEST(PageHandOff, APutWaitsUntilThePageBeforeIsTaken)
{
    PageHandOff<std::string> slot;
    ASSERT_TRUE(slot.put("page 1"));
    std::atomic<bool> secondIn{false};
    auto second = std::async(std::launch::async, [&] {
        bool taken = slot.put("page 2");
        secondIn = true;
        return taken;
    });
    EXPECT_EQ(second.wait_for(100ms), std::future_status::timeout) << "the slot is full";
    EXPECT_FALSE(secondIn);
    EXPECT_EQ(slot.take(), "page 1");
    EXPECT_TRUE(second.get());
    EXPECT_EQ(slot.take(), "page 2");
}

// The storing side stops early: a reader waiting to hand on its page gives
// up instead of waiting for ever, and what was in the slot can still be taken.
TEST(PageHandOff, CloseReleasesAWaitingPutAndEmptiesTheSlotLast)
{
    PageHandOff<std::string> slot;
    ASSERT_TRUE(slot.put("page 1"));
    auto waiting = std::async(std::launch::async, [&] { return slot.put("page 2"); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    slot.close();
    EXPECT_FALSE(waiting.get());
    EXPECT_FALSE(slot.put("page 3"));
    EXPECT_EQ(slot.take(), "page 1");
    EXPECT_EQ(slot.take(), std::nullopt);
}

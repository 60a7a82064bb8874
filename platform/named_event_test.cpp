#include "platform/named_event.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <semaphore.h>
#include <string>
#include <unistd.h>

namespace {

std::string uniqueName()
{
    return "KORVAFaxEventTest" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

}  // namespace

TEST(NamedEvent, MissingEventIsNotCreated)
{
    std::string name = uniqueName();
    EXPECT_FALSE(korva::setNamedEvent(name));
    EXPECT_EQ(sem_open(("/" + name).c_str(), 0), SEM_FAILED);
}

TEST(NamedEvent, SetPostsTheWaitersSemaphore)
{
    std::string name = uniqueName();
    sem_t* event = sem_open(("/" + name).c_str(), O_CREAT | O_EXCL, 0600, 0);
    ASSERT_NE(event, SEM_FAILED);
    EXPECT_EQ(sem_trywait(event), -1);
    EXPECT_TRUE(korva::setNamedEvent(name));
    EXPECT_EQ(sem_trywait(event), 0);
    EXPECT_EQ(sem_trywait(event), -1);
    sem_close(event);
    sem_unlink(("/" + name).c_str());
}

#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace fk {
namespace {

// A name of our own, so a controller running on the same machine is never touched.
std::string TestName(const char* what) {
    return std::string("fk-test-") + what + "-" + std::to_string(getpid());
}

TEST(SingleInstance, SecondGuardFailsUntilTheFirstIsReleased) {
    const std::string name = TestName("pair");
    CSingleInstance first(name);
    CSingleInstance second(name);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire());  // holding it already is not a second instance
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_TRUE(second.Acquire());
    EXPECT_FALSE(first.Acquire());
}

// Another process sees the name, and a holder that dies without cleaning up
// leaves nothing behind.
TEST(SingleInstance, WorksAcrossProcessesAndSurvivesACrash) {
    const std::string name = TestName("proc");
    CSingleInstance mine(name);
    ASSERT_TRUE(mine.Acquire());
    const pid_t probe = fork();
    ASSERT_GE(probe, 0);
    if (probe == 0) {
        CSingleInstance other(name);
        _exit(other.Acquire() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(probe, &status, 0), probe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "second process got the guard";
    mine.Release();

    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        auto* leaked = new CSingleInstance(name);
        _exit(leaked->Acquire() ? 0 : 1);  // ends without releasing anything
    }
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    CSingleInstance after(name);
    EXPECT_TRUE(after.Acquire());
}

// Two users' desktop sessions each start their own window, while one user's second
// start still ends at the first one's guard.
TEST(SingleInstance, EachUserHasAGuardOfItsOwn) {
    if (geteuid() != 0) GTEST_SKIP() << "becoming another user needs root";
    const uid_t other_user = 65534;
    const std::string base = TestName("users");
    CSingleInstance mine(SessionInstanceName(base));
    ASSERT_TRUE(mine.Acquire());
    const pid_t probe = fork();
    ASSERT_GE(probe, 0);
    if (probe == 0) {
        if (setresuid(other_user, other_user, other_user) != 0) _exit(2);
        CSingleInstance theirs(SessionInstanceName(base));
        CSingleInstance second(SessionInstanceName(base));
        _exit(theirs.Acquire() && !second.Acquire() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(probe, &status, 0), probe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "another user's session could not take its guard, or took it twice";
}

}  // namespace
}  // namespace fk

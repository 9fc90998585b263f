// The tests' helper that becomes another user: a refused return to the superuser ends the process
// loudly, never leaving the cases after it to run as that user.
#include "tests/support/another_user.h"

#include <gtest/gtest.h>

namespace {

TEST(AnotherUserDeathTest, AReturnToTheSuperuserThatIsRefusedEndsTheProcess) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser becomes another user";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto refusedWayBack = [] {
        testsupport::AnotherUser user;
        // Every id of the process the other user's: the way back is shut.
        const uid_t nobody = testsupport::AnotherUser::kNobody;
        if (!user.switched() || ::setresuid(nobody, nobody, nobody) != 0) std::_Exit(2);
        user.end();
        std::_Exit(0);
    };
    EXPECT_DEATH(refusedWayBack(), "cannot become the superuser again");
    EXPECT_EQ(::geteuid(), 0u);
}

TEST(AnotherUserDeathTest, TheScopeEndsAsTheSuperuserAgain) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser becomes another user";
    {
        testsupport::AnotherUser user;
        ASSERT_TRUE(user.switched());
        EXPECT_TRUE(user.bound());
        EXPECT_EQ(::geteuid(), testsupport::AnotherUser::kNobody);
    }
    EXPECT_EQ(::geteuid(), 0u);
}

}  // namespace

// The camera screen's hosts follow the capture life cycle: made once per start, kept while they
// stop, dropped when the stop ends; a stop without a host is refused; shot mode 3 takes the video
// host.
#include "camera/screen/capture_hosts.h"

#include "foundation/global.h"
#include "tests/camera/camera_test_support.h"

using CaptureHostsTest = CameraTest;

TEST_F(CaptureHostsTest, AreMadeOncePerStartAndDroppedWhenTheStopEnds) {
    CaptureHosts hosts({});
    EXPECT_FALSE(hosts.beginStop()) << "nothing to stop";
    EXPECT_EQ(hosts.state(), CaptureState::Idle);

    auto ticket = hosts.beginStart();
    ASSERT_TRUE(ticket);
    auto first = hosts.current();
    ASSERT_TRUE(first);
    EXPECT_EQ(hosts.current(), first);
    EXPECT_EQ(hosts.stored(), first);
    EXPECT_EQ(first->position(), Global::shared()->position());
    EXPECT_TRUE(hosts.finishStart(*ticket));

    EXPECT_EQ(hosts.beginStop(), first);
    EXPECT_EQ(hosts.state(), CaptureState::Stopping);
    EXPECT_EQ(hosts.stored(), first) << "kept until the stop ends";
    hosts.finishStop();
    EXPECT_EQ(hosts.state(), CaptureState::Idle);
    EXPECT_FALSE(hosts.stored());

    // The next start builds afresh; a host left from before the start is dropped.
    (void)hosts.photo();
    ASSERT_TRUE(hosts.beginStart());
    EXPECT_FALSE(hosts.stored());
    EXPECT_NE(hosts.current(), first);
}

TEST_F(CaptureHostsTest, ShotModeThreeTakesTheVideoHost) {
    CaptureHosts hosts({});
    Global::shared()->setShotMode(ShotMode::Video);
    auto video = hosts.current();
    EXPECT_EQ(video, std::static_pointer_cast<CameraHost>(hosts.video()));
    (void)hosts.photo();
    EXPECT_EQ(hosts.stored(), video) << "the video host answers while there is one";
    EXPECT_FALSE(hosts.device()) << "no camera before the session runs";
}

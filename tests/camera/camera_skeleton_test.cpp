// The camera library links.
#include <gtest/gtest.h>

int cameraControlsVersion();

TEST(CameraLibrary, Links) { EXPECT_EQ(cameraControlsVersion(), 1); }

// Images of filter descriptions named by web addresses: loaded through the picture cache against a
// local server, never waiting on the caller's thread.
#include <gtest/gtest.h>

#include <atomic>

#include "foundation/pics.h"
#include "foundation/string_custom_values.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/log.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/foundation/held_picture_test.h"

namespace {

class RemoteImagesTest : public HeldPictureTest {};

TEST_F(RemoteImagesTest, AWebImageComesFromThePictureCacheWithoutWaiting) {
    LogCapture log;
    const std::string address = server_.url("/picture.png");
    EXPECT_EQ(ciimage(address), nullptr);  // not cached yet: answered at once
    EXPECT_EQ(hits_.load(), 0);
    released_ = true;
    loop().drainAll();
    EXPECT_EQ(hits_.load(), 1);

    auto image = ciimage(address);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->extent(), CGRectMake(0, 0, 5, 2));
    EXPECT_NE(ciimage(address), nullptr);
    loop().drainAll();
    EXPECT_EQ(hits_.load(), 1);  // read from the cache's file from now on
    EXPECT_FALSE(log.contains("image not loaded"));
}

TEST_F(RemoteImagesTest, AFailedLoadGivesNoImageAndALogLine) {
    LogCapture log;
    const std::string address = server_.url("/missing.png");
    EXPECT_EQ(ciimage(address), nullptr);
    loop().drainAll();
    EXPECT_TRUE(log.contains("image not loaded: " + address));
    EXPECT_EQ(ciimage(address), nullptr);
    const std::string nowhere = "http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/x.png";
    EXPECT_EQ(ciimage(nowhere), nullptr);
    loop().drainAll();
    EXPECT_TRUE(log.contains("image not loaded: " + nowhere));
}

}  // namespace

// Host options from environment variables: defaults, accepted values, and warnings for bad ones.
#include "platform/host/host_options.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/image/engine/render_pool.h"

namespace {

HostOptions parse(std::map<std::string, std::string> env) {
    return HostOptions::parse([env = std::move(env)](const char* name) -> const char* {
        static std::string value;
        auto it = env.find(name);
        if (it == env.end()) return nullptr;
        value = it->second;
        return value.c_str();
    });
}

}  // namespace

TEST(HostOptionsTest, DefaultsFollowTheUsersFolders) {
    auto o = parse({{"HOME", "/home/ann"}});
    EXPECT_EQ(o.kind, HostKind::Window);
    EXPECT_EQ(o.camera, "synthetic");
    EXPECT_EQ(o.screen.name, "notched");
    EXPECT_EQ(o.time, HostTimeMode::Real);
    EXPECT_EQ(o.dataDir, "/home/ann/.local/share/korva");
    EXPECT_EQ(o.libraryDir, "/home/ann/Pictures/Korva");
    EXPECT_TRUE(o.warnings.empty());
    o = parse({{"XDG_DATA_HOME", "/d"}, {"XDG_PICTURES_DIR", "/p"}});
    EXPECT_EQ(o.dataDir, "/d/korva");
    EXPECT_EQ(o.libraryDir, "/p/Korva");
}

TEST(HostOptionsTest, ReadsEveryVariable) {
    auto o = parse({{"KORVA_HOST", "headless"},
                    {"KORVA_CAMERA", "v4l2:/dev/video2"},
                    {"KORVA_SCREEN", "home-button:landscape"},
                    {"KORVA_TIME", "virtual"},
                    {"KORVA_DATA_DIR", "/tmp/data"},
                    {"KORVA_LIBRARY_DIR", "/tmp/lib"}});
    EXPECT_EQ(o.kind, HostKind::Headless);
    EXPECT_EQ(o.camera, "v4l2:/dev/video2");
    EXPECT_EQ(o.screen.name, "home-button");
    EXPECT_TRUE(o.landscape);
    EXPECT_EQ(o.time, HostTimeMode::Virtual);
    EXPECT_EQ(o.dataDir, "/tmp/data");
    EXPECT_EQ(o.libraryDir, "/tmp/lib");
    EXPECT_TRUE(o.warnings.empty());
    EXPECT_NE(o.summary().find("667x375@2x"), std::string::npos);
}

TEST(HostOptionsTest, BadValuesWarnAndFallBackToDefaults) {
    auto o = parse({{"KORVA_HOST", "tv"},
                    {"KORVA_CAMERA", "v4l2:/etc/passwd"},
                    {"KORVA_SCREEN", "watch:sideways"},
                    {"KORVA_TIME", "fast"}});
    EXPECT_EQ(o.kind, HostKind::Window);
    EXPECT_EQ(o.camera, "synthetic");
    EXPECT_EQ(o.screen.name, "notched");
    EXPECT_EQ(o.time, HostTimeMode::Real);
    EXPECT_EQ(o.warnings.size(), 5u);
}

// The variables read where they act are named when not understood, with what is used instead.
TEST(HostOptionsTest, ValuesReadElsewhereAreNamedWithWhatIsUsedInstead) {
    const std::string processors = std::to_string(RenderPool::threadsFor(nullptr).threads);
    const std::map<std::string, std::string> named = {
        {"0", "KORVA_IMAGE_THREADS=0 is not a number of threads from 1 to 256; using " + processors},
        {"abc", "KORVA_IMAGE_THREADS=abc is not a number of threads from 1 to 256; using " + processors},
        {"4x", "KORVA_IMAGE_THREADS=4x is not a number of threads from 1 to 256; using " + processors},
        {"999", "KORVA_IMAGE_THREADS=999 is more than 256 threads; using 256"}};
    for (const auto& [value, warning] : named) {
        auto o = parse({{"KORVA_IMAGE_THREADS", value}});
        ASSERT_EQ(o.warnings.size(), 1u) << value;
        EXPECT_EQ(o.warnings[0].rfind(warning, 0), 0u) << o.warnings[0];
    }
    EXPECT_EQ(RenderPool::threadsFor("999").threads, 256u);
    EXPECT_EQ(RenderPool::threadsFor("3").threads, 3u);

    auto o = parse({{"KORVA_LOG", "verbose"}, {"KORVA_CAPTURE_AUTH", "deny"}, {"KORVA_PHOTOS_AUTH", "Denied"}});
    EXPECT_EQ(o.warnings,
              (std::vector<std::string>{
                  "KORVA_LOG=verbose is not quiet, debug, info, warning or error; using info",
                  "KORVA_CAPTURE_AUTH=deny is not notDetermined, denied or restricted; granted, as when unset",
                  "KORVA_PHOTOS_AUTH=Denied is not notDetermined, denied or restricted; granted, as when unset"}));
    o = parse({{"KORVA_LOG", "info"}, {"KORVA_IMAGE_THREADS", "256"}, {"KORVA_LOCATION_AUTH", "notDetermined"}});
    EXPECT_TRUE(o.warnings.empty()) << o.warnings.front();
}

TEST(HostOptionsTest, CameraSourceForms) {
    for (const char* ok : {"synthetic", "libcamera", "libcamera:0", "v4l2:/dev/video0", "image:/x.jpg", "video:/y.mp4"})
        EXPECT_TRUE(isValidCameraSource(ok)) << ok;
    for (const char* bad : {"", "webcam", "libcamera:", "v4l2:", "v4l2:/dev/video", "image:", "video:"})
        EXPECT_FALSE(isValidCameraSource(bad)) << bad;
}

TEST(HostOptionsTest, CameraSourcesMayNameAFrameSize) {
    for (const char* ok : {"synthetic@1280x720", "image:/x.jpg@640x480", "video:/y.mp4@1920x1080", "image:/a@2x.png"})
        EXPECT_TRUE(isValidCameraSource(ok)) << ok;
    for (const char* bad : {"synthetic@", "synthetic@0x720", "synthetic@1280", "synthetic@99999x1", "webcam@64x48"})
        EXPECT_FALSE(isValidCameraSource(bad)) << bad;
}

// A frame size the preview cannot show is named at start and brought within it, keeping its shape;
// an orientation not understood is named with the one used.
TEST(HostOptionsTest, WhatIsNotUnderstoodOrCannotBeShownIsNamedWithWhatIsUsed) {
    const std::map<std::string, std::string> shown = {
        {"synthetic@16384x16384", "synthetic@8192x8192"},
        {"synthetic@16384x100", "synthetic@8192x50"},
        {"video:/clips/a@b.mp4@3000x9000", "video:/clips/a@b.mp4@2730x8192"}};
    for (const auto& [asked, used] : shown) {
        auto o = parse({{"KORVA_CAMERA", asked}});
        EXPECT_EQ(o.camera, used);
        EXPECT_EQ(o.warnings, std::vector<std::string>{"KORVA_CAMERA=" + asked +
                                                       " has frames larger than the preview can show (8192 pixels on "
                                                       "a side at most); using " +
                                                       used});
    }
    for (const char* fits : {"synthetic@8192x8192", "image:/x.jpg@1x8192", "synthetic"}) {
        auto o = parse({{"KORVA_CAMERA", fits}});
        EXPECT_EQ(o.camera, fits);
        EXPECT_TRUE(o.warnings.empty()) << fits;
    }

    auto o = parse({{"KORVA_SCREEN", "notched:sideways"}});
    EXPECT_EQ(o.screen.name, "notched");
    EXPECT_FALSE(o.landscape);
    EXPECT_EQ(o.warnings, std::vector<std::string>{"KORVA_SCREEN=notched:sideways: the orientation sideways is not "
                                                   "portrait or landscape; using portrait"});
    o = parse({{"KORVA_LOCATION", "north"}});
    ASSERT_EQ(o.warnings.size(), 1u);
    EXPECT_TRUE(o.warnings[0].ends_with("; using the desktop's location service where it runs, as when unset"))
        << o.warnings[0];
}

TEST(HostOptionsTest, AFixedPositionIsLatitudeLongitudeAndMaybeAltitude) {
    auto o = parse({{"KORVA_LOCATION", "60.17,24.94"}});
    ASSERT_TRUE(o.location);
    EXPECT_DOUBLE_EQ(o.location->latitude, 60.17);
    EXPECT_DOUBLE_EQ(o.location->longitude, 24.94);
    EXPECT_FALSE(o.location->altitude);
    o = parse({{"KORVA_LOCATION", "-33.9,18.4,-5"}});
    ASSERT_TRUE(o.location && o.location->altitude);
    EXPECT_DOUBLE_EQ(*o.location->altitude, -5);
    EXPECT_TRUE(o.warnings.empty());
    for (const char* bad : {"60.17", "91,0", "0,181", "a,b", "1,2,3,4", "1,,2", "nan,1"}) {
        o = parse({{"KORVA_LOCATION", bad}});
        EXPECT_FALSE(o.location) << bad;
        EXPECT_EQ(o.warnings.size(), 1u) << bad;
    }
    EXPECT_FALSE(parse({}).location);
}

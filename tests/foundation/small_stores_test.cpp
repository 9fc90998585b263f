// Capture choices, timestamps and named cache files.
#include "foundation/cache_directory.h"
#include "foundation/capture_choices.h"
#include "foundation/date_custom.h"
#include "foundation/date_stamps.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "tests/foundation/temp_sandbox.h"

using SmallStoresTest = TempSandboxTest;

TEST_F(SmallStoresTest, CaptureChoicesDefaultWithoutWritingAndSaveBoth) {
    auto choices = CaptureChoices::make();
    EXPECT_EQ(choices->colorSpace(), "kCGColorSpaceNULL");
    EXPECT_EQ(choices->sessionPreset(), "AVCaptureSessionPresetPhoto");
    EXPECT_FALSE(existFile(withLibraryPath("Global.Value.1")));
    choices->setColorSpace("kCGColorSpaceSRGB");
    choices->save();
    auto again = CaptureChoices::make();
    EXPECT_EQ(again->colorSpace(), "kCGColorSpaceSRGB");
    EXPECT_EQ(again->sessionPreset(), "AVCaptureSessionPresetPhoto");
    EXPECT_EQ(again->lastInfo()->get("sessionPreset").stringValue(), "AVCaptureSessionPresetPhoto");
}

TEST_F(SmallStoresTest, TimestampIsNowOnFirstReadAndSavedAlone) {
    auto dates = Date::make();
    const double now = dateNow();
    EXPECT_EQ(dates->ad(), now);
    auto stored = LastInfo::make(withLibraryPath("Global.Date.2"));
    EXPECT_EQ(stored->get("ad").dateValue(), now);
    EXPECT_TRUE(stored->get("scheme").isNull());

    loop().advance(100);
    EXPECT_EQ(Date::make()->ad(), now);  // kept across runs
    dates->setScheme(5.0);
    EXPECT_EQ(Date::make()->scheme(), 5.0);
}

TEST_F(SmallStoresTest, CacheFilesExpireAfterTheirReuseRange) {
    auto shortLived = CacheDirectory::make("thumbs", 5.0);
    auto longLived = CacheDirectory::make("thumbs", 60.0);
    EXPECT_EQ(shortLived->cache_path("x"), withCachePath("thumbs") + "/x.4");
    EXPECT_TRUE(shortLived->cache("x").isNull());
    shortLived->save("x", Value("payload"));
    EXPECT_EQ(shortLived->cache("x").stringValue(), "payload");
    loop().advance(10);
    EXPECT_TRUE(shortLived->cache("x").isNull());
    EXPECT_EQ(longLived->cache("x").stringValue(), "payload");
}

TEST_F(SmallStoresTest, ResetAllHeaderRemovesTheFirstRangeThenWhileFilesExist) {
    auto cache = CacheDirectory::make("h", 60.0);
    for (int i : {1, 2, 3, 5}) cache->save("hdr." + std::to_string(i), Value(i));
    cache->resetAllHeader("hdr", 1);  // 0 and 1 whatever they are, then 2, 3, stop at missing 4
    EXPECT_FALSE(existFile(cache->cache_path("hdr.1")));
    EXPECT_FALSE(existFile(cache->cache_path("hdr.2")));
    EXPECT_FALSE(existFile(cache->cache_path("hdr.3")));
    EXPECT_TRUE(existFile(cache->cache_path("hdr.5")));
    EXPECT_TRUE(cache->reset("hdr.5"));
    EXPECT_FALSE(cache->reset("hdr.5"));
    cache->save("again", Value(1));
    cache->resetAll();
    EXPECT_FALSE(existDirectory(withCachePath("h")));
}

TEST_F(SmallStoresTest, CacheNamesCannotReachOutsideTheirFolder) {
    // Something the caller holds beside the caches, and a file named to look like a cache entry.
    createDirectory(withLibraryPath("victim.4"));
    writeFile("data/Library/victim.4/keep", "mine");
    auto cache = CacheDirectory::make("h", 60.0);
    cache->save("inside", Value(1));
    const std::vector<std::string> names = {"../../victim",        "../victim", "..", "a/b", "a\\b", "",
                                            std::string("a\0b", 3)};
    for (const std::string& name : names) {
        EXPECT_EQ(cache->cache_path(name), "") << name;
        EXPECT_FALSE(cache->reset(name)) << name;
        cache->save(name, Value(2));
        EXPECT_TRUE(cache->cache(name).isNull()) << name;
    }
    EXPECT_EQ(readFile(withLibraryPath("victim.4/keep")), "mine");
    EXPECT_EQ(cache->cache("inside").integerValue(), 1);

    // A folder name of that kind is refused as well, down to removing everything.
    for (const char* folder : {"..", "", "../Preferences", "."}) {
        auto outside = CacheDirectory::make(folder, 60.0);
        outside->resetAll();
        EXPECT_FALSE(outside->reset("inside"));
    }
    EXPECT_TRUE(existDirectory(withCachePath("")));
    EXPECT_EQ(cache->cache("inside").integerValue(), 1) << "the other caches stay";
    EXPECT_TRUE(existFile(withLibraryPath("victim.4/keep")));
}

// A cache removes its entries one file at a time: a folder found under an entry's name, or in the
// cache's folder, stays whole with what it holds, and the log says so.
TEST_F(SmallStoresTest, AFolderUnderACacheEntrysNameStaysWhole) {
    auto cache = CacheDirectory::make("h", 60.0);
    for (int i : {0, 2}) cache->save("hdr." + std::to_string(i), Value(i));
    const std::string folder = cache->cache_path("hdr.1");
    writeFile("data/Library/Caches/h/hdr.1.4/inside/keep", "mine");
    LogCapture log;

    EXPECT_FALSE(cache->reset("hdr.1")) << "nothing was removed";
    EXPECT_TRUE(cache->cache("hdr.1").isNull());
    cache->resetAllHeader("hdr", 0);
    EXPECT_FALSE(existFile(cache->cache_path("hdr.0")));
    EXPECT_FALSE(existFile(cache->cache_path("hdr.2"))) << "the folder is passed over, not taken for the end";
    EXPECT_EQ(readFile(folder + "/inside/keep"), "mine");

    cache->save("again", Value(1));
    cache->resetAll();
    EXPECT_FALSE(existFile(cache->cache_path("again")));
    EXPECT_EQ(readFile(folder + "/inside/keep"), "mine");
    EXPECT_TRUE(log.contains("cannot remove " + folder + " (Is a directory); it stays"));
}

// Edited values per preset: saved after 3.0 s of quiet, restored by a new element of the same
// preset, flushed early on background and teardown, stored only in plain form.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/dispatch/notification_center.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_application.h"
#include "tests/filter/filter_test_support.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

class FilterPersistTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() / ("korva-filter-" + std::to_string(random()));
        std::filesystem::create_directories(root_);
        Sandbox::setRoot(root_.string());
        Global::resetSharedForTesting();
    }
    void TearDown() override {
        Global::resetSharedForTesting();
        Sandbox::setRoot("");
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        VirtualClockTest::TearDown();
    }

    static Value vignette() {
        return Value::dictionary(
            {{"name", Value("CIVignetteEffect")},
             {"value", Value::dictionary(
                           {{"inputImage",
                             Value::dictionary({{"value", Value::dictionary({{"name", Value("CIVignette")}})}})}})}});
    }
    static Value storedDict(const std::string& key) {
        auto info = LastInfo::make(FilterPersistElement::storePath(key));
        return info->get("dict");
    }
    std::filesystem::path root_;
};

}  // namespace

TEST_F(FilterPersistTest, SavesAfterQuietAndRestoresInANewGlobal) {
    {
        auto e = FilterPersistElement::withKey("1-2", vignette());
        ASSERT_NE(e, nullptr);
        const Value& intensity = recordOf(e->attrs(), "inputIntensity");
        FilterElement::setAttrValueFloat(intensity, 0.4);
        e->save(intensity);
        loop().advance(1.0);
        FilterElement::setAttrValueFloat(intensity, 0.6);
        e->save(intensity);
        loop().advance(2.9);
        EXPECT_FALSE(std::filesystem::exists(FilterPersistElement::storePath("1-2")));
        loop().advance(0.2);
        EXPECT_TRUE(std::filesystem::exists(FilterPersistElement::storePath("1-2")));
        EXPECT_EQ(e->timerSave(), nullptr);
    }
    Global::resetSharedForTesting();
    auto again = FilterPersistElement::withKey("1-2", vignette());
    EXPECT_DOUBLE_EQ(recordOf(again->attrs(), "inputIntensity")["value"].doubleValue(), 0.6);
    // Another preset keeps its own values.
    auto other = FilterPersistElement::withKey("1-3", vignette());
    EXPECT_DOUBLE_EQ(recordOf(other->attrs(), "inputIntensity")["value"].doubleValue(), 1.0);
}

TEST_F(FilterPersistTest, SkippedKindsAreNeitherSavedNorLoaded) {
    auto e = FilterPersistElement::withKey("0-0", vignette());
    const Value& radius = recordOf(e->attrs(), "inputRadius");  // a distance
    const Value& center = recordOf(e->attrs(), "inputCenter");  // a position
    EXPECT_TRUE(FilterPersistElement::isSkipAttr(radius));
    EXPECT_TRUE(FilterPersistElement::isSkipAttr(center));
    EXPECT_FALSE(FilterPersistElement::isSkipAttr(recordOf(e->attrs(), "inputImage")));
    FilterElement::setAttrValueFloat(radius, 5);
    e->save(radius);
    EXPECT_EQ(e->timerSave(), nullptr);
    EXPECT_TRUE(e->dict()["Radius"].isNull());
}

TEST_F(FilterPersistTest, PendingSaveIsFlushedOnBackgroundAndTeardown) {
    auto e = FilterPersistElement::withKey("a/b", vignette());
    const Value& intensity = recordOf(e->attrs(), "inputIntensity");
    FilterElement::setAttrValueFloat(intensity, 0.2);
    e->save(intensity);
    NSNotificationCenter::defaultCenter()->post(UIApplicationDidEnterBackgroundNotification);
    EXPECT_EQ(storedDict("a/b")["Intensity"]["value"].doubleValue(), 0.2);
    EXPECT_NE(FilterPersistElement::storePath("a/b").find("FilterPersistElement.a_b.1"), std::string::npos);

    FilterElement::setAttrValueFloat(intensity, 0.9);
    e->save(intensity);
    e.reset();  // destroyed before the timer fired
    EXPECT_DOUBLE_EQ(storedDict("a/b")["Intensity"]["value"].doubleValue(), 0.9);
    loop().advance(5);
}

TEST_F(FilterPersistTest, SavedTreesArePlainAndNeverLoadIntoThemselves) {
    auto e = FilterPersistElement::withKey("2-0", vignette());
    ASSERT_NE(e, nullptr);
    const Value& image = recordOf(e->attrs(), "inputImage");
    // Build once so the nested records carry conversion caches and a built filter.
    e->make(solidImage(16, 16, 1, 2, 3));
    recordOf(image["value"], "inputIntensity").set("instanceData", Value(CIImage::emptyImage()));
    e->save(image);
    e->save();
    Value stored = storedDict("2-0")["Image"]["value"];
    ASSERT_TRUE(stored.isDictionary());
    EXPECT_EQ(stored["name"].stringValue(), "CIVignette");
    EXPECT_TRUE(recordOf(stored, "inputIntensity")["instanceData"].isNull());

    // A user image is not kept.
    FilterElement::setAttrValueImage(image, solidImage(4, 4, 0, 0, 0));
    e->save(image);
    e->save();
    EXPECT_TRUE(storedDict("2-0")["Image"]["value"].isNull());

    // The nested "Image" shares the top one's entry: loading the saved CIVignette tree into the
    // CIVignette's own input would make the chain contain itself, so it is refused.
    auto f = FilterPersistElement::withKey("2-1", vignette());
    const Value& top = recordOf(f->attrs(), "inputImage");
    const Value& nestedImage = recordOf(top["value"], "inputImage");
    f->save(top);
    f->load(nestedImage);
    EXPECT_TRUE(nestedImage["value"].isNull());
    f->load(top);
    EXPECT_EQ(top["value"]["name"].stringValue(), "CIVignette");

    // A value that leads back to the record is refused.
    Value record = Value::dictionary({{"disp", Value("Loop")}, {"view", Value(25)}, {"type", Value("CIImage")}});
    e->findPersistenceCurrent(record).set(
        "value", Value::dictionary({{"name", Value("CIVignette")}, {"value", Value::dictionary({{"x", record}})}}));
    e->load(record);
    EXPECT_TRUE(record["value"].isNull());
}

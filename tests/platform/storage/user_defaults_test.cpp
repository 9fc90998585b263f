// User defaults: persistence across instances, registered values, refusals.
#include "platform/storage/user_defaults.h"

#include <gtest/gtest.h>

#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/property_list.h"
#include "platform/storage/sandbox.h"
#include "test_support.h"
#include "tests/platform/storage/binary_plist_builder.h"

TEST(UserDefaults, TypedValuesPersistForAFreshInstance) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    {
        auto defaults = NSUserDefaults::make(path);
        defaults->setBool(true, "grid");
        defaults->setInteger(-7, "exposure");
        defaults->setFloat(0.75f, "strength");
        defaults->setDouble(1.0 / 3.0, "ratio");
        defaults->setObject(Value("Vintage"), "preset");
        defaults->setObject(Value::array({Value("a"), Value(2)}), "recent");
        defaults->setObject(Value::dictionary({{"x", 1.5}}), "crop");
        defaults->setObject(Value::data({9, 8, 7}), "token");
        defaults->setObject(Value::date(1000.0), "installed");
        // No synchronize(): every change is already on disk.
    }
    auto fresh = NSUserDefaults::make(path);
    EXPECT_TRUE(fresh->boolForKey("grid"));
    EXPECT_EQ(fresh->integerForKey("exposure"), -7);
    EXPECT_EQ(fresh->objectForKey("strength").kind(), Value::Kind::Float);
    EXPECT_EQ(fresh->floatForKey("strength"), 0.75f);
    EXPECT_EQ(fresh->doubleForKey("ratio"), 1.0 / 3.0);
    EXPECT_EQ(fresh->stringForKey("preset"), "Vintage");
    EXPECT_EQ(fresh->stringForKey("exposure"), "-7");
    EXPECT_EQ(fresh->stringForKey("recent"), std::nullopt);
    EXPECT_EQ(fresh->arrayForKey("recent").count(), 2u);
    EXPECT_TRUE(fresh->arrayForKey("crop").isNull());
    EXPECT_EQ(fresh->dictionaryForKey("crop")["x"].doubleValue(), 1.5);
    EXPECT_EQ(fresh->dataForKey("token"), (Bytes{9, 8, 7}));
    EXPECT_EQ(fresh->objectForKey("installed").dateValue(), 1000.0);
    EXPECT_FALSE(fresh->boolForKey("absent"));
    EXPECT_EQ(fresh->integerForKey("absent"), 0);

    fresh->removeObjectForKey("grid");
    fresh->setObject(Value(), "preset");  // null removes too
    auto third = NSUserDefaults::make(path);
    EXPECT_TRUE(third->objectForKey("grid").isNull());
    EXPECT_TRUE(third->objectForKey("preset").isNull());
    EXPECT_EQ(third->integerForKey("exposure"), -7);
}

TEST(UserDefaults, RegisteredDefaultsAnswerButAreNotStored) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    auto defaults = NSUserDefaults::make(path);
    defaults->registerDefaults(ValueDictionary{{"sound", Value(true)}, {"quality", Value(0.9)}});
    EXPECT_TRUE(defaults->boolForKey("sound"));
    defaults->setBool(false, "sound");
    EXPECT_FALSE(defaults->boolForKey("sound"));
    defaults->removeObjectForKey("sound");
    EXPECT_TRUE(defaults->boolForKey("sound"));
    EXPECT_EQ(defaults->dictionaryRepresentation()["quality"].doubleValue(), 0.9);
    ASSERT_TRUE(defaults->synchronize());
    auto stored = readPropertyListFile(path);
    ASSERT_TRUE(stored.ok()) << stored.error();
    EXPECT_EQ(stored->count(), 0u);
}

TEST(UserDefaults, ValuesAreCopiedInAndOut) {
    TempFolder folder;
    auto defaults = NSUserDefaults::make(folder / "prefs.plist");
    Value list = Value::array({Value(1)});
    defaults->setObject(list, "list");
    list.append(Value(2));
    defaults->arrayForKey("list").append(Value(3));
    EXPECT_EQ(defaults->arrayForKey("list").count(), 1u);
}

TEST(UserDefaults, RefusesValuesWithoutPropertyListFormAndSurvivesAGarbageFile) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("garbage, not a plist")).ok());
    auto defaults = NSUserDefaults::make(path);
    EXPECT_TRUE(defaults->dictionaryRepresentation().count() == 0);
    defaults->setInteger(3, "kept");
    defaults->setObject(Value::array({Value(1), Value()}), "holey");
    LogCapture log;
    defaults->setObject(Value(make<NSObject>()), "object");
    EXPECT_TRUE(log.contains("object"));
    EXPECT_TRUE(defaults->objectForKey("holey").isNull());
    EXPECT_TRUE(defaults->objectForKey("object").isNull());
    EXPECT_EQ(NSUserDefaults::make(path)->integerForKey("kept"), 3);
    auto aside = readFileData(path + ".unreadable");
    ASSERT_TRUE(aside.ok());
    EXPECT_EQ(std::string(aside->begin(), aside->end()), "garbage, not a plist");
}

TEST(UserDefaults, StandardDefaultsLiveInPreferencesNamedAfterTheBundle) {
    TempFolder folder;
    Sandbox::setRoot(folder.path());
    NSBundle::setMainBundleRoot("");
    NSUserDefaults::resetStandardUserDefaults();
    auto defaults = NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults, NSUserDefaults::standardUserDefaults());
    EXPECT_EQ(defaults->path(), folder / "Library/Preferences/app.korva.camera.plist");
    defaults->setInteger(42, "launches");
    NSUserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("launches"), 42);
    NSUserDefaults::resetStandardUserDefaults();
    Sandbox::setRoot("");
}

TEST(UserDefaults, AFileThatCannotBeReadIsKeptUntilAValueChanges) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    std::filesystem::create_symlink("/proc/self/mem", path);  // every read fails with an I/O error
    auto defaults = NSUserDefaults::make(path);
    EXPECT_TRUE(defaults->objectForKey("any").isNull());
    EXPECT_FALSE(defaults->synchronize());
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".unreadable"));
    defaults->setInteger(4, "chosen");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(NSUserDefaults::make(path)->integerForKey("chosen"), 4);
}

// A read that failed once says nothing about the contents: the first change reads the file again
// and keeps what it holds.
TEST(UserDefaults, AFileUnreadableAtStartKeepsItsValuesThroughTheFirstChange) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    std::filesystem::create_symlink("/proc/self/mem", path);
    auto defaults = NSUserDefaults::make(path);
    // Readable again by the time the user changes something.
    std::filesystem::remove(path);
    ASSERT_TRUE(writePropertyListFile(
                    path,
                    Value::dictionary({{"launches", Value(12)}, {"declined", Value(true)}, {"version", Value("2.4")}}),
                    NSPropertyListBinaryFormat_v1_0)
                    .ok());
    // What the program noted by itself meanwhile yields to the file and only fills its gaps.
    defaults->fitObject(Value("1.0"), "version");
    defaults->fitInteger(4242, "storeID");
    defaults->setInteger(13, "launches");
    defaults->removeObjectForKey("declined");
    auto again = NSUserDefaults::make(path);
    EXPECT_EQ(again->integerForKey("launches"), 13);
    EXPECT_EQ(again->stringForKey("version"), "2.4");
    EXPECT_EQ(again->integerForKey("storeID"), 4242);
    EXPECT_TRUE(again->objectForKey("declined").isNull());
    EXPECT_FALSE(std::filesystem::exists(path + ".unreadable"));
}

// A file that holds a set (a sound writer may store one) is written back with it, not refused
// at every change.
TEST(UserDefaults, AFileHoldingASetCanStillBeWritten) {
    TempFolder folder;
    std::string path = folder / "prefs.plist";
    BinaryPlistBuilder b;
    std::uint32_t set = b.container(0xC, {b.string("rated"), b.string("shared")});
    std::uint32_t root = b.container(0xD, {b.string("seen"), b.string("launches"), set, b.integer(3)});
    ASSERT_TRUE(writeFileAtomically(path, b.build(root)).ok());
    auto defaults = NSUserDefaults::make(path);
    defaults->setInteger(4, "launches");
    EXPECT_TRUE(defaults->synchronize());
    auto again = NSUserDefaults::make(path);
    EXPECT_EQ(again->integerForKey("launches"), 4);
    const Value stored = again->objectForKey("seen");
    const ValueSet* seen = stored.setPtr();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->size(), 2u);
    EXPECT_TRUE(seen->contains(Value("shared")));
}

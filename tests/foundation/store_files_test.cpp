// Key-value store files: keyed-archive and JSON stores, saves that never lose the old file, and
// bad files that are kept aside instead of destroyed.
#include <filesystem>
#include <set>

#include "foundation/global_base.h"
#include "foundation/last_info.h"
#include "foundation/last_json.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/temporary_name.h"
#include "tests/foundation/temp_sandbox.h"

using StoreFilesTest = TempSandboxTest;

TEST_F(StoreFilesTest, MissingFileGivesEmptyStoreAndNoFileUntilSave) {
    auto store = LastInfo::make(withLibraryPath("sub/dir/Test.1"));
    EXPECT_TRUE(store->get("any").isNull());
    EXPECT_FALSE(store->exists());
    EXPECT_FALSE(existDirectory(withLibraryPath("sub")));

    store->set(Value(3), "n");
    EXPECT_TRUE(store->save());  // makes the missing folders
    EXPECT_TRUE(store->exists());
    EXPECT_EQ(LastInfo::make(store->path())->get("n").integerValue(), 3);
}

TEST_F(StoreFilesTest, ValuesComeBackWithTheirKinds) {
    const std::string path = withLibraryPath("Kinds.1");
    auto store = LastInfo::make(path);
    store->set(Value(true), "b");
    store->set(Value(-7ll), "i");
    store->set(Value(1.5f), "f");
    store->set(Value(2.25), "d");
    store->set(Value("text"), "s");
    store->set(Value::date(1000.5), "t");
    store->set(Value::array({Value(1), Value("x")}), "a");
    store->set(Value::dictionary({{"k", Value(false)}}), "m");
    ASSERT_TRUE(store->save());

    auto again = LastInfo::make(path);
    EXPECT_TRUE(again->get("b").isBool());
    EXPECT_TRUE(again->get("b").boolValue());
    EXPECT_EQ(again->get("i").integerValue(), -7);
    EXPECT_EQ(again->get("f").kind(), Value::Kind::Float);
    EXPECT_EQ(again->get("d").doubleValue(), 2.25);
    EXPECT_EQ(again->get("s").stringValue(), "text");
    EXPECT_EQ(again->get("t").dateValue(), 1000.5);
    EXPECT_EQ(again->get("a")[1].stringValue(), "x");
    EXPECT_TRUE(again->get("m")["k"].isBool());
}

TEST_F(StoreFilesTest, SetNullRemovesAndResetForgetsAndDeletes) {
    auto store = LastInfo::make(withLibraryPath("R.1"));
    store->set(Value(1), "a");
    store->set(Value(2), "b");
    store->set(Value(), "a");
    store->removeObjectForKey("b");
    EXPECT_EQ(store->info().count(), 0u);

    store->set(Value(1), "a");
    store->save();
    store->reset();
    EXPECT_FALSE(store->exists());
    EXPECT_TRUE(store->get("a").isNull());
    EXPECT_FALSE(store->exists());
    store->save();
    EXPECT_EQ(LastInfo::make(store->path())->info().count(), 0u);
}

TEST_F(StoreFilesTest, SaveOverAnOlderFileLeavesNoBackupAndRemovesAStaleOne) {
    const std::string path = withLibraryPath("S.1");
    auto store = LastInfo::make(path);
    store->set(Value(1), "v");
    store->save();
    ASSERT_TRUE(writeFileAtomically(path + ".bak", std::string_view("stale")).ok());
    store->set(Value(2), "v");
    EXPECT_TRUE(store->save());
    EXPECT_FALSE(existFile(path + ".bak"));
    EXPECT_EQ(LastInfo::make(path)->get("v").integerValue(), 2);
}

TEST_F(StoreFilesTest, FailedSaveAnswersNoAndKeepsTheOldFile) {
    const std::string path = withLibraryPath("F.1");
    auto store = LastInfo::make(path);
    store->set(Value(1), "v");
    ASSERT_TRUE(store->save());
    // Objects cannot be archived: the write fails and the previous file stays whole.
    store->set(Value(std::static_pointer_cast<NSObject>(LastInfo::make())), "o");
    EXPECT_FALSE(store->save());
    EXPECT_EQ(LastInfo::make(path)->get("v").integerValue(), 1);
    EXPECT_FALSE(existFile(path + ".bak"));

    // A first write into a place that cannot hold a file answers NO as well.
    writeFile("data/Library/blocker", "file, not folder");
    auto blocked = LastInfo::make(withLibraryPath("blocker/X.1"));
    blocked->set(Value(1), "v");
    EXPECT_FALSE(blocked->save());
    EXPECT_FALSE(GlobalBase::saveToFilePath(Value::dictionary(), ""));
}

// A full disk or a folder that cannot be written loses the change at the next start: the log says
// so, with the reason.
TEST_F(StoreFilesTest, AFailedSaveIsLoggedWithItsReason) {
    writeFile("data/Library/blocker", "file, not folder");
    const std::string path = withLibraryPath("blocker/Global.1");
    auto blocked = LastInfo::make(path);
    blocked->set(Value(1), "v");
    LogCapture log;
    EXPECT_FALSE(blocked->save());
    EXPECT_TRUE(log.contains("cannot save " + path)) << ::testing::PrintToString(log.lines());
    EXPECT_TRUE(log.contains("Not a directory")) << ::testing::PrintToString(log.lines());
}

// A save killed between making its temporary and renaming it leaves the temporary for good; the
// store clears its own at start and nothing else: not another program's copy under the shape copy
// programs use, nor a folder under a temporary's name.
TEST_F(StoreFilesTest, TheTemporariesOfInterruptedSavesAreClearedAtStart) {
    const std::string path = withLibraryPath("Global.1");
    auto first = LastInfo::make(path);
    first->set(Value(5), "v");
    ASSERT_TRUE(first->save());
    const std::vector<std::string> stale = {newTemporaryName("Global.1"), newTemporaryName("Global.1")};
    const std::vector<std::string> others = {
        ".Global.1.tmp",    ".Global.10.abcdef",          ".Other.1.abcdef", "Global.1.abcdef", ".Global.1.abcdefg",
        ".Global.1.a1B2c3", newTemporaryName("Global.10")};
    for (const auto& name : stale) writeFile("data/Library/" + name, "partial");
    for (const auto& name : others) writeFile("data/Library/" + name, "not ours");
    const std::string folder = newTemporaryName("Global.1");
    writeFile("data/Library/" + folder + "/inside", "a folder's file");
    auto store = LastInfo::make(path);
    EXPECT_EQ(store->get("v").integerValue(), 5);
    for (const auto& name : stale) EXPECT_FALSE(existFile(withLibraryPath(name))) << name;
    for (const auto& name : others) EXPECT_TRUE(existFile(withLibraryPath(name))) << name;
    EXPECT_TRUE(existFile(withLibraryPath(folder + "/inside")));
}

namespace {

// Another program putting a folder, with a file in it, under the name a removal is about to take.
std::set<std::string> raced;
void putAFolderUnderTheName(const std::string& path) {
    raced.insert(path);
    std::error_code error;  // a folder put there before stays as it is
    std::filesystem::remove(path, error);
    std::filesystem::create_directories(path + "/inside");
    (void)writeFileAtomically(path + "/inside/keep", std::string_view("keep"));
}

}  // namespace

// Whatever a store removes of its own (an interrupted save's temporary, the oldest copy set aside,
// a backup the save made needless, its files on a reset), a folder put under the name between its
// look and the removal stays whole, and the log says so.
TEST_F(StoreFilesTest, AFolderPutUnderALeftOversNameBeforeItsRemovalStaysWhole) {
    const std::string path = withLibraryPath("Race.1");
    ASSERT_TRUE(writeFileAtomically(path + "-1.bad", std::string_view("old")).ok());
    ASSERT_TRUE(writeFileAtomically(path + "-2.bad", std::string_view("old")).ok());
    ASSERT_TRUE(writeFileAtomically(path + "-3.bad", std::string_view("old")).ok());
    writeFile("data/Library/" + newTemporaryName("Race.1"), "partial");
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("unreadable")).ok());
    raced.clear();
    LogCapture log;
    setBeforeRemovingForTesting(putAFolderUnderTheName);
    auto store = LastInfo::make(path);
    EXPECT_EQ(store->info().count(), 0u) << "read past the temporary, the bad file set aside";
    store->set(Value(1), "v");
    ASSERT_TRUE(writeFileAtomically(path + ".bak", std::string_view("stale")).ok());
    EXPECT_TRUE(store->save());
    store->reset();
    setBeforeRemovingForTesting(nullptr);
    EXPECT_EQ(raced.size(), 4u) << ::testing::PrintToString(raced);
    EXPECT_TRUE(raced.count(path + "-1.bad") && raced.count(path + ".bak") && raced.count(path));
    for (const auto& name : raced) {
        EXPECT_EQ(readFile(name + "/inside/keep"), "keep") << name;
        EXPECT_TRUE(log.contains("cannot remove " + name + " (Is a directory); it stays")) << name;
    }
}

TEST_F(StoreFilesTest, BadFilesStartEmptyAndAreKeptAside) {
    const std::string path = withLibraryPath("Bad.1");
    auto archived = NSKeyedArchiver::archivedDataWithRootObject(Value::dictionary({{"k", Value(1)}}));
    ASSERT_TRUE(archived.ok());
    const Bytes good = *archived;
    const std::vector<std::string> bad = {
        "",                                                                            // empty
        "not an archive at all",                                                       // foreign
        std::string(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),  // truncated
    };
    for (const auto& content : bad) {
        ASSERT_TRUE(writeFileAtomically(path, content).ok());
        auto store = LastInfo::make(path);
        EXPECT_EQ(store->info().count(), 0u);
        EXPECT_FALSE(existFile(path));
        EXPECT_TRUE(existFile(path + ".bad"));
        store->set(Value(5), "fresh");
        EXPECT_TRUE(store->save());
        EXPECT_EQ(LastInfo::make(path)->get("fresh").integerValue(), 5);
        removeFile(path);
    }
    // Every bad file is still there to look at.
    EXPECT_EQ(readFile(path + ".bad"), "");
    EXPECT_EQ(readFile(withLibraryPath("Bad.1-1.bad")), "not an archive at all");
    EXPECT_TRUE(existFile(withLibraryPath("Bad.1-2.bad")));
}

TEST_F(StoreFilesTest, OnlyTheThreeNewestBadFilesAreKept) {
    const std::string path = withLibraryPath("Many.1");
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(writeFileAtomically(path, "bad " + std::to_string(i)).ok());
        EXPECT_EQ(LastInfo::make(path)->info().count(), 0u);
    }
    EXPECT_FALSE(existFile(path + ".bad"));
    EXPECT_FALSE(existFile(withLibraryPath("Many.1-2.bad")));
    EXPECT_EQ(readFile(withLibraryPath("Many.1-3.bad")), "bad 3");
    EXPECT_EQ(readFile(withLibraryPath("Many.1-4.bad")), "bad 4");
    EXPECT_EQ(readFile(withLibraryPath("Many.1-5.bad")), "bad 5");
    // Another store's bad files in the same folder are not this store's to prune.
    ASSERT_TRUE(writeFileAtomically(withLibraryPath("Many.10.bad"), std::string_view("other")).ok());
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("bad 6")).ok());
    EXPECT_EQ(LastInfo::make(path)->info().count(), 0u);
    EXPECT_FALSE(existFile(withLibraryPath("Many.1-3.bad")));
    EXPECT_EQ(readFile(withLibraryPath("Many.1-6.bad")), "bad 6");
    EXPECT_EQ(readFile(withLibraryPath("Many.10.bad")), "other");
}

TEST_F(StoreFilesTest, FileThatCannotBeReadStaysUntilTheUserChangesSomething) {
    // A file whose read fails with an I/O error: the store's name points at one.
    const std::string path = withLibraryPath("Eio.1");
    createDirectory(withLibraryPath(""));
    std::filesystem::create_symlink("/proc/self/mem", path);
    auto store = LastInfo::make(path);
    EXPECT_EQ(store->info().count(), 0u);
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_FALSE(existFile(path + ".bad"));

    // Defaults fill memory but are no reason to replace what could not be read.
    EXPECT_TRUE(store->setDefault(Value(1), "default"));
    EXPECT_FALSE(store->setDefault(Value(2), "default"));
    EXPECT_FALSE(store->save());
    EXPECT_TRUE(std::filesystem::is_symlink(path));

    // A change of the user's is kept.
    store->set(Value(5), "chosen");
    EXPECT_TRUE(store->save());
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(LastInfo::make(path)->get("chosen").integerValue(), 5);

    // A folder where the file should be is left alone as well.
    const std::string folder = withLibraryPath("Folder.1");
    createDirectory(folder + "/inside");
    EXPECT_EQ(LastJSON::make(folder)->info().count(), 0u);
    EXPECT_TRUE(existDirectory(folder + "/inside"));
    EXPECT_FALSE(existFile(folder + ".bad"));
}

TEST_F(StoreFilesTest, ArchiveWhoseRootIsNotADictionaryReadsEmpty) {
    const std::string path = withLibraryPath("Array.1");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::array({Value(1)}), path).ok());
    auto store = LastInfo::make(path);
    EXPECT_EQ(store->info().count(), 0u);
    EXPECT_TRUE(store->info().isDictionary());
    store->set(Value(1), "k");  // usable as a dictionary
    EXPECT_TRUE(existFile(path + ".bad"));
}

TEST_F(StoreFilesTest, BackupOfAnInterruptedSaveIsRecovered) {
    // An interrupted save of an older build left the contents only in the backup.
    const std::string path = withLibraryPath("Int.1");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::dictionary({{"kept", Value(9)}}), path + ".bak").ok());
    auto store = LastInfo::make(path);
    EXPECT_EQ(store->get("kept").integerValue(), 9);
    EXPECT_TRUE(store->save());
    EXPECT_FALSE(existFile(path + ".bak"));
    EXPECT_EQ(LastInfo::make(path)->get("kept").integerValue(), 9);

    // A corrupt main file with a good backup: the backup wins, the bad file is kept aside.
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("garbage")).ok());
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::dictionary({{"kept", Value(10)}}), path + ".bak").ok());
    EXPECT_EQ(LastInfo::make(path)->get("kept").integerValue(), 10);
    EXPECT_EQ(readFile(path + ".bad"), "garbage");
}

TEST_F(StoreFilesTest, JsonStoreKeepsACompactObject) {
    const std::string path = withLibraryPath("J.1");
    auto store = LastJSON::make(path);
    store->set(Value("v"), "k");
    store->set(Value(2), "n");
    ASSERT_TRUE(store->save());
    EXPECT_EQ(readFile(path), "{\"k\":\"v\",\"n\":2}");
    auto again = LastJSON::make(path);
    EXPECT_EQ(again->get("k").stringValue(), "v");
    again->set(Value(3), "n");  // loaded mutable
    EXPECT_EQ(again->get("n").integerValue(), 3);
}

TEST_F(StoreFilesTest, JsonStoreRejectsNonObjectsAndMissingFolders) {
    const std::string path = withLibraryPath("J.2");
    for (std::string_view text : {"[1,2]", "42", "{\"a\":", "\xff\xfe"}) {
        ASSERT_TRUE(writeFileAtomically(path, text).ok());
        auto store = LastJSON::make(path);
        EXPECT_EQ(store->info().count(), 0u) << text;
        EXPECT_TRUE(store->info().isDictionary());
        removeFile(path);
    }
    auto nowhere = LastJSON::make(withLibraryPath("missing-folder/J.3"));
    nowhere->set(Value(1), "a");
    EXPECT_FALSE(nowhere->save());
    EXPECT_FALSE(existFile(withLibraryPath("missing-folder")));
}

TEST_F(StoreFilesTest, JsonSetStoresItsMembersUnderSet) {
    const std::string path = withLibraryPath("Set.1");
    auto set = LastJSONSet::make(path);
    set->addObject(Value("a"));
    set->addObject(Value("b"));
    set->addObject(Value("a"));
    set->removeObject(Value("b"));
    set->addObject(Value(7));
    ASSERT_TRUE(set->save());

    auto again = LastJSONSet::make(path);
    EXPECT_TRUE(again->containsObject(Value("a")));
    EXPECT_TRUE(again->containsObject(Value(7)));
    EXPECT_FALSE(again->containsObject(Value("b")));
    EXPECT_EQ(again->allObjects().count(), 2u);

    ASSERT_TRUE(writeFileAtomically(path, std::string_view("{\"set\":{\"x\":1}}")).ok());
    EXPECT_EQ(LastJSONSet::make(path)->allObjects().count(), 0u);
}

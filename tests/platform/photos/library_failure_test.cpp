// Failures that pass: a lock another connection holds on the index, a disk that fills as the index
// is written, a disk read-only for a while, a photo that cannot be read at one open. Each fails
// what it touches and keeps the index with its identifiers and dates, and what comes after it
// works again; only something that is no database under the index's name is set aside.
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "tests/support/fifo_trap.h"

namespace {

// Reads or writes of files whose path starts with the prefix fail with the error, while set.
struct InjectedFault {
    std::mutex mutex;
    std::string prefix;
    int error = 0;
    std::atomic<bool> on{false};

    void set(std::string pathPrefix, int code) {
        std::lock_guard lock(mutex);
        prefix = std::move(pathPrefix);
        error = code;
        on = true;
    }
    void clear() { on = false; }
    // The error for this descriptor, 0 when it goes through.
    int errorFor(int fd) {
        if (!on) return 0;
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        char target[PATH_MAX];
        ssize_t n = ::readlink(link, target, sizeof target);
        std::lock_guard lock(mutex);
        return n > 0 && std::string_view(target, std::size_t(n)).starts_with(prefix) ? error : 0;
    }
};

InjectedFault failingWrites, failingReads;

// Opens for writing of files whose path starts with the prefix fail as on a read-only disk.
struct ReadOnlyDisk {
    std::mutex mutex;
    std::string prefix;
    std::atomic<bool> on{false};

    void set(std::string pathPrefix) {
        std::lock_guard lock(mutex);
        prefix = std::move(pathPrefix);
        on = true;
    }
    void clear() { on = false; }
    bool refuses(const char* path, int flags) {
        if (!on || (flags & O_ACCMODE) == O_RDONLY) return false;
        // The index reaches its files through its folder held open: by the folder's path now.
        std::string named = path;
        char folder[PATH_MAX];
        if (auto slash = named.rfind('/');
            slash != std::string::npos && slash > 0 && ::realpath(named.substr(0, slash).c_str(), folder))
            named = folder + named.substr(slash);
        std::lock_guard lock(mutex);
        return std::string_view(named).starts_with(prefix);
    }
};

ReadOnlyDisk readOnlyDisk;

}  // namespace

// The index opens its files with open64; one it cannot open for writing it opens for reading.
extern "C" int open64(const char* path, int flags, ...) {
    static auto real = reinterpret_cast<int (*)(const char*, int, ...)>(::dlsym(RTLD_NEXT, "open64"));
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (readOnlyDisk.refuses(path, flags)) {
        errno = EROFS;
        return -1;
    }
    return real(path, flags, mode);
}

// The index writes its pages and journal with pwrite64; the wholeness check reads with pread.
extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t length, off64_t offset) {
    static auto real = reinterpret_cast<ssize_t (*)(int, const void*, size_t, off64_t)>(::dlsym(RTLD_NEXT, "pwrite64"));
    if (int error = failingWrites.errorFor(fd)) {
        errno = error;
        return -1;
    }
    return real(fd, buffer, length, offset);
}

extern "C" ssize_t pread(int fd, void* buffer, size_t length, off_t offset) {
    static auto real = reinterpret_cast<ssize_t (*)(int, void*, size_t, off_t)>(::dlsym(RTLD_NEXT, "pread"));
    if (int error = failingReads.errorFor(fd)) {
        errno = error;
        return -1;
    }
    return real(fd, buffer, length, offset);
}

namespace {

struct LibraryFailureTest : PhotosTest {
    void TearDown() override {
        std::filesystem::remove_all(outside());
        failingWrites.clear();
        failingReads.clear();
        readOnlyDisk.clear();
        PhotosTest::TearDown();
    }
    std::filesystem::path indexPath() const { return folder / AssetIndex::kIndexFileName; }
    bool setAside() const {
        return std::filesystem::exists(std::filesystem::symlink_status(indexPath().string() + ".corrupt"));
    }
    // Closes the library once the notices of its changes, which hold it, are delivered.
    static void close() {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
    }
    // Why a save fails, empty when it goes through.
    static std::string saveFailure(Bytes data) {
        auto saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            PHAssetCreationRequest::creationRequestForAsset()->addResourceWithType(PHAssetResourceType::Photo,
                                                                                   std::move(data));
        });
        return saved ? "" : saved.error();
    }
    // A folder beside the library's, for what links there point at.
    std::filesystem::path outside() const { return folder.string() + "-outside"; }
    // Identifier → creation date of every listed asset.
    static std::map<std::string, double> listed() {
        std::map<std::string, double> out;
        auto all = PHAsset::fetchAssetsWithOptions(nullptr);
        for (auto& a : all->assets()) out[a->localIdentifier()] = a->creationDate();
        return out;
    }
};

}  // namespace

TEST_F(LibraryFailureTest, AFullDiskFailsOneSaveAndKeepsTheIndex) {
    Clock::advanceVirtual(1000);
    std::string first = save(jpeg(10, 10));
    Clock::advanceVirtual(1000);
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty());
    const auto before = listed();
    ASSERT_EQ(before.size(), 2u);

    // The photo's file fits; the index's journal does not.
    failingWrites.set(indexPath().string(), ENOSPC);
    EXPECT_TRUE(save(jpeg(14, 10)).empty());
    EXPECT_TRUE(save(jpeg(15, 10)).empty());
    failingWrites.clear();
    EXPECT_EQ(filesIn(folder), 2u) << "the failed saves' files stay behind";
    EXPECT_FALSE(setAside());
    EXPECT_EQ(listed(), before);

    // Once there is room the next save goes through, and the library opened afresh agrees.
    std::string third = save(jpeg(16, 10));
    ASSERT_FALSE(third.empty()) << PHPhotoLibrary::sharedPhotoLibrary()->openError();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto after = listed();
    EXPECT_EQ(after.size(), 3u);
    EXPECT_EQ(after[first], before.at(first));
    EXPECT_EQ(after[second], before.at(second));
    EXPECT_TRUE(after.count(third));
    EXPECT_FALSE(setAside());
}

// A disk full as the library opens: the index cannot take its log, and serves with its rollback
// journal, rows and dates kept; saves fail until there is room, then go through.
TEST_F(LibraryFailureTest, AnIndexThatCannotTakeItsLogOpensWithItsRollbackJournal) {
    Clock::advanceVirtual(1000);
    std::string first = save(jpeg(10, 10));
    ASSERT_FALSE(first.empty());
    const auto before = listed();
    DispatchQueue::waitUntilBackgroundIdle();
    RunLoop::main().runUntilIdle();
    PHPhotoLibrary::setLibraryDirectory(folder.string());

    LogCapture log;
    failingWrites.set(indexPath().string(), ENOSPC);
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_TRUE(log.contains("keeps its rollback journal"));
    EXPECT_TRUE(save(jpeg(12, 10)).empty());
    failingWrites.clear();
    std::string second = save(jpeg(14, 10));
    ASSERT_FALSE(second.empty());
    EXPECT_FALSE(std::filesystem::exists(indexPath().string() + "-wal")) << "this connection took the log after all";

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto after = listed();
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(after[first], before.at(first));
    EXPECT_TRUE(after.count(second));
    EXPECT_FALSE(setAside());
}

TEST_F(LibraryFailureTest, ALockHeldElsewhereFailsWhatItBlocksAndKeepsTheIndex) {
    Clock::advanceVirtual(1000);
    std::string first = save(jpeg(10, 10));
    ASSERT_FALSE(first.empty());
    const auto before = listed();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(indexPath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_TRUE(save(jpeg(12, 10)).empty()) << "a save while another connection holds the index";
    // An open meanwhile reads past the other's change (the index logs its changes), and does not
    // take the index for damaged.
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_EQ(listed(), before);
    EXPECT_FALSE(setAside());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    std::string second = save(jpeg(14, 10));
    ASSERT_FALSE(second.empty()) << "the save after the lock is gone";
    auto after = listed();
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(after[first], before.at(first));
    EXPECT_EQ(filesIn(folder), 2u);
    EXPECT_FALSE(setAside());
}

// Another program holds the closed index locked (a lock that stops readers too) as the library
// first opens: the next fetch after the lock is gone opens it and lists every photo, without
// waiting for a save.
TEST_F(LibraryFailureTest, AnIndexLockedAtTheFirstOpenIsOpenedByTheNextFetch) {
    Clock::advanceVirtual(1000);
    ASSERT_FALSE(save(jpeg(10, 10)).empty());
    ASSERT_FALSE(save(jpeg(12, 10)).empty());
    const auto before = listed();
    ASSERT_EQ(before.size(), 2u);
    close();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(indexPath().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_NE(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "") << "the first open went past the lock";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(listed(), before);
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_FALSE(setAside());
}

// The library opens on a read-only disk: the index opens for reading only. Once the disk is
// writable again the next save opens the index afresh and goes through, every identifier kept.
TEST_F(LibraryFailureTest, AnIndexOpenedReadOnlyTakesSavesOnceItCanBeWritten) {
    Clock::advanceVirtual(1000);
    std::string first = save(jpeg(10, 10));
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty());
    const auto before = listed();
    close();

    readOnlyDisk.set(indexPath().string());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listed(), before) << "a read-only index still lists its photos";
    std::string refused = save(jpeg(14, 10));
    EXPECT_TRUE(refused.empty());
    EXPECT_EQ(filesIn(folder), 2u) << "the refused save's file stays behind";

    readOnlyDisk.clear();
    std::string third = save(jpeg(16, 10));
    ASSERT_FALSE(third.empty()) << "the index opened read-only stayed so";
    std::string fourth = save(jpeg(18, 10));
    ASSERT_FALSE(fourth.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto after = listed();
    EXPECT_EQ(after.size(), 4u);
    EXPECT_EQ(after[first], before.at(first));
    EXPECT_EQ(after[second], before.at(second));
    EXPECT_TRUE(after.count(third) && after.count(fourth)) << "a save came back under another identifier";
    EXPECT_EQ(filesIn(folder), 4u);
    EXPECT_FALSE(setAside());
}

TEST_F(LibraryFailureTest, APhotoThatCannotBeReadAtOneOpenKeepsItsIdentifier) {
    std::string first = save(jpeg(10, 10));
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty());
    const std::string path = PHAsset::fetchAssetsWithLocalIdentifiers({first})->firstObject()->filePath();

    failingReads.set(path, EIO);
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listed().size(), 2u);
    failingReads.clear();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto after = listed();
    EXPECT_EQ(after.size(), 2u);
    EXPECT_TRUE(after.count(first)) << "came back under another identifier";
    EXPECT_TRUE(after.count(second));
}

TEST_F(LibraryFailureTest, AFolderOrPipeUnderTheIndexNameIsSetAside) {
    std::string first = save(jpeg(10, 10));
    ASSERT_FALSE(first.empty());
    PHPhotoLibrary::setLibraryDirectory("");

    std::filesystem::remove(indexPath());
    std::filesystem::create_directory(indexPath());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_EQ(listed().size(), 1u);
    EXPECT_TRUE(setAside());
    EXPECT_FALSE(save(jpeg(12, 10)).empty());
    PHPhotoLibrary::setLibraryDirectory("");

    std::filesystem::remove(indexPath());
    ASSERT_TRUE(makeFifo(indexPath().string()));
    std::size_t count = 0;
    EXPECT_TRUE(runsPastFifos({indexPath().string()}, [&] {
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        count = listed().size();
    }));
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_EQ(count, 2u);
    EXPECT_FALSE(save(jpeg(14, 10)).empty());
}

// A link under the index's name (left by another program, or put there to have the library write
// elsewhere) is set aside: the file it points at is never opened, nor one it names made. A
// library folder reached through a link of the user's own still opens.
TEST_F(LibraryFailureTest, ALinkUnderTheIndexNameIsSetAsideAndWhatItPointsAtIsLeftAlone) {
    namespace fs = std::filesystem;
    ASSERT_FALSE(save(jpeg(10, 10)).empty());
    close();
    fs::create_directories(outside());
    const fs::path other = outside() / "notes.sqlite";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const auto otherBytes = readFileData(other.string());
    ASSERT_TRUE(otherBytes);

    LogCapture log;
    fs::remove(indexPath());
    fs::create_symlink(other, indexPath());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_EQ(listed().size(), 1u);
    EXPECT_FALSE(save(jpeg(12, 10)).empty());
    close();
    EXPECT_TRUE(log.contains("setting it aside"));
    EXPECT_TRUE(readFileData(other.string()).valueOr(Bytes{}) == *otherBytes) << "the other program's file changed";
    EXPECT_EQ(std::distance(fs::directory_iterator(outside()), fs::directory_iterator()), 1) << "a journal beside it";

    // A link to nothing: the file it names is never made.
    const fs::path nowhere = outside() / "made.sqlite";
    fs::remove(indexPath());
    fs::create_symlink(nowhere, indexPath());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(listed().size(), 2u);
    EXPECT_FALSE(save(jpeg(14, 10)).empty());
    close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(indexPath())));

    // A link of the user's own to the folder is followed.
    const fs::path linkedFolder = outside() / "Pictures";
    fs::create_directory_symlink(folder, linkedFolder);
    PHPhotoLibrary::setLibraryDirectory(linkedFolder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_EQ(listed().size(), 3u);
    EXPECT_FALSE(save(jpeg(16, 10)).empty());
}

// A link under the name of the index's journal, log or shared memory goes when the library opens,
// its target untouched, and the next save goes through.
TEST_F(LibraryFailureTest, ALinkUnderAJournalsNameGoesAndTheNextSaveGoesThrough) {
    namespace fs = std::filesystem;
    ASSERT_FALSE(save(jpeg(10, 10)).empty());
    close();
    fs::create_directories(outside());
    const fs::path target = outside() / "target";
    ASSERT_TRUE(writeFileAtomically(target.string(), std::string_view("keep")));
    std::size_t saved = 1;
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        for (bool dangling : {false, true}) {
            SCOPED_TRACE(std::string(suffix) + (dangling ? " to nothing" : " to a file"));
            const fs::path link = indexPath().string() + suffix;
            const fs::path pointsAt = dangling ? outside() / ("made" + std::string(suffix)) : target;
            fs::create_symlink(pointsAt, link);
            PHPhotoLibrary::setLibraryDirectory(folder.string());
            EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
            EXPECT_EQ(saveFailure(jpeg(12, 10)), "");
            EXPECT_EQ(listed().size(), ++saved);
            close();
            EXPECT_FALSE(fs::is_symlink(fs::symlink_status(link)));
            EXPECT_EQ(readFileData(target.string()).valueOr(Bytes{}), (Bytes{'k', 'e', 'e', 'p'}));
            EXPECT_TRUE(!dangling || !fs::exists(fs::symlink_status(pointsAt)));
        }
    }
    EXPECT_FALSE(setAside());
}

// A library folder that cannot be made is named once, by its own name, with the reason.
TEST_F(LibraryFailureTest, AFolderThatCannotBeMadeIsNamedOnceWithTheReason) {
    std::filesystem::create_directories(outside());
    ASSERT_TRUE(writeFileAtomically((outside() / "blocked").string(), std::string_view("a file")));
    PHPhotoLibrary::setLibraryDirectory((outside() / "blocked" / "Korva").string());
    EXPECT_EQ(
        saveFailure(jpeg(10, 10)),
        std::string("the photo library is unavailable: cannot create the folder Korva: ") + std::strerror(ENOTDIR));
}

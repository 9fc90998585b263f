// File operations, attributes and atomic writes on a temporary folder.
#include "platform/storage/file_manager.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <type_traits>

#include "platform/storage/new_file.h"
#include "platform/storage/owned_descriptor.h"
#include "platform/storage/temporary_name.h"
#include "test_support.h"
#include "tests/support/fifo_trap.h"

namespace {

std::string text(const std::string& path) {
    auto data = readFileData(path);
    return data ? std::string(data->begin(), data->end()) : std::string("<unreadable>");
}

std::vector<std::string> namesIn(const std::string& folder) {
    auto names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder);
    return names ? *names : std::vector<std::string>{"<unlistable>"};
}

// What the file system offers to put a file under a name only where the name is free.
enum class FreeNameSupport { ExclusiveRename, LinksOnly, Neither };
std::atomic<FreeNameSupport> freeNameSupport{FreeNameSupport::ExclusiveRename};

}  // namespace

// As a file system without the exclusive rename (some network and user-space ones) answers.
extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    static auto real =
        reinterpret_cast<int (*)(int, const char*, int, const char*, unsigned)>(::dlsym(RTLD_NEXT, "renameat2"));
    if (freeNameSupport != FreeNameSupport::ExclusiveRename) {
        errno = EINVAL;
        return -1;
    }
    return real(fromFolder, from, toFolder, to, flags);
}

// As a file system without hard links (a FAT disk) answers.
extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    static auto real = reinterpret_cast<int (*)(int, const char*, int, const char*, int)>(::dlsym(RTLD_NEXT, "linkat"));
    if (freeNameSupport == FreeNameSupport::Neither) {
        errno = EPERM;
        return -1;
    }
    return real(fromFolder, from, toFolder, to, flags);
}

// An open of the folder that claims the next temporary file a write makes the moment it is made,
// before the write has locked it, as a library's open may in another program.
std::atomic<bool> claimNextTemporary{false};
OwnedDescriptor claimed;
extern "C" int openat(int folder, const char* path, int flags, ...) {
    static auto real = reinterpret_cast<int (*)(int, const char*, int, ...)>(::dlsym(RTLD_NEXT, "openat"));
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    const int fd = real(folder, path, flags, mode);
    if (fd >= 0 && (flags & O_EXCL) && path[0] == '.' && claimNextTemporary.exchange(false)) {
        EXPECT_EQ(claimLeftTemporary(folder, path, claimed), LeftTemporary::LeftOver);
    }
    return fd;
}

TEST(FileManager, CreatesListsCopiesMovesAndRemovesTrees) {
    TempFolder folder;
    auto files = NSFileManager::defaultManager();
    std::string deep = folder / "a/b/c";
    EXPECT_FALSE(files->createDirectoryAtPath(deep, false).ok());
    ASSERT_TRUE(files->createDirectoryAtPath(deep, true).ok());
    EXPECT_TRUE(files->createDirectoryAtPath(deep, true).ok());  // already there is fine
    ASSERT_TRUE(writeFileAtomically(deep + "/leaf.txt", std::string_view("leaf")).ok());
    ASSERT_TRUE(writeFileAtomically(folder / "a/top.txt", std::string_view("top")).ok());

    bool isDirectory = false;
    EXPECT_TRUE(files->fileExistsAtPath(deep, &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_TRUE(files->fileExistsAtPath(folder / "a/top.txt", &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_FALSE(files->fileExistsAtPath(folder / "nothing", &isDirectory));
    EXPECT_EQ(namesIn(folder / "a"), (std::vector<std::string>{"b", "top.txt"}));

    ASSERT_TRUE(files->copyItemAtPath(folder / "a", folder / "copy").ok());
    EXPECT_EQ(text(folder / "copy/b/c/leaf.txt"), "leaf");
    EXPECT_FALSE(files->copyItemAtPath(folder / "a", folder / "copy").ok());  // destination exists
    EXPECT_EQ(text(folder / "copy/top.txt"), "top");

    ASSERT_TRUE(files->moveItemAtPath(folder / "copy", folder / "moved").ok());
    EXPECT_FALSE(files->fileExistsAtPath(folder / "copy"));
    EXPECT_EQ(text(folder / "moved/b/c/leaf.txt"), "leaf");
    EXPECT_FALSE(files->moveItemAtPath(folder / "a", folder / "moved").ok());
    EXPECT_EQ(text(folder / "a/top.txt"), "top");  // a refused move leaves both sides alone
    EXPECT_FALSE(files->moveItemAtPath(folder / "ghost", folder / "other").ok());

    ASSERT_TRUE(files->removeItemAtPath(folder / "a").ok());
    EXPECT_FALSE(files->fileExistsAtPath(folder / "a"));
    EXPECT_FALSE(files->removeItemAtPath(folder / "a").ok());
    EXPECT_FALSE(files->contentsOfDirectoryAtPath(folder / "a").ok());
}

TEST(FileManager, AttributesGiveSizeDatesAndType) {
    TempFolder folder;
    auto files = NSFileManager::defaultManager();
    std::string path = folder / "five.bin";
    ASSERT_TRUE(writeFileAtomically(path, Bytes{1, 2, 3, 4, 5}).ok());
    auto attributes = files->attributesOfItemAtPath(path);
    ASSERT_TRUE(attributes.ok()) << attributes.error();
    EXPECT_EQ((*attributes)[NSFileSize].kind(), Value::Kind::UInt);
    EXPECT_EQ((*attributes)[NSFileSize].integerValue(), 5);
    EXPECT_EQ(*(*attributes)[NSFileType].string(), NSFileTypeRegular);
    ASSERT_TRUE((*attributes)[NSFileModificationDate].isDate());
    ASSERT_TRUE((*attributes)[NSFileCreationDate].isDate());
    // Dates count from 2001-01-01; a file written now is well past 2020.
    double now = static_cast<double>(::time(nullptr)) - 978307200.0;
    EXPECT_NEAR((*attributes)[NSFileModificationDate].dateValue(), now, 60.0);

    auto folderAttributes = files->attributesOfItemAtPath(folder.path());
    ASSERT_TRUE(folderAttributes.ok());
    EXPECT_EQ(*(*folderAttributes)[NSFileType].string(), NSFileTypeDirectory);
    EXPECT_FALSE(files->attributesOfItemAtPath(folder / "missing").ok());
}

TEST(FileManager, AtomicWriteReplacesWholeAndLeavesNoTemporaryFiles) {
    TempFolder folder;
    std::string path = folder / "store.json";
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("first version, longer")).ok());
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("second")).ok());
    EXPECT_EQ(text(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"store.json"});

    Bytes empty;
    ASSERT_TRUE(writeFileAtomically(path, empty).ok());
    EXPECT_EQ(text(path), "");
}

TEST(FileManager, FailedAtomicWriteLeavesTheOldFileIntact) {
    TempFolder folder;
    std::string path = folder / "settings.plist";
    ASSERT_TRUE(writeFileAtomically(path, std::string_view("precious")).ok());

    // Into a folder that does not exist, or "through" a regular file, or onto a folder.
    EXPECT_FALSE(writeFileAtomically(folder / "missing/settings.plist", std::string_view("x")).ok());
    EXPECT_FALSE(writeFileAtomically(path + "/inner", std::string_view("x")).ok());
    ASSERT_TRUE(NSFileManager::defaultManager()->createDirectoryAtPath(folder / "sub", false).ok());
    auto ontoFolder = writeFileAtomically(folder / "sub", std::string_view("x"));
    EXPECT_FALSE(ontoFolder.ok());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "sub"));
    EXPECT_FALSE(writeFileAtomically("", std::string_view("x")).ok());
    EXPECT_EQ(text(path), "precious");

    if (::geteuid() != 0) {  // permissions do not stop the superuser
        ::chmod(folder.path().c_str(), 0500);
        auto denied = writeFileAtomically(path, std::string_view("replacement"));
        ::chmod(folder.path().c_str(), 0700);
        EXPECT_FALSE(denied.ok());
        if (!denied) {
            EXPECT_NE(denied.error().find(folder.path()), std::string::npos);
        }
        EXPECT_EQ(text(path), "precious");
    }
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"settings.plist", "sub"}));
}

TEST(FileManager, APipeUnderAFileNameIsRefusedWithoutWaiting) {
    TempFolder folder;
    const std::string fifo = folder / "Global.1";
    ASSERT_TRUE(makeFifo(fifo));
    Result<Bytes> read = fail("not read");
    EXPECT_TRUE(runsPastFifos({fifo}, [&] { read = readFileData(fifo); }));
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("not a regular file"), std::string::npos) << read.error();
}

TEST(FileManager, ReadingFailsCleanly) {
    TempFolder folder;
    EXPECT_FALSE(readFileData(folder / "absent").ok());
    EXPECT_FALSE(readFileData(folder.path()).ok());  // a folder is not a file
    std::vector<std::uint8_t> big(300000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(writeFileAtomically(folder / "big", big).ok());
    auto back = readFileData(folder / "big");
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, big);
    EXPECT_EQ(pathByAppendingComponent("/a/", "/b"), "/a/b");
    EXPECT_EQ(pathByAppendingComponent("/a", "b"), "/a/b");
}

TEST(FileManager, ANewFileTakesTheFirstFreeNameAndReplacesNone) {
    auto nameFor = [](int n) { return n ? "note-" + std::to_string(n + 1) + ".txt" : std::string("note.txt"); };
    for (auto support : {FreeNameSupport::ExclusiveRename, FreeNameSupport::LinksOnly, FreeNameSupport::Neither}) {
        SCOPED_TRACE(int(support));
        TempFolder folder;
        ASSERT_TRUE(writeFileAtomically(folder / "note.txt", std::string_view("old")));
        freeNameSupport = support;
        auto first = writeNewFileAtomically(folder.path(), nameFor, "one");
        auto second = writeNewFileAtomically(folder.path(), nameFor, "two");
        freeNameSupport = FreeNameSupport::ExclusiveRename;
        EXPECT_EQ(first.valueOr(""), "note-2.txt");
        EXPECT_EQ(second.valueOr(""), "note-3.txt");
        EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"note-2.txt", "note-3.txt", "note.txt"}));
        EXPECT_EQ(text(folder / "note.txt"), "old");
        EXPECT_EQ(text(folder / "note-2.txt"), "one");
        EXPECT_EQ(text(folder / "note-3.txt"), "two");
    }
}

// The write gives that file up (its own, and empty: it removes it) and writes another.
TEST(FileManager, AWriteGivesUpATemporaryFileAnOpenClaimedFirst) {
    TempFolder folder;
    claimNextTemporary = true;
    auto placed = writeNewFileAtomically(
        folder.path(), [](int) { return std::string("photo.jpg"); }, "whole");
    ASSERT_FALSE(claimNextTemporary);
    ASSERT_GE(claimed.fd, 0);
    struct stat given {
    }, written{};
    ASSERT_EQ(::fstat(claimed.fd, &given), 0);
    ASSERT_EQ(::stat((folder / "photo.jpg").c_str(), &written), 0);
    EXPECT_EQ(placed.valueOr(""), "photo.jpg");
    EXPECT_NE(given.st_ino, written.st_ino) << "not written into the claimed file";
    EXPECT_EQ(given.st_nlink, 0u) << "nor is the claimed file left in the folder";
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"photo.jpg"});
    claimed = OwnedDescriptor{};
}

namespace {

// Another folder put under the folder's name while a file is being written, as a sync tool
// replaces a folder: the one written to goes to `movedTo` and a new empty one takes its name.
std::string movedFrom, movedTo;
void replaceFolder(const std::string&) {
    ::rename(movedFrom.c_str(), movedTo.c_str());
    ::mkdir(movedFrom.c_str(), 0700);
}

}  // namespace

TEST(FileManager, AWriteEndsInTheFolderItBeganInWhenAnotherIsPutUnderItsName) {
    auto nameFor = [](int n) { return "photo-" + std::to_string(n) + ".jpg"; };
    for (auto support : {FreeNameSupport::ExclusiveRename, FreeNameSupport::LinksOnly, FreeNameSupport::Neither}) {
        SCOPED_TRACE(int(support));
        TempFolder top;
        movedFrom = top / "lib";
        ASSERT_EQ(::mkdir(movedFrom.c_str(), 0700), 0);
        // The first name is taken in the folder held, and free in the one that comes.
        ASSERT_TRUE(writeFileAtomically(top / "lib/photo-0.jpg", std::string_view("first")));
        const int held = ::open(movedFrom.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        freeNameSupport = support;
        setBeforePlacingForTesting(replaceFolder);
        movedTo = top / "lib.old";
        auto placed = writeNewFileAtomically(held, movedFrom, nameFor, "second");
        // By the file's path: the folder under the name when the write began.
        movedTo = top / "lib.older";
        auto replaced = writeFileAtomically(top / "lib/settings", std::string_view("kept"));
        setBeforePlacingForTesting(nullptr);
        freeNameSupport = FreeNameSupport::ExclusiveRename;
        ::close(held);
        EXPECT_EQ(placed ? *placed : placed.error(), "photo-1.jpg");
        EXPECT_TRUE(replaced.ok()) << (replaced ? "" : replaced.error());
        EXPECT_EQ(namesIn(top / "lib.old"), (std::vector<std::string>{"photo-0.jpg", "photo-1.jpg"}));
        EXPECT_EQ(text(top / "lib.old/photo-1.jpg"), "second");
        EXPECT_EQ(namesIn(top / "lib.older"), std::vector<std::string>{"settings"});
        EXPECT_EQ(namesIn(top / "lib"), std::vector<std::string>{});
    }
}

namespace {
std::vector<std::string> temporariesSeen;
void noteTemporary(const std::string& temporary) {
    temporariesSeen.push_back(temporary);
}
}  // namespace

// Every write's temporary has a name only this program makes, told from the ".<name>.XXXXXX" of copy
// programs (and of the program's earlier builds), which is told as well.
TEST(FileManager, AWritesTemporaryHasANameOnlyThisProgramMakes) {
    TempFolder folder;
    temporariesSeen.clear();
    setBeforePlacingForTesting(noteTemporary);
    ASSERT_TRUE(writeFileAtomically(folder / "settings.plist", std::string_view("a")));
    ASSERT_TRUE(writeNewFileAtomically(
        folder.path(), [](int) { return std::string("IMG_1.JPG"); }, "b"));
    setBeforePlacingForTesting(nullptr);
    ASSERT_EQ(temporariesSeen.size(), 2u);
    EXPECT_EQ(ownTemporaryTarget(temporariesSeen[0]), "settings.plist");
    EXPECT_EQ(ownTemporaryTarget(temporariesSeen[1]), "IMG_1.JPG");
    EXPECT_NE(newTemporaryName("IMG_1.JPG"), newTemporaryName("IMG_1.JPG"));
    EXPECT_EQ(earlierTemporaryTarget(temporariesSeen[0]), std::nullopt);
    EXPECT_EQ(ownTemporaryTarget(".IMG_R0001.JPG.AbC123"), std::nullopt);
    EXPECT_EQ(earlierTemporaryTarget(".IMG_R0001.JPG.AbC123"), "IMG_R0001.JPG");
    for (const char* other : {"IMG_1.JPG", ".IMG_1.JPG.korva-AbC1234", ".korva-AbC12345", ".IMG_1.JPG.AbC1-3"})
        EXPECT_FALSE(ownTemporaryTarget(other) || earlierTemporaryTarget(other)) << other;
}

TEST(FileManager, AnOwnedDescriptorIsClosedOnceByWhicheverHoldsItLast) {
    static_assert(!std::is_copy_constructible_v<OwnedDescriptor> && !std::is_copy_assignable_v<OwnedDescriptor>);
    auto open = [](int fd) { return ::fcntl(fd, F_GETFD) >= 0; };
    OwnedDescriptor kept;
    int fd = -1;
    {
        OwnedDescriptor first{::open("/dev/null", O_RDONLY | O_CLOEXEC)};
        fd = first.fd;
        OwnedDescriptor second{std::move(first)};
        kept = std::move(second);
    }
    EXPECT_TRUE(open(fd)) << "not closed by those it was moved from";
    kept = OwnedDescriptor{};
    EXPECT_FALSE(open(fd)) << "closed by the last";
}

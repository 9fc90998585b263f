// The folder watch's reading of the kernel's events: files created in the folder and opened by
// another program before the watch reads them; the folder above made unreachable and reachable
// again, and a folder made on the way while the watches are placed; the watches of folders moved
// off the way let go.
#include "platform/photos/library_folder_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <fstream>
#include <set>
#include <utility>

#include "tests/support/another_user.h"
#include "tests/support/reachable_temp_folder.h"

namespace {

// The names the watch reports. Its first report holds the watch's thread until let go, so that
// what happens meanwhile reaches the watch in one read.
struct HeldReports {
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::string> names;
    bool held = true;
    // The folder's moves reported, and whether one is watched after the last.
    int moves = 0;
    bool watching = true;

    void report(FolderEvents events) {
        std::unique_lock lock(mutex);
        names.insert(events.names.begin(), events.names.end());
        moves += events.folderMoved;
        watching = events.watching;
        changed.notify_all();
        changed.wait(lock, [&] { return !held; });
    }
    bool has(const std::set<std::string>& wanted, double seconds = 10) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
            return std::includes(names.begin(), names.end(), wanted.begin(), wanted.end());
        });
    }
    bool moved(int count, bool watched) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return moves >= count && watching == watched; });
    }
};

// Where the watches' next placement makes the folder it has found missing, as another program
// would between the look and the watch.
std::filesystem::path madeWhilePlacing;

void makeWhilePlacing() {
    std::error_code ignored;
    if (!madeWhilePlacing.empty() && !std::filesystem::exists(madeWhilePlacing))
        std::filesystem::create_directory(std::exchange(madeWhilePlacing, {}), ignored);
}

// The inotify queues the process has open, by descriptor.
std::set<int> inotifyQueues() {
    std::set<int> queues;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error).string() == "anon_inode:inotify")
            queues.insert(std::stoi(entry.path().filename().string()));
    }
    return queues;
}

// How many watches the kernel holds on a queue.
int watchesOn(int queue) {
    std::ifstream info("/proc/self/fdinfo/" + std::to_string(queue));
    int watches = 0;
    for (std::string line; std::getline(info, line);) watches += line.rfind("inotify wd:", 0) == 0;
    return watches;
}

}  // namespace

TEST(LibraryFolderWatchTest, FilesLinkedInAndReadByAnotherProgramAreReportedAndOneBeingWrittenOnceClosed) {
    const std::filesystem::path folder = testsupport::makeFolderOthersCanEnter("korva-watch");
    const std::filesystem::path source = folder.string() + "-source.jpg";
    std::ofstream(source) << "a photo";
    HeldReports reports;
    auto watch = LibraryFolderWatch::start(folder.string(), [&](FolderEvents e) { reports.report(std::move(e)); });
    ASSERT_TRUE(watch);
    std::filesystem::copy_file(source, folder / "first.jpg");
    ASSERT_TRUE(reports.has({"first.jpg"}));

    std::set<std::string> linked = {"linked_0.jpg", "linked_1.jpg", "linked_2.jpg"};
    for (const auto& name : linked) {
        std::filesystem::create_hard_link(source, folder / name);
        std::ifstream(folder / name).get();
    }
    const int writer = ::open((folder / "writing.jpg").c_str(), O_WRONLY | O_CREAT, 0644);
    {
        std::lock_guard lock(reports.mutex);
        reports.held = false;
    }
    reports.changed.notify_all();
    EXPECT_TRUE(reports.has(linked));
    EXPECT_FALSE(reports.has({"writing.jpg"}, 0)) << "its writer still holds it";
    ::close(writer);
    EXPECT_TRUE(reports.has({"writing.jpg"}));
    watch.value().reset();
    std::filesystem::remove_all(folder);
    std::filesystem::remove(source);
}

TEST(LibraryFolderWatchTest, TheFolderAboveMadeUnreachableAndAFolderMadeWhileTheWatchesArePlacedAreFollowed) {
    const std::filesystem::path root = testsupport::makeFolderOthersCanEnter("korva-watch");
    const std::filesystem::path above = root / "p", lib = above / "lib";
    std::filesystem::create_directories(lib);
    HeldReports reports;
    reports.held = false;
    auto watch = LibraryFolderWatch::start(lib.string(), [&](FolderEvents e) { reports.report(std::move(e)); });
    ASSERT_TRUE(watch);
    // Permissions hold for the superuser only as another user, who owns the folder above then.
    const bool superuser = ::geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(::chown(above.c_str(), 65534, 65534), 0);
    }
    testsupport::AnotherUser user;
    if (user.bound()) {
        std::filesystem::permissions(above, std::filesystem::perms::none);
        EXPECT_TRUE(reports.moved(1, false)) << "the folder above may not be searched";
        std::filesystem::permissions(above, std::filesystem::perms::owner_all);
        EXPECT_TRUE(reports.moved(2, true));
        ASSERT_TRUE(user.end());
    }

    // The folder above moved away, and made again while the watches are placed on the one above it.
    const int before = reports.moves;
    madeWhilePlacing = above;
    LibraryFolderWatch::setPlacingForTesting(makeWhilePlacing);
    std::filesystem::rename(above, root.string() + "-away");
    EXPECT_TRUE(reports.moved(before + 1, false));
    LibraryFolderWatch::setPlacingForTesting(nullptr);
    std::filesystem::create_directory(lib);
    EXPECT_TRUE(reports.moved(before + 2, true)) << "the folder made on the way is watched";
    watch.value().reset();
    std::filesystem::remove_all(root);
    std::filesystem::remove_all(root.string() + "-away");
}

// A folder moved away keeps its inode and so the kernel's watch on it: each one the watch no longer
// follows, the folder above or the folder itself, is let go, or renames would use up the watches.
TEST(LibraryFolderWatchTest, TheWatchesOfFoldersMovedOffTheWayAreLetGo) {
    const std::filesystem::path root = testsupport::makeFolderOthersCanEnter("korva-watch");
    const std::filesystem::path above = root / "p", lib = above / "lib";
    std::filesystem::create_directories(lib);
    HeldReports reports;
    reports.held = false;
    const std::set<int> before = inotifyQueues();
    auto watch = LibraryFolderWatch::start(lib.string(), [&](FolderEvents e) { reports.report(std::move(e)); });
    ASSERT_TRUE(watch);
    std::set<int> queues = inotifyQueues();
    for (int queue : before) queues.erase(queue);
    ASSERT_EQ(queues.size(), 1u);
    const int queue = *queues.begin();
    const int placed = watchesOn(queue);
    ASSERT_GE(placed, 2) << "the folder and the one above";

    for (int round = 0; round < 4; ++round) {
        const auto away = root / ("away-" + std::to_string(round));
        std::filesystem::rename(round % 2 ? lib : above, away);
        EXPECT_TRUE(reports.moved(2 * round + 1, false));
        std::filesystem::create_directories(lib);
        EXPECT_TRUE(reports.moved(2 * round + 2, true));
    }
    EXPECT_EQ(watchesOn(queue), placed);
    watch.value().reset();
    std::filesystem::remove_all(root);
}

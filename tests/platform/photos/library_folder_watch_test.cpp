// The folder watch's reading of the kernel's events: files created in the folder and opened by
// another program before the watch reads them; the folder above made unreachable and reachable
// again, and a folder made on the way while the watches are placed.
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

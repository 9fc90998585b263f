// The folder watch's reading of the kernel's events: files created in the folder and opened by
// another program before the watch reads them.
#include "platform/photos/library_folder_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <fstream>
#include <set>

#include "tests/support/reachable_temp_folder.h"

namespace {

// The names the watch reports. Its first report holds the watch's thread until let go, so that
// what happens meanwhile reaches the watch in one read.
struct HeldReports {
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::string> names;
    bool held = true;

    void report(FolderEvents events) {
        std::unique_lock lock(mutex);
        names.insert(events.names.begin(), events.names.end());
        changed.notify_all();
        changed.wait(lock, [&] { return !held; });
    }
    bool has(const std::set<std::string>& wanted, double seconds = 10) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
            return std::includes(names.begin(), names.end(), wanted.begin(), wanted.end());
        });
    }
};

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

// The folder watch's reading of the kernel's events: files created in the folder and opened by
// other programs before the watch reads them.
#include "platform/photos/library_folder_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

#include "tests/support/reachable_temp_folder.h"

namespace {

// The names the watch reports. The first report holds the watch's thread until it is let go, so
// that whatever happens meanwhile reaches the watch in one read.
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
    bool waitFor(const std::set<std::string>& wanted) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] {
            return std::includes(names.begin(), names.end(), wanted.begin(), wanted.end());
        });
    }
    void letGo() {
        std::lock_guard lock(mutex);
        held = false;
        changed.notify_all();
    }
};

void read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char byte;
    in.read(&byte, 1);
}

}  // namespace

TEST(LibraryFolderWatchTest, FilesLinkedInAndReadByAnotherProgramAreReportedAndOneBeingWrittenOnceClosed) {
    const std::filesystem::path folder = testsupport::makeFolderOthersCanEnter("korva-watch");
    ASSERT_FALSE(folder.empty());
    const std::filesystem::path source = folder.string() + "-source.jpg";
    std::ofstream(source) << "a photo";
    HeldReports reports;
    auto watch = LibraryFolderWatch::start(folder.string(), [&](FolderEvents e) { reports.report(std::move(e)); });
    ASSERT_TRUE(watch);
    std::filesystem::copy_file(source, folder / "first.jpg");
    ASSERT_TRUE(reports.waitFor({"first.jpg"}));

    // Each linked in and read once by another program; one created to be written, by itself.
    std::set<std::string> linked;
    for (int i = 0; i < 5; ++i) {
        linked.insert("linked_" + std::to_string(i) + ".jpg");
        std::filesystem::create_hard_link(source, folder / *linked.rbegin());
        read(folder / *linked.rbegin());
    }
    const int writer = ::open((folder / "writing.jpg").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(writer, 0);
    reports.letGo();
    EXPECT_TRUE(reports.waitFor(linked));
    {
        std::lock_guard lock(reports.mutex);
        EXPECT_FALSE(reports.names.count("writing.jpg")) << "its writer still holds it";
    }
    ::close(writer);
    EXPECT_TRUE(reports.waitFor({"writing.jpg"}));
    watch.value().reset();
    std::filesystem::remove_all(folder);
    std::filesystem::remove(source);
}

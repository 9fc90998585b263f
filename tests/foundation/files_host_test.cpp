// The bookmark store: access bookkeeping, bookmark files written and read back, and names that
// try to leave the bookmark folder.
#include "foundation/files_host.h"

#include <gtest/gtest.h>

#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_removal.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

class CountingFilesHost : public FilesHost {
public:
    KORVA_MAKE(CountingFilesHost)
    bool start0(const NSURL& url) override {
        ++starts;
        return FilesHost::start0(url);
    }
    void stop0(const NSURL& url) override {
        ++stops;
        FilesHost::stop0(url);
    }
    int starts = 0, stops = 0;

protected:
    CountingFilesHost() = default;
};

class FilesHostTest : public TempSandboxTest {
protected:
    std::shared_ptr<NSURL> pickedFile(const std::string& name) {
        writeFile("outside/" + name, "picked");
        return NSURL::fileURLWithPath(pathOf("outside/" + name));
    }
};

TEST_F(FilesHostTest, AccessStartsOncePerURLUntilFlushed) {
    auto host = CountingFilesHost::make();
    auto url = pickedFile("a.txt");
    EXPECT_TRUE(host->start(url));
    EXPECT_TRUE(host->start(url));
    EXPECT_EQ(host->starts, 1);
    host->flush();
    EXPECT_EQ(host->stops, 1);
    EXPECT_FALSE(host->isStarted(*url));
    EXPECT_TRUE(host->start(url));
    EXPECT_EQ(host->starts, 2);
    host->stop(url);
    EXPECT_FALSE(host->isStarted(*url));
    EXPECT_FALSE(host->start(NSURL::fileURLWithPath(pathOf("outside/missing"))));
    EXPECT_FALSE(host->start(NSURL::URLWithString("http://127.0.0.1/x")));
}

TEST_F(FilesHostTest, BookmarksAreWrittenReadAndRemoved) {
    auto host = FilesHost::make();
    auto url = pickedFile("b c.txt");
    auto name = host->writeBookmark(url);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->size(), 16u);  // 10 characters and ".alias"
    EXPECT_TRUE(existFile(withLibraryPath("files_bookmarks/" + *name)));
    EXPECT_TRUE(host->isStarted(*url));
    auto second = host->writeBookmark(url);
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *name);

    auto found = FilesHost::make()->readBookmark(*name);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path(), url->path());

    EXPECT_TRUE(host->removeBookmark(*name));
    EXPECT_FALSE(host->readBookmark(*name));
    EXPECT_FALSE(host->removeBookmark(*name));
    EXPECT_FALSE(host->writeBookmark(NSURL::URLWithString("http://127.0.0.1/x")));
}

TEST_F(FilesHostTest, NamesThatLeaveTheFolderAreRefused) {
    auto host = FilesHost::make();
    auto name = host->writeBookmark(pickedFile("d.txt"));
    ASSERT_TRUE(name);
    // A copy of a good bookmark placed beside the folder, reached by climbing out of it.
    std::string outside = withLibraryPath("escaped.alias");
    ASSERT_TRUE(std::filesystem::copy_file(withLibraryPath("files_bookmarks/" + *name), outside));
    EXPECT_FALSE(host->readBookmark("../escaped.alias"));
    EXPECT_FALSE(host->removeBookmark("../escaped.alias"));
    EXPECT_TRUE(existFile(outside));
    EXPECT_FALSE(host->readBookmark("sub/../../escaped.alias"));
    // Steps that stay inside resolve to the file itself.
    EXPECT_TRUE(host->readBookmark("./" + *name));
    EXPECT_TRUE(host->readBookmark("x/../" + *name));
    EXPECT_FALSE(host->readBookmark(""));
    EXPECT_FALSE(host->readBookmark("."));
}

// Another program putting a folder under a bookmark's name between the look and the removal.
void putAFolderUnderTheName(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    std::filesystem::create_directories(path + "/inside");
    (void)writeFileAtomically(path + "/inside/keep", std::string_view("mine"));
}

TEST_F(FilesHostTest, ABookmarksRemovalTakesOneFileOrNothing) {
    auto host = FilesHost::make();
    auto name = host->writeBookmark(pickedFile("e.txt"));
    ASSERT_TRUE(name);
    const std::string path = withLibraryPath("files_bookmarks/" + *name);
    LogCapture log;
    setBeforeRemovingForTesting(putAFolderUnderTheName);
    const bool removed = host->removeBookmark(*name);
    setBeforeRemovingForTesting(nullptr);
    EXPECT_FALSE(removed);
    EXPECT_EQ(readFile(path + "/inside/keep"), "mine");
    EXPECT_TRUE(log.contains("cannot remove " + path + " (Is a directory); it stays"));
    EXPECT_FALSE(host->removeBookmark(*name)) << "a folder under the name is no bookmark";
    EXPECT_TRUE(existDirectory(path));
}

}  // namespace

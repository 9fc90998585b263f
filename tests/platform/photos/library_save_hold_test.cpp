// A save holds its file from its making until it has its name: an open of the library by another
// program meanwhile leaves it to the save, and one after the save's program ended keeps it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/storage/new_file.h"

namespace {

std::set<std::string> namesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir))
        if (const auto name = e.path().filename().string(); name.rfind(".korva", 0) != 0) names.insert(name);
    return names;
}

std::set<std::string> rowsOf(const AssetIndex& index) {
    std::set<std::string> files;
    if (auto rows = index.query({}))
        for (const auto& row : *rows) files.insert(row.file);
    return files;
}

// Another program's open of the library while a photo's file is whole and not yet named: what it
// listed, and whether the file was still the save's once it had opened.
std::filesystem::path elsewhere;
std::set<std::string> listedElsewhere;
bool leftToTheSave = false;
void openElsewhere(const std::string& temporary) {
    if (temporary.rfind(".IMG_", 0) != 0) return;
    if (auto index = AssetIndex::open(elsewhere.string())) listedElsewhere = rowsOf(**index);
    leftToTheSave = std::filesystem::exists(elsewhere / temporary);
}

// The child's save, halted where its file is whole: it tells the parent, and waits for a word back.
int toParent = -1, fromParent = -1;
void haltForParent(const std::string&) {
    char c = 1;
    if (::write(toParent, &c, 1) != 1 || ::read(fromParent, &c, 1) != 1) ::_exit(3);
}

}  // namespace

TEST_F(PhotosTest, ASaveIsSavedWhenAnotherProgramOpensTheLibraryBeforeItsFileHasItsName) {
    ASSERT_FALSE(save(jpeg(8, 8)).empty());
    elsewhere = folder;
    setBeforePlacingForTesting(openElsewhere);
    std::string id;
    auto saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        auto request = PHAssetCreationRequest::creationRequestForAsset();
        request->addResourceWithType(PHAssetResourceType::Photo, jpeg(20, 10));
        id = request->placeholderForCreatedAsset()->localIdentifier();
    });
    setBeforePlacingForTesting(nullptr);
    ASSERT_TRUE(saved.ok()) << saved.error();
    // The other open left the save's file alone, and listed the first photo alone.
    EXPECT_TRUE(leftToTheSave);
    EXPECT_EQ(listedElsewhere.size(), 1u);
    EXPECT_EQ(namesIn(folder).size(), 2u);
    auto saves = PHAsset::fetchAssetsWithLocalIdentifiers({id});
    ASSERT_EQ(saves->count(), 1u);
    EXPECT_TRUE(namesIn(folder).count(std::filesystem::path(saves->firstObject()->filePath()).filename().string()));
}

TEST_F(PhotosTest, ASaveInAnotherProgramIsLeftToItUntilThatProgramEnds) {
    std::filesystem::create_directories(folder);
    const Bytes data = jpeg(20, 10);
    for (const bool ends : {false, true}) {
        SCOPED_TRACE(ends ? "the saving program ends" : "the save goes on");
        const std::string name = ends ? "IMG_ENDS.JPG" : "IMG_GOES.JPG";
        int up[2], down[2];
        ASSERT_EQ(::pipe2(up, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(down, O_CLOEXEC), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            toParent = up[1], fromParent = down[0];
            setBeforePlacingForTesting(haltForParent);
            const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
            auto placed = writeNewFileAtomically(
                folder.string(), [&](int turn) { return libraryFileNameInTurn(name, turn); }, bytes);
            ::_exit(placed && *placed == name ? 0 : 1);
        }
        ::close(up[1]);
        ::close(down[0]);
        char c = 0;
        ASSERT_EQ(::read(up[0], &c, 1), 1) << "the child's save halts once its file is whole";
        {
            auto opened = AssetIndex::open(folder.string());
            ASSERT_TRUE(opened.ok()) << opened.error();
            EXPECT_EQ(rowsOf(**opened).count(name), 0u);
        }
        EXPECT_EQ(namesIn(folder).count(name), 0u) << "the save's file is left to it";
        if (ends) {
            ::kill(child, SIGKILL);
        } else {
            EXPECT_EQ(::write(down[1], &c, 1), 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(up[0]);
        ::close(down[1]);
        if (!ends) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's save succeeds";
        }
        // The next open keeps the file of a save whose program ended, under its own name.
        auto opened = AssetIndex::open(folder.string());
        ASSERT_TRUE(opened.ok()) << opened.error();
        EXPECT_EQ(rowsOf(**opened).count(name), 1u);
        EXPECT_EQ(namesIn(folder), rowsOf(**opened));
    }
}

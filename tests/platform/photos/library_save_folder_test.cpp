// A save, and a settlement step, while another folder comes under the library folder's name: the
// photo, its row and whatever a step reads belong to the folder whose index the library holds.
#include <sqlite3.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/temporary_name.h"
#include "tests/support/another_user.h"
#include "tests/support/reachable_temp_folder.h"

namespace {

// Once the save has its index and reads its photo: the folder goes to `away`, `in` takes its name.
std::string swapFolder, swapAway, swapIn;
int swapWhileReading(const std::string& path) {
    if (path.ends_with("source.jpg")) {
        std::filesystem::rename(swapFolder, swapAway);
        std::filesystem::rename(swapIn, swapFolder);
    }
    return 0;
}

// The files an index lists with their stamps, read as another program would; the files beside it.
std::map<std::string, std::set<std::string>> filesOf(const std::filesystem::path& dir) {
    std::map<std::string, std::set<std::string>> files;
    for (auto& e : std::filesystem::directory_iterator(dir))
        if (const auto name = e.path().filename().string(); name.rfind(".korva", 0) != 0) files["folder"].insert(name);
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2((dir / AssetIndex::kIndexFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT file FROM assets WHERE file_size > 0", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            files["rows"].insert(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return files;
}

void write(const std::filesystem::path& path, const Bytes& data) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
}

}  // namespace

TEST_F(PhotosTest, ASaveAndADeletionEndInTheFolderTheyBeganInWhateverComesUnderItsName) {
    const std::string first = save(jpeg(12, 12));
    const std::string firstFile = filesOf(folder)["rows"].empty() ? "" : *filesOf(folder)["rows"].begin();
    // Another folder, holding a copy under the first photo's name, put in its place.
    const std::filesystem::path old = folder.string() + "-old", other = folder.string() + "-other";
    std::filesystem::create_directory(other);
    std::filesystem::copy_file(folder / firstFile, other / firstFile);
    write(other.string() + "-source.jpg", jpeg(14, 14));
    swapFolder = folder.string(), swapAway = old.string(), swapIn = other.string();
    setReadFaultForTesting(swapWhileReading);
    std::string second;
    auto saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        second = PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL(other.string() + "-source.jpg")
                     ->placeholderForCreatedAsset()
                     ->localIdentifier();
        PHAssetChangeRequest::deleteAssets(PHAsset::fetchAssetsWithLocalIdentifiers({first})->assets());
    });
    setReadFaultForTesting(nullptr);
    std::filesystem::remove(other.string() + "-source.jpg");
    EXPECT_TRUE(saved.ok()) << (saved ? "" : saved.error());
    auto files = filesOf(old);
    EXPECT_EQ(files["folder"].size(), 1u) << "the new photo alone, and no temporary file";
    EXPECT_EQ(files["rows"], files["folder"]);
    EXPECT_EQ(filesOf(folder)["folder"], std::set<std::string>{firstFile}) << "the other folder's copy stays";
    // The next start on the folder lists the photo under its identifier.
    PHPhotoLibrary::setLibraryDirectory(old.string());
    const auto listed = PHAsset::fetchAssetsWithOptions(nullptr);
    ASSERT_EQ(listed->count(), 1u);
    EXPECT_EQ(listed->firstObject()->localIdentifier(), second);
    PHPhotoLibrary::setLibraryDirectory("");
    std::filesystem::remove_all(old);
}

// A change that finds its index broken is applied in a rebuilt one, never in another folder's.
TEST_F(PhotosTest, AChangeThatFindsItsIndexBrokenOnceAnotherFolderIsUnderTheNameFails) {
    ASSERT_FALSE(save(jpeg(12, 12)).empty());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "DROP TABLE assets; CREATE TABLE assets (identifier TEXT, file TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::filesystem::path old = folder.string() + "-old", other = folder.string() + "-other";
    std::filesystem::create_directory(other);
    write(other.string() + "-source.jpg", jpeg(14, 14));
    swapFolder = folder.string(), swapAway = old.string(), swapIn = other.string();
    setReadFaultForTesting(swapWhileReading);
    auto saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
        [&] { PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL(other.string() + "-source.jpg"); });
    setReadFaultForTesting(nullptr);
    std::filesystem::remove(other.string() + "-source.jpg");
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(filesOf(old)["folder"].size(), 1u) << "the first photo alone";
    EXPECT_EQ(filesOf(folder)["rows"], std::set<std::string>{});
    PHPhotoLibrary::setLibraryDirectory("");
    std::filesystem::remove_all(old);
}

// Under the first free name of those its save would have taken; where one is the file already (a
// second name the save made before it was cut off), only the temporary name goes.
TEST_F(PhotosTest, TheWholeFileOfAnInterruptedSaveIsKeptWhereItsNameIsFree) {
    std::filesystem::create_directories(folder);
    write(folder / newTemporaryName("IMG_LEFT.JPG"), jpeg(20, 10));
    write(folder / "IMG_TAKEN.JPG", jpeg(8, 8));
    write(folder / "IMG_TAKEN_1.JPG", jpeg(8, 8));
    write(folder / newTemporaryName("IMG_TAKEN.JPG"), jpeg(20, 10));
    write(folder / "IMG_LINKED.JPG", jpeg(8, 8));
    write(folder / "IMG_LINKED_1.JPG", jpeg(20, 10));
    std::filesystem::create_hard_link(folder / "IMG_LINKED_1.JPG", folder / newTemporaryName("IMG_LINKED.JPG"));
    const Bytes whole = jpeg(20, 10);
    write(folder / newTemporaryName("IMG_HALF.JPG"), Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 6u);
    auto files = filesOf(folder);
    EXPECT_EQ(files["folder"], (std::set<std::string>{"IMG_LEFT.JPG", "IMG_TAKEN.JPG", "IMG_TAKEN_1.JPG",
                                                      "IMG_TAKEN_2.JPG", "IMG_LINKED.JPG", "IMG_LINKED_1.JPG"}));
    EXPECT_EQ(files["rows"], files["folder"]);
    EXPECT_EQ(std::filesystem::file_size(folder / "IMG_TAKEN.JPG"), jpeg(8, 8).size()) << "never replaced";
    EXPECT_EQ(std::filesystem::file_size(folder / "IMG_TAKEN_2.JPG"), whole.size());
}

// A file that cannot be read now (another user's, here) may be a whole photo: it waits for an open
// that can read it.
TEST_F(PhotosTest, AnInterruptedSavesFileThatCannotBeReadStays) {
    // The other user must pass through every folder above the library's, which a private TMPDIR bars.
    folder = testsupport::makeFolderOthersCanEnter("korva-photos");
    ASSERT_FALSE(folder.empty());
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    const std::string temporary = newTemporaryName("IMG_OTHER.JPG");
    write(folder / temporary, jpeg(20, 10));
    std::filesystem::permissions(folder / temporary, std::filesystem::perms::owner_read);
    testsupport::AnotherUser user;
    if (!user.bound()) GTEST_SKIP() << "no other user to be";
    auto opened = AssetIndex::open(folder.string());
    ASSERT_TRUE(user.end());
    ASSERT_TRUE(opened.ok()) << opened.error();
    EXPECT_TRUE(std::filesystem::exists(folder / temporary));
}

TEST_F(PhotosTest, ASettlementStepReadsTheFolderItsIndexHoldsWhateverIsUnderItsName) {
    const Bytes data = jpeg(12, 12);
    std::filesystem::create_directories(folder);
    write(folder / "a.jpg", data);
    auto index = AssetIndex::open(folder.string());
    ASSERT_TRUE(index.ok());
    auto before = (*index)->query({});
    ASSERT_TRUE(before && before->size() == 1u);
    // Another folder swapped in; a photo comes into the one held, now under another name.
    const std::filesystem::path other = folder.string() + "-other", old = folder.string() + "-old";
    std::filesystem::create_directory(other);
    write(other / "b.jpg", data);
    std::filesystem::rename(folder, old);
    std::filesystem::rename(other, folder);
    write(old / "c.jpg", data);
    EXPECT_TRUE((*index)->settleFiles(std::set<std::string>{"a.jpg", "b.jpg"}).ok());
    EXPECT_TRUE((*index)->settleFiles(std::nullopt).ok());
    auto after = (*index)->query({});
    ASSERT_TRUE(after.ok());
    std::map<std::string, std::string> rows;
    for (const auto& row : *after) rows[row.file] = row.identifier;
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows["a.jpg"], before->front().identifier);
    EXPECT_TRUE(rows.count("c.jpg"));
    index->reset();
    std::filesystem::remove_all(old);
}

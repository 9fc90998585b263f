// A save, and a settlement step, while another folder is put under the library's folder's name:
// the photo, its row and whatever a step reads belong to the folder whose index the library holds.
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/new_file.h"

namespace {

// What comes under the name once a photo's temporary file is written: the folder goes to `away`
// and `in` takes its name (an empty new folder where there is none).
struct FolderSwap {
    std::string folder, away, in;
    int done = 0;
};
FolderSwap folderSwap;

void swapFolders() {
    if (folderSwap.done++) return;
    std::rename(folderSwap.folder.c_str(), folderSwap.away.c_str());
    if (folderSwap.in.empty())
        ::mkdir(folderSwap.folder.c_str(), 0700);
    else
        std::rename(folderSwap.in.c_str(), folderSwap.folder.c_str());
}
// Once a photo's temporary file is written; or once the save has its index and reads its source.
void swapBeforePlacing(const std::string& temporary) {
    if (temporary.rfind(".IMG_", 0) == 0) swapFolders();
}
int swapWhileReading(const std::string& path) {
    if (path.ends_with("source.jpg")) swapFolders();
    return 0;
}

// The files an index lists with their stamps, read as another program would; the photos in a
// folder, or the temporary files of saves.
std::set<std::string> rowFilesOf(const std::filesystem::path& dir) {
    std::set<std::string> files;
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_open_v2((dir / AssetIndex::kIndexFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT file FROM assets WHERE file_size > 0", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW) files.insert(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return files;
}
std::set<std::string> photosIn(const std::filesystem::path& dir, bool hidden = false) {
    std::set<std::string> files;
    for (auto& e : std::filesystem::directory_iterator(dir))
        if (const auto name = e.path().filename().string(); hidden ? name.rfind(".IMG_", 0) == 0 : name[0] != '.')
            files.insert(name);
    return files;
}

std::set<std::string> identifiersListedIn(const std::filesystem::path& dir) {
    PHPhotoLibrary::setLibraryDirectory(dir.string());
    const auto listed = PHAsset::fetchAssetsWithOptions(nullptr);
    std::set<std::string> ids;
    for (const auto& asset : listed->assets()) ids.insert(asset->localIdentifier());
    return ids;
}

}  // namespace

TEST_F(PhotosTest, ASaveEndsWithItsRowInTheFolderItBeganInWhateverComesUnderItsName) {
    const std::string first = save(jpeg(12, 12));
    ASSERT_EQ(photosIn(folder).size(), 1u);
    const std::string firstFile = *photosIn(folder).begin();
    // Another folder swapped in, holding a copy under the same name: a deletion in the same change
    // takes the library's file, not the copy.
    const std::filesystem::path old = folder.string() + "-old", other = folder.string() + "-other";
    std::filesystem::create_directory(other);
    std::filesystem::copy_file(folder / firstFile, other / firstFile);
    folderSwap = {folder.string(), old.string(), other.string()};
    setBeforePlacingForTesting(swapBeforePlacing);
    std::string second;
    auto saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        auto request = PHAssetCreationRequest::creationRequestForAsset();
        request->addResourceWithType(PHAssetResourceType::Photo, jpeg(14, 14));
        second = request->placeholderForCreatedAsset()->localIdentifier();
        PHAssetChangeRequest::deleteAssets(PHAsset::fetchAssetsWithLocalIdentifiers({first})->assets());
    });
    EXPECT_TRUE(saved.ok()) << (saved ? "" : saved.error());
    EXPECT_EQ(folderSwap.done, 1);
    EXPECT_EQ(photosIn(old).size(), 1u);
    EXPECT_EQ(rowFilesOf(old), photosIn(old));
    EXPECT_EQ(photosIn(folder), std::set<std::string>{firstFile}) << "the other folder's copy stays";
    EXPECT_EQ(identifiersListedIn(old), std::set<std::string>{second});

    // Moved away and an empty folder made under the name, as `mv lib lib.old; mkdir lib` does.
    const std::filesystem::path older = folder.string() + "-older";
    // This time before the save's file is written, once the save has the index.
    setBeforePlacingForTesting(nullptr);
    const auto source = older.string() + "-source.jpg";
    const Bytes picture = jpeg(10, 10);
    std::ofstream(source, std::ios::binary).write(reinterpret_cast<const char*>(picture.data()), picture.size());
    folderSwap = {old.string(), older.string(), ""};
    setReadFaultForTesting(swapWhileReading);
    std::string third;
    saved = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
        third = PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL(source)
                    ->placeholderForCreatedAsset()
                    ->localIdentifier();
    });
    setReadFaultForTesting(nullptr);
    std::filesystem::remove(source);
    EXPECT_TRUE(saved.ok()) << (saved ? "" : saved.error());
    EXPECT_EQ(folderSwap.done, 1);
    EXPECT_EQ(photosIn(older).size(), 2u);
    EXPECT_EQ(rowFilesOf(older), photosIn(older));
    EXPECT_EQ(photosIn(old), std::set<std::string>{});
    for (const auto& dir : {folder, old, older}) EXPECT_EQ(photosIn(dir, true), std::set<std::string>{}) << dir;
    // Nothing whole is taken for the remains of a save at the next start.
    EXPECT_EQ(identifiersListedIn(older), (std::set<std::string>{second, third}));
    PHPhotoLibrary::setLibraryDirectory("");
    for (const auto& dir : {old, older}) std::filesystem::remove_all(dir);
}

TEST_F(PhotosTest, ASettlementStepReadsTheFolderItsIndexHoldsWhateverIsUnderItsName) {
    const Bytes data = jpeg(12, 12);
    auto write = [&](const std::filesystem::path& path) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
    };
    std::filesystem::create_directories(folder);
    write(folder / "a.jpg");
    auto index = AssetIndex::open(folder.string());
    ASSERT_TRUE(index.ok());
    auto before = (*index)->query({});
    ASSERT_TRUE(before && before->size() == 1u);
    // Another folder swapped in; a photo comes into the one held, now under another name.
    const std::filesystem::path other = folder.string() + "-other", old = folder.string() + "-old";
    std::filesystem::create_directory(other);
    write(other / "b.jpg");
    std::filesystem::rename(folder, old);
    std::filesystem::rename(other, folder);
    write(old / "c.jpg");
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

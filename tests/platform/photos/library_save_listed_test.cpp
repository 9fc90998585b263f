// A save's file that another program's index lists between the file's naming and the save's row.
#include <sqlite3.h>

#include <set>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/runtime/log.h"

namespace {

// The other program's index on the library folder, the identifier it gave the save's file when it
// listed it, and whether it then makes its row say another file is under the name.
std::unique_ptr<AssetIndex> otherProgram;
std::string listedAs;
bool rowOfAnotherFile = false;
void listElsewhere(const std::vector<std::string>& files) {
    if (!otherProgram || files.size() != 1 || !otherProgram->settleFiles(std::set<std::string>{files[0]})) return;
    sqlite3* db = nullptr;
    if (sqlite3_open((otherProgram->folder() + "/" + AssetIndex::kIndexFileName).c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT identifier FROM assets WHERE file = ?", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, files[0].c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW) listedAs = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        if (rowOfAnotherFile)
            sqlite3_exec(db, ("UPDATE assets SET file_inode = file_inode + 1 WHERE file = '" + files[0] + "'").c_str(),
                         nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

}  // namespace

TEST_F(PhotosTest, ASaveWhoseFileAnotherProgramListedFirstTakesThatRow) {
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    auto observer = std::make_shared<ChangeRecorder>();
    library->registerChangeObserver(observer);
    auto opened = AssetIndex::open(library->folder());
    ASSERT_TRUE(opened.ok()) << opened.error();
    otherProgram = std::move(opened.value());
    PHPhotoLibrary::setBeforeIndexingForTesting(listElsewhere);
    struct Unhook {
        ~Unhook() {
            PHPhotoLibrary::setBeforeIndexingForTesting(nullptr);
            otherProgram.reset();
        }
    } unhook;
    for (const bool anotherFile : {false, true}) {
        SCOPED_TRACE(anotherFile ? "the row says another file is under the name" : "the row is of the save's file");
        listedAs.clear();
        rowOfAnotherFile = anotherFile;
        observer->changes.clear();
        LogCapture log;
        std::shared_ptr<PHObjectPlaceholder> placeholder;
        std::string asked;
        auto saved = library->performChangesAndWait([&] {
            auto request = PHAssetCreationRequest::creationRequestForAsset();
            request->addResourceWithType(PHAssetResourceType::Photo, jpeg(20, 10));
            placeholder = request->placeholderForCreatedAsset();
            asked = placeholder->localIdentifier();
        });
        RunLoop::main().runUntilIdle();
        ASSERT_TRUE(saved.ok()) << saved.error();
        ASSERT_FALSE(listedAs.empty()) << "the other program listed the file first";

        // One row for the file, under the identifier the caller and the observers are told.
        const std::string held = placeholder->localIdentifier();
        auto rows = otherProgram->query({});
        ASSERT_TRUE(rows.ok());
        EXPECT_EQ(rows->size(), anotherFile ? 2u : 1u);
        EXPECT_EQ(rows->back().identifier, held);
        ASSERT_EQ(observer->changes.size(), 1u);
        EXPECT_EQ(observer->changes.front()->insertedIdentifiers(), std::vector<std::string>{held});
        if (anotherFile) {
            // Not the save's file: the change goes through the index's repair, under its own identifier.
            EXPECT_EQ(held, asked);
            EXPECT_TRUE(log.contains("reopening"));
        } else {
            // The identifier the other program listed it under, and no word of a fault.
            EXPECT_EQ(held, listedAs);
            EXPECT_NE(held, asked);
            for (const auto& line : log.lines()) EXPECT_NE(line.rfind("error", 0), 0u) << line;
        }
    }
}

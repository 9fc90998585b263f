// The index's journal: a log while the library is open, a rollback journal once it is closed, and
// nothing under the journal's or the log's name that holds an open or a save back.
#include <sqlite3.h>

#include <fstream>

#include "photos_test_support.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/asset_index.h"

namespace {

struct LibraryJournalTest : PhotosTest {
    std::filesystem::path index() const { return folder / AssetIndex::kIndexFileName; }
    std::filesystem::path beside(const char* suffix) const { return index().string() + suffix; }
    // Closes the library once the notices of its changes, which hold it, are delivered.
    void close() {
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        PHPhotoLibrary::setLibraryDirectory("");
    }
    // The file format's journal bytes: 1 and 1 for a rollback journal, 2 and 2 for a log.
    std::pair<int, int> journalBytes() const {
        std::ifstream in(index(), std::ios::binary);
        char header[20] = {};
        in.read(header, sizeof header);
        return {header[18], header[19]};
    }
    // Rows as a plain connection that only reads finds them.
    std::size_t rowsOnDisk() const {
        sqlite3* db = nullptr;
        std::size_t rows = 0;
        if (sqlite3_open_v2(index().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT count(*) FROM assets", -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                rows = std::size_t(sqlite3_column_int64(st, 0));
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return rows;
    }
};

}  // namespace

TEST_F(LibraryJournalTest, AnOpenIndexLogsItsChangesAndAClosedOneKeepsThemWithoutTheLog) {
    std::string first = save(jpeg(10, 10));
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(journalBytes(), std::make_pair(2, 2));
    EXPECT_TRUE(std::filesystem::exists(beside("-wal")));

    close();
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(std::filesystem::exists(beside(suffix))) << suffix << " left beside the closed index";
    EXPECT_EQ(journalBytes(), std::make_pair(1, 1)) << "a closed index opens as one with a rollback journal";
    EXPECT_EQ(rowsOnDisk(), 2u);

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHAsset::fetchAssetsWithLocalIdentifiers({first, second})->count(), 2u);
}

// An index written with a rollback journal throughout (no log ever beside it) keeps its rows and
// identifiers, and takes the log from then on.
TEST_F(LibraryJournalTest, AnIndexMadeWithARollbackJournalKeepsItsRows) {
    std::string first = save(jpeg(10, 10));
    ASSERT_FALSE(first.empty());
    const std::string file =
        std::filesystem::path(PHAsset::fetchAssetsWithLocalIdentifiers({first})->firstObject()->filePath())
            .filename()
            .string();
    close();
    std::filesystem::remove(index());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(index().c_str(), &db), SQLITE_OK);
    const std::string sql =
        "PRAGMA journal_mode=DELETE; CREATE TABLE assets (identifier TEXT PRIMARY KEY, file TEXT NOT NULL UNIQUE,"
        " media_type INTEGER NOT NULL, pixel_width INTEGER NOT NULL, pixel_height INTEGER NOT NULL,"
        " creation_date REAL NOT NULL, modification_date REAL NOT NULL, latitude REAL, longitude REAL,"
        " altitude REAL); INSERT INTO assets VALUES ('OLD-1', '" +
        file + "', 1, 10, 10, 5, 5, NULL, NULL, NULL)";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    ASSERT_EQ(journalBytes(), std::make_pair(1, 1));

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    auto old = PHAsset::fetchAssetsWithLocalIdentifiers({"OLD-1"})->firstObject();
    ASSERT_TRUE(old);
    EXPECT_EQ(old->creationDate(), 5);
    std::string second = save(jpeg(12, 10));
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(journalBytes(), std::make_pair(2, 2));
    close();
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHAsset::fetchAssetsWithLocalIdentifiers({"OLD-1", second})->count(), 2u);
}

// A folder under the journal's or the log's name would fail every open or save; it holds none of
// the index's changes and is moved aside whole (what it holds is someone's), and the index stays
// with its rows.
TEST_F(LibraryJournalTest, FoldersUnderTheJournalsNamesGoAndTheIndexStays) {
    std::string first = save(jpeg(10, 10));
    ASSERT_FALSE(first.empty());
    close();
    for (const char* suffix : {"-wal", "-shm", "-journal"}) std::filesystem::create_directory(beside(suffix));
    std::ofstream(beside("-journal") / "keep.txt") << "keep";

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(PHPhotoLibrary::sharedPhotoLibrary()->openError(), "");
    EXPECT_TRUE(PHAsset::fetchAssetsWithLocalIdentifiers({first})->firstObject()) << "the index was kept";
    EXPECT_FALSE(save(jpeg(12, 10)).empty());
    EXPECT_FALSE(std::filesystem::exists(index().string() + ".corrupt"));
    EXPECT_EQ(PHAsset::fetchAssetsWithOptions(nullptr)->count(), 2u);
    EXPECT_TRUE(std::filesystem::exists(index().string() + "-journal.aside/keep.txt"));
}

// An index set aside while another connection still has it open: that connection closing leaves
// the log of the index that replaced it, whose rows a later open reads.
TEST_F(LibraryJournalTest, ALingeringConnectionToASetAsideIndexLeavesItsSuccessorsLog) {
    close();
    std::filesystem::create_directories(folder);
    auto write = [&](const std::string& name) {
        Bytes photo = jpeg(10, 10);
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(photo.data()), std::streamsize(photo.size()));
    };
    auto record = [](const std::string& identifier, const std::string& file) {
        AssetRecord r;
        r.identifier = identifier;
        r.file = file;
        r.pixelWidth = r.pixelHeight = 10;
        return r;
    };
    write("a.jpg");
    auto lingering = AssetIndex::open(folder.string());
    ASSERT_TRUE(lingering);
    ASSERT_EQ((*lingering)->count(), 1u);
    // Another program leaves the table not of our shape: the next open sets the index aside.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(index().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "DROP TABLE assets; CREATE TABLE assets (identifier TEXT, file TEXT)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    auto successor = AssetIndex::open(folder.string());
    ASSERT_TRUE(successor);
    ASSERT_TRUE(std::filesystem::exists(index().string() + ".corrupt"));
    write("b.jpg");
    ASSERT_TRUE((*successor)->apply({record("B", "b.jpg")}, {}));

    lingering->reset();
    EXPECT_TRUE(std::filesystem::exists(beside("-wal")));
    auto later = AssetIndex::open(folder.string());
    ASSERT_TRUE(later);
    AssetQuery query;
    query.identifiers = {"B"};
    auto found = (*later)->query(query);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->size(), 1u) << "the successor's change was lost with its log";
    later->reset();
    successor->reset();
    for (const char* suffix : {"-wal", "-shm"}) EXPECT_FALSE(std::filesystem::exists(beside(suffix))) << suffix;
}

// SQLite index of the photo library: opening, changes and queries.
#include "platform/photos/asset_index.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/photos/asset_identifier.h"
#include "platform/photos/asset_index_sql.h"
#include "platform/photos/index_journal.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"

namespace {

// How long a change waits for a lock another connection holds before it fails.
constexpr int kBusyTimeoutMs = 2000;

const char* kSchema =
    "CREATE TABLE IF NOT EXISTS assets ("
    " identifier TEXT PRIMARY KEY,"
    " file TEXT NOT NULL UNIQUE,"
    " media_type INTEGER NOT NULL,"
    " pixel_width INTEGER NOT NULL,"
    " pixel_height INTEGER NOT NULL,"
    " creation_date REAL NOT NULL,"
    " modification_date REAL NOT NULL,"
    " latitude REAL, longitude REAL, altitude REAL,"
    " duration REAL NOT NULL DEFAULT 0,"
    " file_size INTEGER, file_time INTEGER, file_inode INTEGER, file_change INTEGER, file_content INTEGER,"
    " file_stamped INTEGER)";

// Columns an older index may lack, with their definitions.
constexpr std::pair<const char*, const char*> kLaterColumns[] = {
    // From before movies: its rows stay, as photos without length.
    {"duration", "duration REAL NOT NULL DEFAULT 0"},
    // From before file stamps: each file is checked once more and stamped.
    {"file_size", "file_size INTEGER"},
    {"file_time", "file_time INTEGER"},
    // From before the inode was part of the stamp: rows keep theirs, completed once from the file.
    {"file_inode", "file_inode INTEGER"},
    {"file_change", "file_change INTEGER"},
    // From before the stamp had a fingerprint: rows keep theirs, completed once from the file.
    {"file_content", "file_content INTEGER"},
    // From before a stamp said when it was taken: rows keep theirs, trusted as they were. The
    // build before this column reads the table as ever and, where it stamps a row anew, leaves the
    // older moment, against which the newer times only look unsure: one more comparison.
    {"file_stamped", "file_stamped INTEGER"},
};

// Conditions that pass and say nothing of the index file: a lock held elsewhere, a full disk, an
// I/O error, memory, a change another connection made meanwhile. Anything else (a damaged file, a table not of our
// shape, rows at odds with each other) is the index's own fault.
bool isDamage(int code) {
    switch (code & 0xFF) {
        case SQLITE_OK:
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_FULL:
        case SQLITE_IOERR:
        case SQLITE_NOMEM:
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_INTERRUPT:
        case SQLITE_ABORT:
        case SQLITE_SCHEMA:
        case SQLITE_PROTOCOL: return false;
        default: return true;
    }
}

Failure sqlFailure(sqlite3* db, const std::string& what) {
    return fail(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// The last part of a folder's path, or the path itself where it has none ("/").
std::string nameOf(const std::string& folder) {
    std::string name = std::filesystem::path(folder).lexically_normal().filename().string();
    if (name.empty()) name = std::filesystem::path(folder).lexically_normal().parent_path().filename().string();
    return name.empty() ? folder : name;
}

}  // namespace

AssetIndex::~AssetIndex() {
    leaveWriteAheadLog(db_);
    sqlite3_close(db_);
    if (folderHandle_ >= 0) ::close(folderHandle_);
}

std::string AssetIndex::pathOf(const AssetRecord& record) const {
    return pathByAppendingComponent(folder_, record.file);
}

std::string AssetIndex::pathInFolder(const std::string& name) const {
    std::string held = pathThroughFolderHandle(folderHandle_, name);
    return held.empty() ? pathByAppendingComponent(folder_, name) : held;
}

bool AssetIndex::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

Failure AssetIndex::failure(const std::string& what) const {
    if (isDamage(sqlite3_errcode(db_))) damaged_ = true;
    return sqlFailure(db_, what);
}

Result<void> AssetIndex::exec(const char* sql) const {
    char* message = nullptr;
    if (int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message); rc != SQLITE_OK) {
        if (isDamage(rc)) damaged_ = true;
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        return fail(text);
    }
    return {};
}

Result<std::unique_ptr<AssetIndex>> AssetIndex::open(const std::string& folder, FolderCreation creation,
                                                     FolderReading reading) {
    // The folder by its own name, once: where it sits is the user's own choice and no news.
    std::error_code error;
    if (creation == FolderCreation::Create) std::filesystem::create_directories(folder, error);
    if (error) return fail("cannot create the folder " + nameOf(folder) + ": " + error.message());
    std::string absence;
    if (!folderIdentityOf(folder, &absence)) return fail("the folder " + nameOf(folder) + " " + absence);
    // The folder is held for as long as the index, which is reached through it: its identity is
    // the folder's that holds the index, and a folder moved away keeps its index's files together.
    const int handle = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat info {};
    if (handle < 0 || ::fstat(handle, &info) != 0) {
        auto failure = fail("cannot open the folder " + nameOf(folder) + ": " + std::strerror(errno));
        if (handle >= 0) ::close(handle);
        return failure;
    }
    const FolderIdentity identity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    std::string path = pathThroughFolderHandle(handle, kIndexFileName);
    const char* vfs = folderHandleVfs();
    if (path.empty()) {
        // Without names through the handle, the folder's resolved path: SQLite refuses a link under
        // the index's own name (one swapped in after the check below) while a folder reached
        // through links, such as a pictures folder on another disk, still opens.
        const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
        if (error) {
            ::close(handle);
            return fail("cannot open the folder " + nameOf(folder) + ": " + error.message());
        }
        path = pathByAppendingComponent(resolved.string(), kIndexFileName);
        vfs = nullptr;
    }
    removeNonFileCompanions(path);
    // A link, a folder or a pipe under the index's name is no index: a link's target (another
    // program's database, or a file it would make) is never written, and a pipe would hold the
    // open for ever.
    if (isTakenByNonFile(path)) {
        Log::error(kPhotosLog, "the library index's name is taken by something other than a file; setting it aside");
        if (auto aside = setAside(path); !aside) return fail(aside.error());
    }
    // The index that opens takes the handle; a failed open lets it go after its connection.
    std::unique_ptr<int, void (*)(int*)> held(new int(handle), [](int* fd) {
        if (*fd >= 0) ::close(*fd);
        delete fd;
    });
    std::string problem;
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(
            path.c_str(), &db,
            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_NOFOLLOW, vfs);
        std::unique_ptr<AssetIndex> index(new AssetIndex(folder, identity, -1, db));
        if (rc != SQLITE_OK) return sqlFailure(db, "cannot open the library index");
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        auto usable = index->exec("PRAGMA synchronous=FULL");
        if (usable && !useWriteAheadLog(db) && isDamage(sqlite3_errcode(db)))
            usable = index->failure("cannot read the library index");
        if (usable) usable = index->exec(kSchema);
        if (usable) usable = index->addMissingColumns();
        if (usable) usable = index->checkIntegrity();
        if (usable) {
            // A repair that cannot be written now (a lock, a full disk) is done at the next open;
            // the index is sound meanwhile.
            // The repair reads the folder held, lent to it; the index that opens keeps it.
            index->folderHandle_ = *held;
            auto repaired = index->repair(reading);
            index->folderHandle_ = -1;
            if (repaired || !index->damaged()) {
                if (!repaired)
                    Log::warning(kPhotosLog, "the library index is not repaired for now: " + repaired.error());
                std::swap(index->folderHandle_, *held);
                return index;
            }
            usable = repaired;
        }
        // A lock held elsewhere, a full disk or an I/O error leave the index as it is: this open
        // fails and a later one may succeed.
        if (!index->damaged()) return fail("cannot open the library index: " + usable.error());
        // The files are the library and the index is derived from them: an index found damaged is
        // set aside and rebuilt from the folder.
        problem = usable.error();
        index.reset();
        Log::error(kPhotosLog, "library index unusable (" + problem + "); rebuilding it from the folder");
        if (auto aside = setAside(path); !aside) return fail(aside.error());
    }
    return fail("cannot open the library index: " + problem);
}

Result<void> AssetIndex::setAside(const std::string& path) {
    auto fm = NSFileManager::defaultManager();
    auto there = [](const std::string& name) {
        struct stat info {};
        return ::lstat(name.c_str(), &info) == 0;
    };
    // The index set aside before goes, one file only: where a folder is under its name (one that
    // was under the index's), it stays whole and this index takes the first free name after it.
    constexpr int kMostAsideNames = 100;
    std::string aside = path + ".corrupt";
    for (int turn = 1; there(aside) && !removeOneFileSaying(aside, kPhotosLog) && turn < kMostAsideNames; ++turn)
        aside = path + ".corrupt-" + std::to_string(turn);
    if (!fm->moveItemAtPath(path, aside)) return fail("cannot set the broken index aside");
    // A journal beside the broken file belongs to it, not to the index that replaces it.
    for (const char* suffix : kIndexCompanionSuffixes)
        if (there(path + suffix)) (void)removeOneFileSaying(path + suffix, kPhotosLog);
    return {};
}

Result<void> AssetIndex::checkIntegrity() const {
    AssetIndexStatement st;
    if (sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &st.s, nullptr) != SQLITE_OK)
        return failure("cannot check the index");
    if (sqlite3_step(st.s) != SQLITE_ROW) return failure("cannot check the index");
    const unsigned char* verdict = sqlite3_column_text(st.s, 0);
    std::string text = verdict ? reinterpret_cast<const char*>(verdict) : "no verdict";
    if (text != "ok") {
        damaged_ = true;
        return fail("damaged: " + text);
    }
    return {};
}

Result<void> AssetIndex::addMissingColumns() {
    for (const auto& [name, definition] : kLaterColumns) {
        AssetIndexStatement st;
        if (sqlite3_prepare_v2(db_, "SELECT name FROM pragma_table_info('assets') WHERE name = ?", -1, &st.s,
                               nullptr) != SQLITE_OK)
            return failure("cannot read the index's columns");
        sqlite3_bind_text(st.s, 1, name, -1, SQLITE_STATIC);
        int rc = sqlite3_step(st.s);
        if (rc == SQLITE_ROW) continue;
        if (rc != SQLITE_DONE) return failure("cannot read the index's columns");
        if (auto added = exec(("ALTER TABLE assets ADD COLUMN " + std::string(definition)).c_str()); !added)
            return added;
    }
    return {};
}

Result<void> AssetIndex::separateDuplicateRows() {
    // The earliest row naming a file keeps it.
    if (auto r = exec("DELETE FROM assets WHERE file IS NOT NULL AND rowid NOT IN "
                      "(SELECT MIN(rowid) FROM assets WHERE file IS NOT NULL GROUP BY file)");
        !r)
        return r;
    if (sqlite3_changes(db_) > 0) Log::warning(kPhotosLog, "dropped index rows that name a file another row names");
    if (auto r = giveRowsIdentifiers(); !r) return r;
    return exec(
        "CREATE UNIQUE INDEX IF NOT EXISTS assets_by_identifier ON assets (identifier);"
        "CREATE UNIQUE INDEX IF NOT EXISTS assets_by_file ON assets (file)");
}

Result<void> AssetIndex::giveRowsIdentifiers() {
    std::vector<std::int64_t> rows;
    {
        // Rows without an identifier, and rows sharing one with an earlier row.
        AssetIndexStatement st;
        if (sqlite3_prepare_v2(db_,
                               "SELECT rowid FROM assets WHERE identifier IS NULL OR rowid NOT IN "
                               "(SELECT MIN(rowid) FROM assets WHERE identifier IS NOT NULL GROUP BY identifier)",
                               -1, &st.s, nullptr) != SQLITE_OK)
            return failure("cannot read the index");
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) rows.push_back(sqlite3_column_int64(st.s, 0));
        if (rc != SQLITE_DONE) return failure("cannot read the index");
    }
    if (rows.empty()) return {};
    AssetIndexStatement update;
    if (sqlite3_prepare_v2(db_, "UPDATE assets SET identifier = ? WHERE rowid = ?", -1, &update.s, nullptr) !=
        SQLITE_OK)
        return failure("cannot repair the index");
    for (std::int64_t row : rows) {
        Log::warning(kPhotosLog, "giving an index row without an identifier of its own a new one");
        std::string identifier = makeAssetIdentifier();
        sqlite3_reset(update.s);
        sqlite3_bind_text(update.s, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(update.s, 2, row);
        if (sqlite3_step(update.s) != SQLITE_DONE) return failure("cannot repair the index");
    }
    return {};
}

Result<void> AssetIndex::apply(const std::vector<AssetRecord>& inserts, const std::vector<std::string>& deletions,
                               RowConflict conflict, std::vector<std::string>* identifiers) {
    std::lock_guard lock(mutex_);
    if (auto r = exec("BEGIN IMMEDIATE"); !r) return r;
    // A full disk or an I/O error may have ended the transaction already; what the rollback says
    // adds nothing to the failure.
    auto rollback = [&](Failure f) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return Result<void>(std::move(f));
    };
    std::vector<std::string> taken;
    {
        AssetIndexStatement ins, del, same;
        // Of a row already naming the file, OR IGNORE keeps the row.
        const std::string insert =
            std::string(conflict == RowConflict::KeepExisting ? "INSERT OR IGNORE" : "INSERT") +
            " INTO assets (identifier, file, media_type, pixel_width, pixel_height, creation_date, "
            "modification_date, latitude, longitude, altitude, duration, file_size, file_time, file_inode, "
            "file_change, file_content, file_stamped) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
        if (sqlite3_prepare_v2(db_, insert.c_str(), -1, &ins.s, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(db_, "DELETE FROM assets WHERE identifier = ?", -1, &del.s, nullptr) != SQLITE_OK)
            return rollback(failure("cannot prepare the change"));
        if (conflict == RowConflict::TakeSameFile &&
            sqlite3_prepare_v2(db_, "SELECT identifier FROM assets WHERE file = ? AND file_inode = ?", -1, &same.s,
                               nullptr) != SQLITE_OK)
            return rollback(failure("cannot prepare the change"));
        // Deletions first, so that a row may be replaced by one for the same file.
        for (const auto& id : deletions) {
            sqlite3_reset(del.s);
            sqlite3_bind_text(del.s, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(del.s) != SQLITE_DONE) return rollback(failure("cannot delete " + id));
        }
        for (const auto& r : inserts) {
            std::string identifier = r.identifier;
            // The row another connection gave the same file is replaced by the save's, under its
            // identifier: whoever was told of the file knows it by that one.
            if (same.s && r.stamp && r.stamp->inode) {
                sqlite3_reset(same.s);
                sqlite3_bind_text(same.s, 1, r.file.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(same.s, 2, static_cast<std::int64_t>(r.stamp->inode->number));
                const int found = sqlite3_step(same.s);
                if (found != SQLITE_ROW && found != SQLITE_DONE) return rollback(failure("cannot read the index"));
                if (found == SQLITE_ROW)
                    if (auto listed = assetIndexText(same.s, 0)) {
                        identifier = std::move(*listed);
                        sqlite3_reset(same.s);
                        sqlite3_reset(del.s);
                        sqlite3_bind_text(del.s, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
                        if (sqlite3_step(del.s) != SQLITE_DONE) return rollback(failure("cannot replace " + r.file));
                    }
            }
            taken.push_back(identifier);
            sqlite3_reset(ins.s);
            sqlite3_bind_text(ins.s, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins.s, 2, r.file.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(ins.s, 3, static_cast<std::int64_t>(r.mediaType));
            sqlite3_bind_int(ins.s, 4, r.pixelWidth);
            sqlite3_bind_int(ins.s, 5, r.pixelHeight);
            sqlite3_bind_double(ins.s, 6, r.creationDate);
            sqlite3_bind_double(ins.s, 7, r.modificationDate);
            if (r.location) {
                sqlite3_bind_double(ins.s, 8, r.location->latitude);
                sqlite3_bind_double(ins.s, 9, r.location->longitude);
                sqlite3_bind_double(ins.s, 10, r.location->altitude);
            } else {
                for (int i = 8; i <= 10; ++i) sqlite3_bind_null(ins.s, i);
            }
            sqlite3_bind_double(ins.s, 11, r.duration);
            bindAssetIndexStamp(ins.s, 12, r.stamp);
            if (sqlite3_step(ins.s) != SQLITE_DONE) return rollback(failure("cannot add " + r.file));
        }
    }
    if (auto r = exec("COMMIT"); !r) return rollback(fail(r.error()));
    if (identifiers) *identifiers = std::move(taken);
    return {};
}

Result<std::vector<AssetRecord>> AssetIndex::query(const AssetQuery& q) const {
    std::string sql =
        "SELECT identifier, file, media_type, pixel_width, pixel_height, creation_date, modification_date, "
        "latitude, longitude, altitude, duration FROM assets WHERE 1";
    if (q.mediaType) sql += " AND media_type = " + std::to_string(static_cast<std::int64_t>(*q.mediaType));
    if (!q.identifiers.empty()) {
        sql += " AND identifier IN (";
        for (std::size_t i = 0; i < q.identifiers.size(); ++i) sql += i ? ",?" : "?";
        sql += ")";
    }
    const char* key = q.sortKey == AssetSortKey::CreationDate ? "creation_date" : "modification_date";
    sql += std::string(" ORDER BY ") + key + (q.ascending ? " ASC" : " DESC") + ", rowid" +
           (q.ascending ? " ASC" : " DESC");
    if (q.limit > 0) sql += " LIMIT " + std::to_string(q.limit);

    std::lock_guard lock(mutex_);
    AssetIndexStatement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) return failure("cannot query");
    for (std::size_t i = 0; i < q.identifiers.size(); ++i)
        sqlite3_bind_text(st.s, int(i + 1), q.identifiers[i].c_str(), -1, SQLITE_TRANSIENT);
    std::vector<AssetRecord> out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        auto identifier = assetIndexText(st.s, 0);
        auto file = assetIndexText(st.s, 1);
        if (!identifier || !file) continue;  // repaired at the next open
        AssetRecord r;
        r.identifier = std::move(*identifier);
        r.file = std::move(*file);
        r.mediaType = static_cast<PHAssetMediaType>(sqlite3_column_int64(st.s, 2));
        r.pixelWidth = sqlite3_column_int(st.s, 3);
        r.pixelHeight = sqlite3_column_int(st.s, 4);
        r.creationDate = sqlite3_column_double(st.s, 5);
        r.modificationDate = sqlite3_column_double(st.s, 6);
        if (sqlite3_column_type(st.s, 7) != SQLITE_NULL)
            r.location = PHAssetLocation{sqlite3_column_double(st.s, 7), sqlite3_column_double(st.s, 8),
                                         sqlite3_column_double(st.s, 9)};
        r.duration = sqlite3_column_double(st.s, 10);
        out.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return failure("cannot read the index");
    return out;
}

std::size_t AssetIndex::count() const {
    auto all = query({});
    return all ? all->size() : 0;
}

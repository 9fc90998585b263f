// SQLite index of the photo library and its repair on open.
#include "platform/photos/asset_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <set>

#include "platform/photos/asset_identifier.h"
#include "platform/photos/index_journal.h"
#include "platform/photos/library_file_facts.h"
#include "platform/photos/movie_file_check.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"

// What an index row says of its file.
struct AssetIndexRow {
    std::string identifier, file;
    std::int64_t kind = 0;
    int pixelWidth = 0, pixelHeight = 0;
    double duration = 0;
    std::optional<FileStamp> stamp;
};

namespace {

const char* kLog = "photos";

// Seconds by which an indexed movie length may differ from its file's.
constexpr double kDurationSlack = 0.1;
// Bounds of a movie row taken on trust: beyond them the row is checked against its file.
constexpr int kLargestMovieSide = 1 << 15;
constexpr double kLongestMovie = 1e6;
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
    " file_size INTEGER, file_time INTEGER)";

// Columns an older index may lack, with their definitions.
constexpr std::pair<const char*, const char*> kLaterColumns[] = {
    // From before movies: its rows stay, as photos without length.
    {"duration", "duration REAL NOT NULL DEFAULT 0"},
    // From before file stamps: each file is checked once more and stamped.
    {"file_size", "file_size INTEGER"},
    {"file_time", "file_time INTEGER"},
};

// What an interrupted atomic write leaves: ".<name>.XXXXXX" beside the file it was writing.
bool isStaleTemporary(const std::string& name) {
    if (name.size() < 9 || name[0] != '.' || name[name.size() - 7] != '.') return false;
    return isLibraryFileName(name.substr(1, name.size() - 8));
}

// A movie row that describes a movie plausibly and whose file still has the stamp recorded when
// the row was written: the file was whole then, and is taken as whole without reading it again.
bool isUnchangedMovie(const AssetIndexRow& row, const std::optional<FileStamp>& stamp) {
    return isLibraryMovieName(row.file) && row.kind == static_cast<std::int64_t>(PHAssetMediaType::Video) &&
           row.pixelWidth > 0 && row.pixelWidth <= kLargestMovieSide && row.pixelHeight > 0 &&
           row.pixelHeight <= kLargestMovieSide && row.duration > 0 && row.duration <= kLongestMovie && row.stamp &&
           stamp && *row.stamp == *stamp;
}

// Whether a row describes its file as the file itself does; lengths agree to within a frame or
// two of rounding.
bool rowAgrees(const AssetIndexRow& row, const FileFacts& file) {
    return row.kind == static_cast<std::int64_t>(file.mediaType) && row.pixelWidth == file.pixelWidth &&
           row.pixelHeight == file.pixelHeight && std::isfinite(row.duration) &&
           std::fabs(row.duration - file.duration) <= kDurationSlack;
}

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

struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

Failure sqlFailure(sqlite3* db, const std::string& what) {
    return fail(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// A text column, none when it holds NULL.
std::optional<std::string> columnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text));
}

// A stamp into two parameters from `first` on; NULL for none.
void bindStamp(sqlite3_stmt* statement, int first, const std::optional<FileStamp>& stamp) {
    if (stamp) {
        sqlite3_bind_int64(statement, first, stamp->size);
        sqlite3_bind_int64(statement, first + 1, stamp->modified);
    } else {
        sqlite3_bind_null(statement, first);
        sqlite3_bind_null(statement, first + 1);
    }
}

// The last part of a folder's path, or the path itself where it has none ("/").
std::string nameOf(const std::string& folder) {
    std::string name = std::filesystem::path(folder).lexically_normal().filename().string();
    if (name.empty()) name = std::filesystem::path(folder).lexically_normal().parent_path().filename().string();
    return name.empty() ? folder : name;
}

double fileDate(const std::string& path) {
    auto attrs = NSFileManager::defaultManager()->attributesOfItemAtPath(path);
    return attrs ? (*attrs)[NSFileModificationDate].dateValue() : 0.0;
}

}  // namespace

AssetIndex::~AssetIndex() {
    leaveWriteAheadLog(db_);
    sqlite3_close(db_);
}

std::string AssetIndex::pathOf(const AssetRecord& record) const {
    return pathByAppendingComponent(folder_, record.file);
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

Result<std::unique_ptr<AssetIndex>> AssetIndex::open(const std::string& folder) {
    // The folder by its own name, once: where it sits is the user's own choice and no news.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return fail("cannot create the folder " + nameOf(folder) + ": " + error.message());
    // The index is opened through the folder's resolved path, so that SQLite can refuse a link
    // under the index's own name (one swapped in after the check below) while a folder reached
    // through links, such as a pictures folder on another disk, still opens.
    const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
    if (error) return fail("cannot open the folder " + nameOf(folder) + ": " + error.message());
    std::string path = pathByAppendingComponent(resolved.string(), kIndexFileName);
    removeNonFileCompanions(path);
    // A link, a folder or a pipe under the index's name is no index: a link's target (another
    // program's database, or a file it would make) is never written, and a pipe would hold the
    // open for ever.
    if (isTakenByNonFile(path)) {
        Log::error(kLog, "the library index's name is taken by something other than a file; setting it aside");
        if (auto aside = setAside(path); !aside) return fail(aside.error());
    }
    std::string problem;
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(
            path.c_str(), &db,
            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_NOFOLLOW, nullptr);
        std::unique_ptr<AssetIndex> index(new AssetIndex(folder, db));
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
            auto repaired = index->repair();
            if (repaired || !index->damaged()) {
                if (!repaired) Log::warning(kLog, "the library index is not repaired for now: " + repaired.error());
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
        Log::error(kLog, "library index unusable (" + problem + "); rebuilding it from the folder");
        if (auto aside = setAside(path); !aside) return fail(aside.error());
    }
    return fail("cannot open the library index: " + problem);
}

Result<void> AssetIndex::setAside(const std::string& path) {
    auto fm = NSFileManager::defaultManager();
    std::string aside = path + ".corrupt";
    (void)fm->removeItemAtPath(aside);
    if (!fm->moveItemAtPath(path, aside)) return fail("cannot set the broken index aside");
    // A journal beside the broken file belongs to it, not to the index that replaces it.
    for (const char* suffix : kIndexCompanionSuffixes) (void)fm->removeItemAtPath(path + suffix);
    return {};
}

Result<void> AssetIndex::checkIntegrity() const {
    Statement st;
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
        Statement st;
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

Result<void> AssetIndex::repair() {
    auto fm = NSFileManager::defaultManager();
    auto names = fm->contentsOfDirectoryAtPath(folder_);
    if (!names) return fail(names.error());
    std::set<std::string> files;
    for (const auto& name : *names) {
        if (isStaleTemporary(name)) {
            Log::warning(kLog, "removing the remains of an interrupted save: " + name);
            (void)fm->removeItemAtPath(pathByAppendingComponent(folder_, name));
        } else if (isLibraryFileName(name)) {
            files.insert(name);
        }
    }

    if (auto r = separateDuplicateRows(); !r) return r;

    auto rows = readRows();
    if (!rows) return fail(rows.error());
    // Rows whose file is gone, or is no regular file, or a movie cut short, leave the list (a cut
    // file stays in the folder); a photo cut short keeps its row. A row whose kind, size or length
    // disagrees with its file is described afresh from the file, and one whose file's stamp
    // changed is stamped anew.
    std::vector<std::string> dropped;
    std::vector<AssetRecord> redescribed;
    std::set<std::string> indexed;
    for (const AssetIndexRow& row : *rows) {
        const std::string path = pathByAppendingComponent(folder_, row.file);
        if (!files.count(row.file)) {
            Log::warning(kLog, "dropping the index row of a missing file: " + row.identifier);
            dropped.push_back(row.identifier);
            continue;
        }
        indexed.insert(row.file);
        const auto stamp = fileStampOf(path);
        if (isUnchangedMovie(row, stamp)) continue;
        FileCheckFault fault{};
        auto facts = checkLibraryFile(path, fault);
        if (!facts && fault == FileCheckFault::Unreadable) {
            // A read that fails now says nothing of the file: its row and identifier stay.
            Log::warning(kLog, "cannot check " + row.file + " now (" + facts.error() + "); its row stays");
        } else if (!facts && stamp && isLibraryImageName(row.file)) {
            // A photo cut short (a copy broken off, a disk that lost its end) is still the user's:
            // its row and identifier stay, readers find it unreadable, and once its file is whole
            // again it is shown under the same identifier.
            Log::warning(kLog, row.file + " is not whole (" + facts.error() + "); its row stays");
        } else if (!facts) {
            Log::warning(kLog, "not listing " + row.file + ": " + facts.error());
            dropped.push_back(row.identifier);
        } else if (!rowAgrees(row, *facts) || row.stamp != stamp) {
            if (!rowAgrees(row, *facts))
                Log::warning(kLog, "the index row of " + row.file + " disagrees with the file; described afresh");
            AssetRecord fresh;
            fresh.identifier = row.identifier;
            fresh.mediaType = facts->mediaType;
            fresh.pixelWidth = facts->pixelWidth;
            fresh.pixelHeight = facts->pixelHeight;
            fresh.duration = facts->duration;
            fresh.stamp = stamp;
            redescribed.push_back(std::move(fresh));
        }
    }
    if (auto r = updateDescriptions(redescribed); !r) return r;
    std::vector<AssetRecord> found;
    for (const auto& name : files) {
        if (indexed.count(name)) continue;
        std::string path = pathByAppendingComponent(folder_, name);
        FileCheckFault fault{};
        auto facts = checkLibraryFile(path, fault);
        if (!facts) {
            Log::warning(kLog, "not listing " + name + ": " + facts.error());
            continue;
        }
        // A movie's check read all of it; an image is decoded once to be sure of its pixels.
        Result<AssetRecord> record = AssetRecord{};
        if (facts->mediaType == PHAssetMediaType::Video) {
            record->mediaType = facts->mediaType;
            record->pixelWidth = facts->pixelWidth;
            record->pixelHeight = facts->pixelHeight;
            record->duration = facts->duration;
        } else {
            record = describeFile(path, true);
        }
        if (!record) {
            Log::warning(kLog, "not indexing " + name + ": " + record.error());
            continue;
        }
        record->identifier = makeAssetIdentifier();
        record->file = name;
        record->creationDate = record->modificationDate = fileDate(path);
        record->stamp = fileStampOf(path);
        found.push_back(*record);
    }
    if (dropped.empty() && found.empty()) return {};
    return apply(found, dropped);
}

Result<std::vector<AssetIndexRow>> AssetIndex::readRows() const {
    // Read in full before any file is checked, so that no read transaction stays open meanwhile.
    Statement st;
    if (sqlite3_prepare_v2(db_,
                           "SELECT identifier, file, media_type, pixel_width, pixel_height, duration, file_size, "
                           "file_time FROM assets",
                           -1, &st.s, nullptr) != SQLITE_OK)
        return failure("cannot read the index");
    std::vector<AssetIndexRow> rows;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        auto id = columnText(st.s, 0);
        auto file = columnText(st.s, 1);
        if (!id || !file) continue;
        AssetIndexRow row;
        row.identifier = std::move(*id);
        row.file = std::move(*file);
        row.kind = sqlite3_column_int64(st.s, 2);
        row.pixelWidth = sqlite3_column_int(st.s, 3);
        row.pixelHeight = sqlite3_column_int(st.s, 4);
        row.duration = sqlite3_column_double(st.s, 5);
        if (sqlite3_column_type(st.s, 6) == SQLITE_INTEGER && sqlite3_column_type(st.s, 7) == SQLITE_INTEGER)
            row.stamp = FileStamp{sqlite3_column_int64(st.s, 6), sqlite3_column_int64(st.s, 7)};
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) return failure("cannot read the index");
    return rows;
}

Result<void> AssetIndex::updateDescriptions(const std::vector<AssetRecord>& records) {
    if (records.empty()) return {};
    Statement update;
    if (sqlite3_prepare_v2(db_,
                           "UPDATE assets SET media_type = ?, pixel_width = ?, pixel_height = ?, duration = ?, "
                           "file_size = ?, file_time = ? WHERE identifier = ?",
                           -1, &update.s, nullptr) != SQLITE_OK)
        return failure("cannot repair the index");
    for (const auto& r : records) {
        sqlite3_reset(update.s);
        sqlite3_bind_int64(update.s, 1, static_cast<std::int64_t>(r.mediaType));
        sqlite3_bind_int(update.s, 2, r.pixelWidth);
        sqlite3_bind_int(update.s, 3, r.pixelHeight);
        sqlite3_bind_double(update.s, 4, r.duration);
        bindStamp(update.s, 5, r.stamp);
        sqlite3_bind_text(update.s, 7, r.identifier.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(update.s) != SQLITE_DONE) return failure("cannot repair the index");
    }
    return {};
}

Result<void> AssetIndex::separateDuplicateRows() {
    // The earliest row naming a file keeps it.
    if (auto r = exec("DELETE FROM assets WHERE file IS NOT NULL AND rowid NOT IN "
                      "(SELECT MIN(rowid) FROM assets WHERE file IS NOT NULL GROUP BY file)");
        !r)
        return r;
    if (sqlite3_changes(db_) > 0) Log::warning(kLog, "dropped index rows that name a file another row names");
    if (auto r = giveRowsIdentifiers(); !r) return r;
    return exec(
        "CREATE UNIQUE INDEX IF NOT EXISTS assets_by_identifier ON assets (identifier);"
        "CREATE UNIQUE INDEX IF NOT EXISTS assets_by_file ON assets (file)");
}

Result<void> AssetIndex::giveRowsIdentifiers() {
    std::vector<std::int64_t> rows;
    {
        // Rows without an identifier, and rows sharing one with an earlier row.
        Statement st;
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
    Statement update;
    if (sqlite3_prepare_v2(db_, "UPDATE assets SET identifier = ? WHERE rowid = ?", -1, &update.s, nullptr) !=
        SQLITE_OK)
        return failure("cannot repair the index");
    for (std::int64_t row : rows) {
        Log::warning(kLog, "giving an index row without an identifier of its own a new one");
        std::string identifier = makeAssetIdentifier();
        sqlite3_reset(update.s);
        sqlite3_bind_text(update.s, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(update.s, 2, row);
        if (sqlite3_step(update.s) != SQLITE_DONE) return failure("cannot repair the index");
    }
    return {};
}

Result<void> AssetIndex::apply(const std::vector<AssetRecord>& inserts, const std::vector<std::string>& deletions) {
    std::lock_guard lock(mutex_);
    if (auto r = exec("BEGIN IMMEDIATE"); !r) return r;
    // A full disk or an I/O error may have ended the transaction already; what the rollback says
    // adds nothing to the failure.
    auto rollback = [&](Failure f) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return Result<void>(std::move(f));
    };
    {
        Statement ins, del;
        if (sqlite3_prepare_v2(db_,
                               "INSERT INTO assets (identifier, file, media_type, pixel_width, pixel_height, "
                               "creation_date, modification_date, latitude, longitude, altitude, duration, "
                               "file_size, file_time) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                               -1, &ins.s, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(db_, "DELETE FROM assets WHERE identifier = ?", -1, &del.s, nullptr) != SQLITE_OK)
            return rollback(failure("cannot prepare the change"));
        // Deletions first, so that a row may be replaced by one for the same file.
        for (const auto& id : deletions) {
            sqlite3_reset(del.s);
            sqlite3_bind_text(del.s, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(del.s) != SQLITE_DONE) return rollback(failure("cannot delete " + id));
        }
        for (const auto& r : inserts) {
            sqlite3_reset(ins.s);
            sqlite3_bind_text(ins.s, 1, r.identifier.c_str(), -1, SQLITE_TRANSIENT);
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
            bindStamp(ins.s, 12, r.stamp);
            if (sqlite3_step(ins.s) != SQLITE_DONE) return rollback(failure("cannot add " + r.file));
        }
    }
    if (auto r = exec("COMMIT"); !r) return rollback(fail(r.error()));
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
    Statement st;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) return failure("cannot query");
    for (std::size_t i = 0; i < q.identifiers.size(); ++i)
        sqlite3_bind_text(st.s, int(i + 1), q.identifiers[i].c_str(), -1, SQLITE_TRANSIENT);
    std::vector<AssetRecord> out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        auto identifier = columnText(st.s, 0);
        auto file = columnText(st.s, 1);
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

// SQLite index of the photo library and its repair on open.
#include "platform/photos/asset_index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <set>

#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/asset_identifier.h"
#include "platform/photos/image_file_check.h"
#include "platform/photos/movie_file_check.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"

namespace {

const char* kLog = "photos";

// Seconds by which an indexed movie length may differ from its file's.
constexpr double kDurationSlack = 0.1;

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
    " duration REAL NOT NULL DEFAULT 0)";

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// What an interrupted atomic write leaves: ".<name>.XXXXXX" beside the file it was writing.
bool isStaleTemporary(const std::string& name) {
    if (name.size() < 9 || name[0] != '.' || name[name.size() - 7] != '.') return false;
    return isLibraryFileName(name.substr(1, name.size() - 8));
}

// Images by their head and tail, movies by reading their container to the end.
Result<void> checkFileIsWhole(const std::string& path) {
    // Anything but a regular file (a pipe would block every reader) is never listed.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return fail("not a regular file");
    if (!isLibraryMovieName(path)) return checkImageFileIsWhole(path);
    if (auto movie = describeMovieFile(path); !movie) return fail(movie.error());
    return {};
}

// A regular file that is there but cannot be read now (no permission, a failing disk): its photo
// stays listed, unlike one that is cut short or is not a file at all.
bool isUnreadableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno != ENOENT;
    char byte = 0;
    const bool reads = info.st_size == 0 || ::pread(fd, &byte, 1, 0) >= 0;
    ::close(fd);
    return !reads;
}

struct Statement {
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

Failure sqlFailure(sqlite3* db, const std::string& what) {
    return fail(what + ": " + sqlite3_errmsg(db));
}

// A text column, none when it holds NULL.
std::optional<std::string> columnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text));
}

double fileDate(const std::string& path) {
    auto attrs = NSFileManager::defaultManager()->attributesOfItemAtPath(path);
    return attrs ? (*attrs)[NSFileModificationDate].dateValue() : 0.0;
}

}  // namespace

bool isLibraryImageName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    std::string l = lower(name);
    return endsWith(l, ".jpg") || endsWith(l, ".jpeg") || endsWith(l, ".png");
}

bool isLibraryMovieName(const std::string& name) {
    std::string l = lower(name);
    return endsWith(l, ".mp4") || endsWith(l, ".m4v") || endsWith(l, ".mov");
}

bool isLibraryFileName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    return isLibraryImageName(name) || isLibraryMovieName(name);
}

AssetIndex::~AssetIndex() {
    sqlite3_close(db_);
}

std::string AssetIndex::pathOf(const AssetRecord& record) const {
    return pathByAppendingComponent(folder_, record.file);
}

Result<void> AssetIndex::exec(const char* sql) const {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        return fail(text);
    }
    return {};
}

Result<std::unique_ptr<AssetIndex>> AssetIndex::open(const std::string& folder) {
    if (auto r = NSFileManager::defaultManager()->createDirectoryAtPath(folder, true); !r)
        return fail("cannot create the library folder " + folder + ": " + r.error());
    std::string path = pathByAppendingComponent(folder, kIndexFileName);
    std::string problem;
    for (int attempt = 0; attempt < 2; ++attempt) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                                 nullptr);
        std::unique_ptr<AssetIndex> index(new AssetIndex(folder, db));
        if (rc != SQLITE_OK) return sqlFailure(db, "cannot open the library index");
        sqlite3_busy_timeout(db, 2000);
        auto usable = index->exec("PRAGMA synchronous=FULL");
        if (usable) usable = index->exec(kSchema);
        if (usable) usable = index->addDurationColumn();
        if (usable) usable = index->checkIntegrity();
        if (usable) usable = index->repair();
        if (usable) return index;
        // The files are the library and the index is derived from them: an index that does not
        // open, check or repair cleanly is set aside and rebuilt from the folder.
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
    for (const char* suffix : {"-journal", "-wal", "-shm"}) (void)fm->removeItemAtPath(path + suffix);
    return {};
}

Result<void> AssetIndex::checkIntegrity() const {
    Statement st;
    if (sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &st.s, nullptr) != SQLITE_OK)
        return sqlFailure(db_, "cannot check the index");
    if (sqlite3_step(st.s) != SQLITE_ROW) return sqlFailure(db_, "cannot check the index");
    const unsigned char* verdict = sqlite3_column_text(st.s, 0);
    std::string text = verdict ? reinterpret_cast<const char*>(verdict) : "no verdict";
    if (text != "ok") return fail("damaged: " + text);
    return {};
}

Result<void> AssetIndex::addDurationColumn() {
    Statement st;
    if (sqlite3_prepare_v2(db_, "SELECT name FROM pragma_table_info('assets') WHERE name = 'duration'", -1, &st.s,
                           nullptr) != SQLITE_OK)
        return sqlFailure(db_, "cannot read the index's columns");
    int rc = sqlite3_step(st.s);
    if (rc == SQLITE_ROW) return {};
    if (rc != SQLITE_DONE) return sqlFailure(db_, "cannot read the index's columns");
    // An index from before movies: its rows stay, as photos without length.
    return exec("ALTER TABLE assets ADD COLUMN duration REAL NOT NULL DEFAULT 0");
}

Result<AssetRecord> AssetIndex::describeFile(const std::string& path, bool verifyPixels) {
    if (isLibraryMovieName(path)) {
        auto movie = describeMovieFile(path);
        if (!movie) return fail(movie.error());
        AssetRecord r;
        r.mediaType = PHAssetMediaType::Video;
        r.pixelWidth = movie->pixelWidth;
        r.pixelHeight = movie->pixelHeight;
        r.duration = movie->duration;
        return r;
    }
    auto bytes = readLibraryFile(path);
    if (!bytes) return fail(bytes.error());
    auto info = readImageInfo(*bytes);
    if (!info) return fail(info.error());
    if (verifyPixels) {
        // The smallest decode still reads every compressed byte, so a truncated file fails here.
        ImageDecodeOptions options;
        options.minWidth = options.minHeight = 1;
        if (auto decoded = decodeImage(*bytes, options); !decoded) return fail(decoded.error());
    }
    AssetRecord r;
    r.mediaType = PHAssetMediaType::Image;
    bool turned = info->orientation >= 5 && info->orientation <= 8;
    r.pixelWidth = turned ? info->height : info->width;
    r.pixelHeight = turned ? info->width : info->height;
    if (auto props = readImageProperties(*bytes)) {
        const Value& gps = (*props)["{GPS}"];
        if (gps.isDictionary() && gps["Latitude"].isNumber() && gps["Longitude"].isNumber()) {
            PHAssetLocation loc;
            loc.latitude = gps["Latitude"].doubleValue() * (gps["LatitudeRef"].stringValue() == "S" ? -1 : 1);
            loc.longitude = gps["Longitude"].doubleValue() * (gps["LongitudeRef"].stringValue() == "W" ? -1 : 1);
            loc.altitude = gps["Altitude"].doubleValue() * (gps["AltitudeRef"].integerValue() == 1 ? -1 : 1);
            r.location = loc;
        }
    }
    return r;
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

    if (auto r = giveRowsIdentifiers(); !r) return r;

    // Rows whose file is gone or cut short leave the list; a cut file stays in the folder. A row
    // whose kind or length disagrees with its file is described afresh from the file.
    std::vector<std::string> dropped;
    std::vector<AssetRecord> redescribed;
    std::set<std::string> indexed;
    {
        Statement st;
        if (sqlite3_prepare_v2(db_, "SELECT identifier, file, media_type, duration FROM assets", -1, &st.s, nullptr) !=
            SQLITE_OK)
            return sqlFailure(db_, "cannot read the index");
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
            auto id = columnText(st.s, 0);
            auto file = columnText(st.s, 1);
            if (!id || !file) continue;
            const std::int64_t kind = sqlite3_column_int64(st.s, 2);
            const double duration = sqlite3_column_double(st.s, 3);
            const std::string path = pathByAppendingComponent(folder_, *file);
            if (!files.count(*file)) {
                Log::warning(kLog, "dropping the index row of a missing file: " + *id);
                dropped.push_back(*id);
            } else if (auto whole = checkFileIsWhole(path); !whole) {
                if (isUnreadableFile(path)) {
                    Log::warning(kLog, "listing " + *file + ", which cannot be read now: " + whole.error());
                } else {
                    Log::warning(kLog, "not listing " + *file + ": " + whole.error());
                    dropped.push_back(*id);
                }
                indexed.insert(*file);
            } else {
                indexed.insert(*file);
                if (auto fresh = redescribedRow(path, kind, duration)) {
                    Log::warning(kLog, "the index row of " + *file + " disagrees with the file; described afresh");
                    fresh->identifier = *id;
                    redescribed.push_back(std::move(*fresh));
                }
            }
        }
        if (rc != SQLITE_DONE) return sqlFailure(db_, "cannot read the index");
    }
    if (auto r = updateDescriptions(redescribed); !r) return r;
    std::vector<AssetRecord> found;
    for (const auto& name : files) {
        if (indexed.count(name)) continue;
        std::string path = pathByAppendingComponent(folder_, name);
        if (auto whole = checkFileIsWhole(path); !whole) {
            Log::warning(kLog, "not listing " + name + ": " + whole.error());
            continue;
        }
        auto record = describeFile(path, true);
        if (!record) {
            Log::warning(kLog, "not indexing " + name + ": " + record.error());
            continue;
        }
        record->identifier = makeAssetIdentifier();
        record->file = name;
        record->creationDate = record->modificationDate = fileDate(path);
        found.push_back(*record);
    }
    if (dropped.empty() && found.empty()) return {};
    return apply(found, dropped);
}

std::optional<AssetRecord> AssetIndex::redescribedRow(const std::string& path, std::int64_t kind, double duration) {
    const bool movie = isLibraryMovieName(path);
    const auto expected = static_cast<std::int64_t>(movie ? PHAssetMediaType::Video : PHAssetMediaType::Image);
    bool agrees = kind == expected && std::isfinite(duration);
    std::optional<AssetRecord> described;
    if (agrees && !movie) agrees = duration == 0;
    if (agrees && movie) {
        // Lengths agree to within a frame or two of rounding.
        described = describeFile(path, false).valueOr(AssetRecord{});
        agrees = std::fabs(described->duration - duration) <= kDurationSlack;
    }
    if (agrees) return std::nullopt;
    if (!described) described = describeFile(path, false).valueOr(AssetRecord{});
    described->mediaType = movie ? PHAssetMediaType::Video : PHAssetMediaType::Image;
    if (!movie) described->duration = 0;
    return described;
}

Result<void> AssetIndex::updateDescriptions(const std::vector<AssetRecord>& records) {
    if (records.empty()) return {};
    Statement update;
    if (sqlite3_prepare_v2(db_,
                           "UPDATE assets SET media_type = ?, pixel_width = ?, pixel_height = ?, duration = ? "
                           "WHERE identifier = ?",
                           -1, &update.s, nullptr) != SQLITE_OK)
        return sqlFailure(db_, "cannot repair the index");
    for (const auto& r : records) {
        sqlite3_reset(update.s);
        sqlite3_bind_int64(update.s, 1, static_cast<std::int64_t>(r.mediaType));
        sqlite3_bind_int(update.s, 2, r.pixelWidth);
        sqlite3_bind_int(update.s, 3, r.pixelHeight);
        sqlite3_bind_double(update.s, 4, r.duration);
        sqlite3_bind_text(update.s, 5, r.identifier.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(update.s) != SQLITE_DONE) return sqlFailure(db_, "cannot repair the index");
    }
    return {};
}

Result<void> AssetIndex::giveRowsIdentifiers() {
    std::vector<std::int64_t> rows;
    {
        Statement st;
        if (sqlite3_prepare_v2(db_, "SELECT rowid FROM assets WHERE identifier IS NULL", -1, &st.s, nullptr) != SQLITE_OK)
            return sqlFailure(db_, "cannot read the index");
        while (sqlite3_step(st.s) == SQLITE_ROW) rows.push_back(sqlite3_column_int64(st.s, 0));
    }
    if (rows.empty()) return {};
    Statement update;
    if (sqlite3_prepare_v2(db_, "UPDATE assets SET identifier = ? WHERE rowid = ?", -1, &update.s, nullptr) != SQLITE_OK)
        return sqlFailure(db_, "cannot repair the index");
    for (std::int64_t row : rows) {
        Log::warning(kLog, "giving an index row without an identifier a new one");
        std::string identifier = makeAssetIdentifier();
        sqlite3_reset(update.s);
        sqlite3_bind_text(update.s, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(update.s, 2, row);
        if (sqlite3_step(update.s) != SQLITE_DONE) return sqlFailure(db_, "cannot repair the index");
    }
    return {};
}

Result<void> AssetIndex::apply(const std::vector<AssetRecord>& inserts, const std::vector<std::string>& deletions) {
    std::lock_guard lock(mutex_);
    if (auto r = exec("BEGIN IMMEDIATE"); !r) return r;
    auto rollback = [&](Failure f) {
        (void)exec("ROLLBACK");
        return Result<void>(std::move(f));
    };
    {
        Statement ins, del;
        if (sqlite3_prepare_v2(db_,
                               "INSERT INTO assets (identifier, file, media_type, pixel_width, pixel_height, "
                               "creation_date, modification_date, latitude, longitude, altitude, duration) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                               -1, &ins.s, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(db_, "DELETE FROM assets WHERE identifier = ?", -1, &del.s, nullptr) != SQLITE_OK)
            return rollback(sqlFailure(db_, "cannot prepare the change"));
        // Deletions first, so that a row may be replaced by one for the same file.
        for (const auto& id : deletions) {
            sqlite3_reset(del.s);
            sqlite3_bind_text(del.s, 1, id.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(del.s) != SQLITE_DONE) return rollback(sqlFailure(db_, "cannot delete " + id));
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
            if (sqlite3_step(ins.s) != SQLITE_DONE) return rollback(sqlFailure(db_, "cannot add " + r.file));
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
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) return sqlFailure(db_, "cannot query");
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
    if (rc != SQLITE_DONE) return sqlFailure(db_, "cannot read the index");
    return out;
}

std::size_t AssetIndex::count() const {
    auto all = query({});
    return all ? all->size() : 0;
}

// Which temporary files in the library folder are the program's own to settle at an open.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>

#include "platform/photos/asset_index.h"
#include "platform/photos/asset_index_sql.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"
#include "platform/storage/temporary_name.h"

namespace {

// Facts of the library kept beside its rows, one a row. A table of its own: an index without it
// (made before it was) gains it, and a build that knows nothing of it reads and writes the rows
// as before.
constexpr const char* kFactsTable = "CREATE TABLE IF NOT EXISTS library_facts (name TEXT PRIMARY KEY, value)";
// Nanoseconds since 1970 when the library was first opened by a build that names its temporaries
// in the program's own shape.
constexpr const char* kOwnTemporariesSince = "own_temporaries_since";
// A temporary of the earlier shape changed this close to that moment (nanoseconds) may have been
// another program's copy under way then: file times may be a second or two coarse, and a copy
// writes in bursts.
constexpr std::int64_t kEarlierShapeQuiet = 10'000'000'000;

std::int64_t nowNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

std::optional<std::int64_t> AssetIndex::ownTemporariesSince() {
    // Read without touching the index where it is known; a missing or foreign table is no damage.
    auto known = [&]() -> std::optional<std::int64_t> {
        AssetIndexStatement st;
        if (sqlite3_prepare_v2(db_, "SELECT value FROM library_facts WHERE name = ?", -1, &st.s, nullptr) != SQLITE_OK)
            return std::nullopt;
        sqlite3_bind_text(st.s, 1, kOwnTemporariesSince, -1, SQLITE_STATIC);
        if (sqlite3_step(st.s) != SQLITE_ROW || sqlite3_column_type(st.s, 0) != SQLITE_INTEGER) return std::nullopt;
        return sqlite3_column_int64(st.s, 0);
    };
    if (auto since = known()) return since;
    // The first open by this build: now. Where another connection recorded its moment first, that
    // one stays.
    AssetIndexStatement insert;
    if (!exec(kFactsTable) || sqlite3_prepare_v2(db_, "INSERT OR IGNORE INTO library_facts (name, value) VALUES (?, ?)",
                                                 -1, &insert.s, nullptr) != SQLITE_OK) {
        Log::info(kPhotosLog, "cannot record in the index when its temporaries took their own names");
        return std::nullopt;
    }
    sqlite3_bind_text(insert.s, 1, kOwnTemporariesSince, -1, SQLITE_STATIC);
    sqlite3_bind_int64(insert.s, 2, nowNanoseconds());
    if (sqlite3_step(insert.s) != SQLITE_DONE) {
        Log::info(kPhotosLog, std::string("cannot record in the index when its temporaries took their own names: ") +
                                  sqlite3_errmsg(db_));
        return std::nullopt;
    }
    return known();
}

std::optional<std::string> AssetIndex::leftTemporaryTarget(const std::string& entry,
                                                           std::optional<std::int64_t> since) const {
    if (auto own = ownTemporaryTarget(entry)) return isLibraryFileName(*own) ? own : std::nullopt;
    // Of the earlier shape, only what was last changed well before this build first opened the
    // library: an earlier build's remains then, never a copy another program is still making (the
    // inode's change time, which a copy's putting back of the file's times moves too).
    auto earlier = earlierTemporaryTarget(entry);
    if (!earlier || !isLibraryFileName(*earlier) || !since) return std::nullopt;
    struct stat info {};
    if (::fstatat(folderHandle_, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    const std::int64_t changed = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    if (changed > *since - kEarlierShapeQuiet) return std::nullopt;
    return earlier;
}

// The index brought in line with its folder: the whole folder when the index opens, and the files
// another program changed while it is open.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/photos/asset_identifier.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/asset_index_sql.h"
#include "platform/photos/library_file_facts.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/new_file.h"
#include "platform/storage/owned_descriptor.h"
#include "platform/storage/temporary_name.h"

namespace {

// Seconds by which an indexed movie length may differ from its file's.
constexpr double kDurationSlack = 0.1;
// Bounds of a movie row taken on trust: beyond them the row is checked against its file.
constexpr int kLargestMovieSide = 1 << 15;
constexpr double kLongestMovie = 1e6;
// Names an interrupted save's whole file tries in turn before it is left as it is.
constexpr int kMostKeptNames = 10000;

// A movie row that describes a movie plausibly: with a stamp its file still has, the file was whole
// when the row was written, and is taken as whole without reading it again.
bool isPlausibleMovie(const AssetIndexRow& row) {
    return isLibraryMovieName(row.file) && row.kind == static_cast<std::int64_t>(PHAssetMediaType::Video) &&
           row.pixelWidth > 0 && row.pixelWidth <= kLargestMovieSide && row.pixelHeight > 0 &&
           row.pixelHeight <= kLargestMovieSide && row.duration > 0 && row.duration <= kLongestMovie;
}

// Whether a row describes its file as the file itself does; lengths agree to within a frame or
// two of rounding.
bool rowAgrees(const AssetIndexRow& row, const FileFacts& file) {
    return row.kind == static_cast<std::int64_t>(file.mediaType) && row.pixelWidth == file.pixelWidth &&
           row.pixelHeight == file.pixelHeight && std::isfinite(row.duration) &&
           std::fabs(row.duration - file.duration) <= kDurationSlack;
}

double fileDate(const std::string& path) {
    auto attrs = NSFileManager::defaultManager()->attributesOfItemAtPath(path);
    return attrs ? (*attrs)[NSFileModificationDate].dateValue() : 0.0;
}

// A replaced file's new date: its own where that is later than the old one, else the old one moved
// on by the least step, so that whoever keeps a picture by its date (the thumbnails) knows it is out
// of date and never finds one of an earlier content under it (a file cut and then put back whole
// within one step of a coarse clock would otherwise take back the date of its first picture).
double replacedDate(const std::string& path, double before) {
    const double date = fileDate(path);
    return date > before ? date : std::nextafter(before, INFINITY);
}

// The library file name whose temporary `entry` is, where `entry` is a save's temporary of the
// program's own shape. The earlier shape, ".<name>.XXXXXX", is never the program's to settle: copy
// and sync programs write under it, and a copy stalled for any length of time (a stopped process,
// a machine asleep, a slow link) cannot be told by its times from an earlier build's remains.
std::optional<std::string> leftTemporaryTarget(const std::string& entry) {
    auto own = ownTemporaryTarget(entry);
    return own && isLibraryFileName(*own) ? own : std::nullopt;
}

}  // namespace

Result<void> AssetIndex::repair(FolderReading reading) {
    if (reading == FolderReading::InSteps) return separateDuplicateRows();
    auto fm = NSFileManager::defaultManager();
    // The folder held, whatever is under its name now; so too below.
    auto names = fm->contentsOfDirectoryAtPath(pathInFolder(""));
    if (!names) return fail(names.error());
    std::set<std::string> files;
    for (const auto& name : *names) {
        if (auto target = leftTemporaryTarget(name)) {
            if (auto kept = settleLeftTemporary(name, *target)) files.insert(*kept);
        } else if (isLibraryFileName(name)) {
            files.insert(name);
        }
    }

    if (auto r = separateDuplicateRows(); !r) return r;

    auto rows = readRows();
    if (!rows) return fail(rows.error());
    return reconcile(files, *rows, RowDates::Kept);
}

std::optional<std::string> AssetIndex::settleLeftTemporary(const std::string& temporary, const std::string& target) {
    OwnedDescriptor claim;
    switch (claimLeftTemporary(folderHandle_, temporary, claim)) {
        case LeftTemporary::BeingWritten:
            Log::info(kPhotosLog, "leaving " + temporary + " to the save writing it");
            return std::nullopt;
        case LeftTemporary::Gone: return std::nullopt;
        case LeftTemporary::LeftOver: break;
    }
    // A save cut off once its file was whole (flushed, not yet named): the file is kept under the
    // first name free of those the save would have taken. Where one of them is this file already
    // (a second name the save made before it was cut off), the temporary name alone goes.
    FileCheckFault fault{};
    if (auto whole = checkLibraryFile(pathInFolder(temporary), fault); !whole) {
        if (fault == FileCheckFault::Unreadable) {
            // A read that fails now says nothing of the file: the next open looks again.
            Log::warning(kPhotosLog, "cannot check " + temporary + " now (" + whole.error() + "); it stays");
            return std::nullopt;
        }
        // Never a folder's tree: what is no file under the name stays, and the log says so.
        const int error = removeOneFile(folderHandle_, temporary);
        if (error == 0)
            Log::warning(kPhotosLog, "removed the remains of an interrupted save: " + temporary);
        else
            Log::warning(kPhotosLog, "cannot remove the remains of an interrupted save " + temporary + " (" +
                                         std::strerror(error) + "); it stays");
        return std::nullopt;
    }
    struct stat left {};
    if (::fstatat(folderHandle_, temporary.c_str(), &left, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    for (int turn = 0; turn < kMostKeptNames; ++turn) {
        const std::string name = libraryFileNameInTurn(target, turn);
        const int error = placeWithoutReplacing(folderHandle_, temporary, name);
        if (error == 0) {
            Log::warning(kPhotosLog, "keeping the whole file of an interrupted save as " + name);
            return name;
        }
        if (error != EEXIST) {
            Log::warning(kPhotosLog,
                         "cannot keep " + temporary + " as " + name + " now (" + std::strerror(error) + "); it stays");
            return std::nullopt;
        }
        struct stat named {};
        if (::fstatat(folderHandle_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == left.st_dev &&
            named.st_ino == left.st_ino) {
            (void)removeOneFile(folderHandle_, temporary);
            return name;
        }
    }
    Log::warning(kPhotosLog, "no free name to keep " + temporary + " under; it stays");
    return std::nullopt;
}

Result<void> AssetIndex::settleFiles(const std::optional<std::set<std::string>>& names) {
    std::set<std::string> files;
    if (names) {
        for (const auto& name : *names) {
            std::error_code error;
            // Whatever is there under the name, as a listing would show it: the check says what it is.
            if (isLibraryFileName(name) &&
                std::filesystem::symlink_status(pathInFolder(name), error).type() !=
                    std::filesystem::file_type::not_found &&
                !error)
                files.insert(name);
        }
    } else {
        auto listed = libraryFiles();
        if (!listed) return fail(listed.error());
        files = std::move(*listed);
    }
    auto rows = readRows(names ? &*names : nullptr);
    if (!rows) return fail(rows.error());
    return reconcile(files, *rows, RowDates::FromFile);
}

Result<std::set<std::string>> AssetIndex::libraryFiles() const {
    // The folder held, whatever is under its name now.
    auto listed = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(pathInFolder(""));
    if (!listed) return fail(listed.error());
    std::set<std::string> files;
    for (const auto& name : *listed)
        if (isLibraryFileName(name)) files.insert(name);
    return files;
}

Result<void> AssetIndex::reconcile(const std::set<std::string>& files, const std::vector<AssetIndexRow>& rows,
                                   RowDates dates) {
    // Rows whose file is gone, or is no regular file, or a movie cut short, leave the list (a cut
    // file stays in the folder); a photo cut short keeps its row. A row whose kind, size or length
    // disagrees with its file, or whose file is another or was written since (its content's
    // fingerprint tells a rewrite in place that kept its size and times), is described afresh from
    // the file; one whose file only changed otherwise (a permission, a link) is stamped anew.
    std::vector<std::string> dropped;
    std::vector<AssetRecord> redescribed, restamped;
    std::set<std::string> indexed;
    // At an open the rows are repaired; while open, another program's change is news, not a fault.
    auto note = [dates](const std::string& text) {
        if (dates == RowDates::Kept)
            Log::warning(kPhotosLog, text);
        else
            Log::info(kPhotosLog, text);
    };
    for (const AssetIndexRow& row : rows) {
        const std::string path = pathInFolder(row.file);
        if (!files.count(row.file)) {
            note("dropping the index row of a missing file: " + row.identifier);
            dropped.push_back(row.identifier);
            continue;
        }
        indexed.insert(row.file);
        auto stamp = fileStampOf(path);
        StampChange change = stampChange(row.stamp, stamp);
        auto stampAgain = [&](std::optional<FileStamp> now) {
            stamp = std::move(now);
            change = stampChange(row.stamp, stamp);
        };
        // A file that stayed keeps its row's fingerprint. One that may have been rewritten since
        // (its inode's change time moved: a permission, a link, or a rewrite in place whose times
        // were set back; or its row's stamp was taken within the step of its times, which a
        // rewrite then need not move), or whose row has none yet, has its own read: a photo's by
        // its check below, which reads its head and tail anyway, a movie's here.
        const bool stayed = change == StampChange::None || change == StampChange::Completed;
        if (stamp && row.stamp && row.stamp->content && stayed) {
            stamp->content = row.stamp->content;
        } else if (stamp && isLibraryMovieName(row.file)) {
            stampAgain(contentStampOf(path));
        }
        // The row as it is, with the file's stamp: what a file whose content stayed is given.
        AssetRecord kept;
        kept.identifier = row.identifier;
        kept.mediaType = static_cast<PHAssetMediaType>(row.kind);
        kept.pixelWidth = row.pixelWidth;
        kept.pixelHeight = row.pixelHeight;
        kept.duration = row.duration;
        kept.stamp = stamp;
        // A movie that stayed, or whose fingerprint shows that only its permission or links
        // changed, is taken as whole without reading it through.
        const bool fingerprinted = row.stamp && row.stamp->content && stamp && stamp->content;
        if (isPlausibleMovie(row) && (change == StampChange::None || change == StampChange::Completed ||
                                      (change == StampChange::Attributes && fingerprinted))) {
            if (change != StampChange::None) restamped.push_back(std::move(kept));
            continue;
        }
        FileCheckFault fault{};
        auto facts = checkLibraryFile(path, fault);
        if (facts && facts->stamp) {
            stampAgain(facts->stamp);
            kept.stamp = stamp;
        }
        if (!facts && fault == FileCheckFault::Unreadable) {
            // A read that fails now says nothing of the file: its row and identifier stay.
            Log::warning(kPhotosLog, "cannot check " + row.file + " now (" + facts.error() + "); its row stays");
        } else if (!facts && stamp && isLibraryImageName(row.file)) {
            // A photo cut short (a copy broken off, a disk that lost its end) is still the user's:
            // its row and identifier stay, readers find it unreadable, and once its file is whole
            // again it is shown under the same identifier. One cut while the library is open is
            // dated anew, so that a picture kept of it is not shown as if it were still there.
            Log::warning(kPhotosLog, row.file + " is not whole (" + facts.error() + "); its row stays");
            if (change != StampChange::Content) {
                if (change != StampChange::None) restamped.push_back(std::move(kept));
            } else if (dates == RowDates::FromFile) {
                kept.modificationDate = replacedDate(path, row.modificationDate);
                redescribed.push_back(std::move(kept));
            }
        } else if (!facts) {
            Log::warning(kPhotosLog, "not listing " + row.file + ": " + facts.error());
            dropped.push_back(row.identifier);
        } else if (!rowAgrees(row, *facts)) {
            note("the index row of " + row.file + " disagrees with the file; described afresh");
            AssetRecord fresh = kept;
            fresh.mediaType = facts->mediaType;
            fresh.pixelWidth = facts->pixelWidth;
            fresh.pixelHeight = facts->pixelHeight;
            fresh.duration = facts->duration;
            fresh.modificationDate = dates == RowDates::FromFile ? replacedDate(path, row.modificationDate) : 0;
            redescribed.push_back(std::move(fresh));
        } else if (change == StampChange::Content) {
            kept.modificationDate = dates == RowDates::FromFile ? replacedDate(path, row.modificationDate) : 0;
            redescribed.push_back(std::move(kept));
        } else if (change != StampChange::None) {
            // Described as before and still the same file: a permission, a link or a rename is
            // no news, and its dates stay.
            restamped.push_back(std::move(kept));
        }
    }
    if (auto r = updateDescriptions(redescribed, dates); !r) return r;
    if (auto r = updateDescriptions(restamped, RowDates::Kept); !r) return r;
    std::vector<AssetRecord> found;
    for (const auto& name : files) {
        if (indexed.count(name)) continue;
        std::string path = pathInFolder(name);
        FileCheckFault fault{};
        auto facts = checkLibraryFile(path, fault);
        if (!facts) {
            Log::warning(kPhotosLog, "not listing " + name + ": " + facts.error());
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
            Log::warning(kPhotosLog, "not indexing " + name + ": " + record.error());
            continue;
        }
        record->identifier = makeAssetIdentifier();
        record->file = name;
        record->creationDate = record->modificationDate = fileDate(path);
        // A photo's stamp is the one its check took with the fingerprint of what it read; a movie's
        // fingerprint is read on its own.
        record->stamp = facts->stamp ? facts->stamp : contentStampOf(path);
        found.push_back(*record);
    }
    if (dropped.empty() && found.empty()) return {};
    // Another connection on the folder may have listed a file first: its row stays.
    return apply(found, dropped, RowConflict::KeepExisting);
}

Result<std::vector<AssetIndexRow>> AssetIndex::readRows(const std::set<std::string>* files) const {
    // Read in full before any file is checked, so that no read transaction stays open meanwhile.
    AssetIndexStatement st;
    const std::string sql =
        std::string(
            "SELECT identifier, file, media_type, pixel_width, pixel_height, duration, "
            "file_size, file_time, file_inode, file_change, file_content, file_stamped, modification_date "
            "FROM assets") +
        (files ? " WHERE file = ?" : "");
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.s, nullptr) != SQLITE_OK) return failure("cannot read the index");
    std::vector<AssetIndexRow> rows;
    auto readAll = [&] {
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
            auto id = assetIndexText(st.s, 0);
            auto file = assetIndexText(st.s, 1);
            if (!id || !file) continue;
            AssetIndexRow row;
            row.identifier = std::move(*id);
            row.file = std::move(*file);
            row.kind = sqlite3_column_int64(st.s, 2);
            row.pixelWidth = sqlite3_column_int(st.s, 3);
            row.pixelHeight = sqlite3_column_int(st.s, 4);
            row.duration = sqlite3_column_double(st.s, 5);
            row.stamp = assetIndexStamp(st.s, 6);
            row.modificationDate = sqlite3_column_double(st.s, 12);
            rows.push_back(std::move(row));
        }
        return rc == SQLITE_DONE;
    };
    if (!files && !readAll()) return failure("cannot read the index");
    // Of named files, one lookup each: a few files of a large library are settled at a time.
    if (files)
        for (const auto& name : *files) {
            sqlite3_reset(st.s);
            sqlite3_bind_text(st.s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            if (!readAll()) return failure("cannot read the index");
        }
    return rows;
}

Result<void> AssetIndex::updateDescriptions(const std::vector<AssetRecord>& records, RowDates dates) {
    if (records.empty()) return {};
    std::lock_guard lock(mutex_);
    // One transaction: a library's stamps completed at its first open are one write, not one each.
    if (auto r = exec("BEGIN IMMEDIATE"); !r) return r;
    auto rollback = [&](Failure f) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return Result<void>(std::move(f));
    };
    AssetIndexStatement update;
    if (sqlite3_prepare_v2(
            db_,
            "UPDATE assets SET media_type = ?, pixel_width = ?, pixel_height = ?, duration = ?, "
            "file_size = ?, file_time = ?, file_inode = ?, file_change = ?, file_content = ?, file_stamped = ?, "
            "modification_date = COALESCE(?, modification_date) "
            "WHERE identifier = ?",
            -1, &update.s, nullptr) != SQLITE_OK)
        return rollback(failure("cannot repair the index"));
    for (const auto& r : records) {
        sqlite3_reset(update.s);
        sqlite3_bind_int64(update.s, 1, static_cast<std::int64_t>(r.mediaType));
        sqlite3_bind_int(update.s, 2, r.pixelWidth);
        sqlite3_bind_int(update.s, 3, r.pixelHeight);
        sqlite3_bind_double(update.s, 4, r.duration);
        bindAssetIndexStamp(update.s, 5, r.stamp);
        if (dates == RowDates::FromFile)
            sqlite3_bind_double(update.s, 11, r.modificationDate);
        else
            sqlite3_bind_null(update.s, 11);
        sqlite3_bind_text(update.s, 12, r.identifier.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(update.s) != SQLITE_DONE) return rollback(failure("cannot repair the index"));
    }
    if (auto r = exec("COMMIT"); !r) return rollback(fail(r.error()));
    return {};
}

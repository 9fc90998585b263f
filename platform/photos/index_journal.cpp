// Write-ahead log of the library index, on while open and off when closed.
#include "platform/photos/index_journal.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/runtime/log.h"
#include "platform/storage/file_removal.h"

namespace {

// Whether the pragma leaves the connection in the wanted journal mode.
bool setJournalMode(sqlite3* db, const char* pragma, const char* wanted) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, pragma, -1, &statement, nullptr) != SQLITE_OK) return false;
    bool set = false;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* mode = sqlite3_column_text(statement, 0);
        set = mode && std::strcmp(reinterpret_cast<const char*>(mode), wanted) == 0;
    }
    // Finalizing keeps the step's error as the connection's.
    sqlite3_finalize(statement);
    return set;
}

constexpr const char kHandlePrefix[] = "/proc/self/fd/";

sqlite3_vfs* baseVfs() {
    static sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
    return base;
}

int fullPathnameAsGiven(sqlite3_vfs*, const char* name, int size, char* out) {
    if (std::strncmp(name, kHandlePrefix, sizeof kHandlePrefix - 1) != 0)
        return baseVfs()->xFullPathname(baseVfs(), name, size, out);
    const std::size_t length = std::strlen(name);
    if (length + 1 > static_cast<std::size_t>(size)) return SQLITE_CANTOPEN;
    std::memcpy(out, name, length + 1);
    return SQLITE_OK;
}

// A folder under a companion's name holds none of the index's changes, but what it holds is
// someone's: it is moved aside whole, under the first free name of "<path>.aside", "<path>-1.aside"…
void moveFolderAside(const std::string& path) {
    constexpr int kMostAsideNames = 100;
    for (int turn = 0; turn < kMostAsideNames; ++turn) {
        const std::string aside = path + (turn == 0 ? "" : "-" + std::to_string(turn)) + ".aside";
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            Log::error("photos", "a folder was under the name " + path + "; moved aside whole to " + aside);
            return;
        }
        if (errno != EEXIST) {
            Log::error("photos", "a folder is under the name " + path + " and cannot be moved aside (" +
                                     std::strerror(errno) + "); it stays");
            return;
        }
    }
    Log::error("photos", "a folder is under the name " + path + " and no name is free to move it aside to; it stays");
}

}  // namespace

std::string pathThroughFolderHandle(int folderHandle, const std::string& name) {
    if (folderHandle < 0) return {};
    const std::string folder = kHandlePrefix + std::to_string(folderHandle);
    // Only where the name reaches the folder held open.
    struct stat byName {
    }, byHandle{};
    if (::stat(folder.c_str(), &byName) != 0 || ::fstat(folderHandle, &byHandle) != 0 ||
        byName.st_dev != byHandle.st_dev || byName.st_ino != byHandle.st_ino)
        return {};
    return folder + "/" + name;
}

const char* folderHandleVfs() {
    static std::once_flag registered;
    static sqlite3_vfs vfs;
    std::call_once(registered, [] {
        // SQLite's own file system in all but how it completes a name.
        vfs = *baseVfs();
        vfs.pNext = nullptr;
        vfs.zName = "korva-folder-handle";
        vfs.xFullPathname = fullPathnameAsGiven;
        sqlite3_vfs_register(&vfs, 0);
    });
    return vfs.zName;
}

bool useWriteAheadLog(sqlite3* db) {
    if (setJournalMode(db, "PRAGMA journal_mode=WAL", "wal")) return true;
    Log::warning("photos", std::string("the library index keeps its rollback journal: ") + sqlite3_errmsg(db));
    return false;
}

void leaveWriteAheadLog(sqlite3* db) {
    if (!db) return;
    // An index set aside under this connection: the log and shared memory under its names now
    // belong to the index that replaced it, and stay.
    int moved = 0;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved) {
        int persist = 1;
        sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
        return;
    }
    sqlite3_busy_timeout(db, 0);
    (void)setJournalMode(db, "PRAGMA journal_mode=DELETE", "delete");
}

bool isTakenByNonFile(const std::string& path) {
    // The name itself, not what a link there points at: a link is never taken for the file.
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

void removeNonFileCompanions(const std::string& indexPath) {
    for (const char* suffix : kIndexCompanionSuffixes) {
        const std::string path = indexPath + suffix;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) continue;
        if (S_ISDIR(info.st_mode)) {
            moveFolderAside(path);
            continue;
        }
        // One entry: a folder put under the name since the look above stays, and the log says so.
        Log::error("photos", "removing something other than a file (a link, a pipe) under the name " + path);
        (void)removeOneFileSaying(path, "photos");
    }
}

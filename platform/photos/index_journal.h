// How the library index journals its changes. While a library is open its index writes ahead into
// a log (one flush a commit instead of four); a closed index is left with a rollback journal, as
// an index always was, so that it opens for reading where no log can be made (a read-only folder).
// The index is reached through its folder held open, so that a folder moved away (or replaced
// under its name) still has its log moved in and removed when the index closes.
#pragma once

#include <string>

struct sqlite3;

// Names of the files SQLite keeps beside a database: its rollback journal, its log and the log's
// shared memory.
inline constexpr const char* kIndexCompanionSuffixes[] = {"-journal", "-wal", "-shm"};

// Turns the log on. False, with the connection's error, when the index stays with its rollback
// journal (a folder or disk where the log cannot be made, a lock held elsewhere, a damaged file);
// the rollback journal then serves, with more flushes a change.
bool useWriteAheadLog(sqlite3* db);

// Moves the log's pages into the index and turns the log off, removing it and its shared memory;
// without waiting for a lock another connection holds (the log then stays for the last one out).
// Once the index was set aside under the connection, the files under the log's names are another
// index's and are left alone.
void leaveWriteAheadLog(sqlite3* db);

// Something other than a regular file (a symbolic link, whatever it points at, a folder, a pipe,
// a device) under the name.
bool isTakenByNonFile(const std::string& path);

// A link, a folder or a pipe under the name of the index's journal, log or shared memory holds
// none of its changes (and would fail every open): a link or a pipe goes (a link's target is left
// as it is), a folder is moved aside whole ("<name>.aside"); nothing takes a folder's contents.
void removeNonFileCompanions(const std::string& indexPath);

// A name inside a folder held open (by `folderHandle`), which stays inside that folder wherever the
// folder is moved; empty where the system gives no such names.
std::string pathThroughFolderHandle(int folderHandle, const std::string& name);
// The SQLite file system that opens such a name as it is (SQLite's own resolves it to the folder's
// path at the time, which another folder may take later); it opens every other name as SQLite's does.
const char* folderHandleVfs();

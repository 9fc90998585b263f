// The photo library's index: one SQLite table of assets beside the image and movie files.
//
// The folder is the truth and the index is derived from it. Crash safety: files are written
// (atomically) before their rows, rows are written in one transaction per change, and open()
// repairs what a crash or damage can leave: an index that fails to open, fails its integrity
// check or cannot be repaired is set aside and rebuilt from the folder; rows without an identifier
// of their own get one, and rows naming a file an earlier row names go; rows whose file is missing
// or is a movie cut short are dropped (a cut file stays in the folder, unlisted), while a photo
// cut short keeps its row and identifier (its readers find it unreadable); rows whose kind, size or
// length disagrees with their file are described afresh from it (a movie is read through only
// when its size, time or head and tail differ from the recorded ones); whole image files without a
// row are indexed; and the temporary files of an interrupted atomic write are removed, except a
// whole one, which takes the first name free of those its save would have taken and is indexed
// (or goes, where one of them is that file already); one a save under way holds, here or in
// another program, is left to the save, and one that cannot be read now to the next open. Only
// temporaries of the program's own name shape are its own: a file of the earlier shape, which copy
// programs use for a copy under way, is never removed, renamed or indexed, however old (an earlier
// build's remains of that shape stay for it or the user to settle; a `library_facts` table an
// earlier build kept in the index stays as it is). A removal takes one file or nothing. While
// the library is open, the files another program changes are settled by the same rules
// (settleFiles), except that a photo cut short in place is dated anew, so that whoever shows it
// reads it again. A link under the index's name is set aside and one under its journal's, log's or
// shared memory's is removed: no link there is followed, nor its target written. Only the index's
// own faults set it aside: a lock another connection holds, a full disk or an I/O error fail the
// one open or change and keep the file. Thread-safe (one connection behind a lock).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/photos/library_file_facts.h"
#include "platform/photos/ph_types.h"
#include "platform/runtime/result.h"

struct sqlite3;
struct AssetIndexRow;

struct AssetRecord {
    std::string identifier;
    std::string file;  // name inside the library folder
    PHAssetMediaType mediaType = PHAssetMediaType::Image;
    int pixelWidth = 0, pixelHeight = 0;
    double creationDate = 0, modificationDate = 0;  // seconds since 2001-01-01 UTC
    std::optional<PHAssetLocation> location;
    double duration = 0;             // seconds; 0 for photos
    std::optional<FileStamp> stamp;  // none: not known, the file is checked at the next open
};

enum class AssetSortKey { CreationDate, ModificationDate };

// What an insert does where a row already names its file: fail the change, keep that row (another
// connection listed the file first), or, for a save, take that row where it is of the same file (by
// its inode: another connection listed the save's file between its naming and its row): the row
// keeps its identifier and takes the save's description. A row of another file fails the change.
enum class RowConflict { Fail, KeepExisting, TakeSameFile };

// Whether an open makes the folder where none is: a start does; a library that lost its folder
// while it ran waits for one to be there again.
enum class FolderCreation { Create, MustExist };

// Whether an open brings the index in line with the whole folder before it returns (a start), or
// leaves the folder's files to settleFiles, a few at a time (a folder that came under the library's
// name while it ran, which a save must not wait for).
enum class FolderReading { AtOpen, InSteps };

struct AssetQuery {
    std::optional<PHAssetMediaType> mediaType;
    std::vector<std::string> identifiers;  // empty: all
    AssetSortKey sortKey = AssetSortKey::CreationDate;
    bool ascending = true;
    std::size_t limit = 0;  // 0: no limit
};

class AssetIndex {
public:
    static constexpr const char* kIndexFileName = ".korva-library.sqlite";

    ~AssetIndex();
    // Opens (creating) the index in the folder and repairs it against the files there (or only its
    // own rows, the files being left to settleFiles); makes the folder too unless it must exist
    // already. The index is reached through the folder it was opened in wherever that folder goes,
    // so that closing it leaves no log beside it after the folder was moved away.
    static Result<std::unique_ptr<AssetIndex>> open(const std::string& folder,
                                                    FolderCreation creation = FolderCreation::Create,
                                                    FolderReading reading = FolderReading::AtOpen);

    const std::string& folder() const { return folder_; }
    // The folder the index was opened in: the folder's name may come to hold another one.
    const FolderIdentity& folderIdentity() const { return identity_; }
    std::string pathOf(const AssetRecord& record) const;
    // The folder the index holds open (a descriptor for the *at calls; -1: none), and a name in it
    // as a path that reaches that folder wherever it is now (by the folder's name where the system
    // gives no such paths). Both are good while the index is open: what is written or looked at
    // through them ends in the folder whose index has the rows.
    int folderHandle() const { return folderHandle_; }
    std::string pathInFolder(const std::string& name) const;

    // One transaction: all inserts and deletions happen, or none. A failure that is not damage
    // leaves the index usable for the next change. `identifiers`, where given, is set to the
    // identifier each insert's row has once the change is made (that of the row it took, or its own).
    Result<void> apply(const std::vector<AssetRecord>& inserts, const std::vector<std::string>& deletions,
                       RowConflict conflict = RowConflict::Fail, std::vector<std::string>* identifiers = nullptr);
    // Brings the rows of the named files (none given: of every file and row) in line with the
    // folder after another program changed them, as an open's repair does: files that came are
    // listed, rows of files that went are dropped, and a row whose file changed is described
    // afresh with the file's date as its modification date. Temporary files are left alone.
    Result<void> settleFiles(const std::optional<std::set<std::string>>& names);
    // The photos and movies in the folder held, by name; temporary files of saves are not among
    // them (a save under way in another program may own them).
    Result<std::set<std::string>> libraryFiles() const;
    Result<std::vector<AssetRecord>> query(const AssetQuery& query) const;
    std::size_t count() const;
    // Whether a failure was the index's own (a damaged file, a table not of our shape, rows at odds
    // with the folder) rather than a passing condition: the change then goes through a reopen,
    // whose repair settles the rows and which sets a damaged file aside.
    bool damaged() const { return damaged_; }
    // Whether the connection can only read: the file or its disk could not be written when it
    // opened. It stays so when they become writable again; only a new open can write.
    bool readOnly() const;

    // Reads an image file's size, type and GPS position, or a movie's size and length; fails for
    // files that do not decode.
    static Result<AssetRecord> describeFile(const std::string& path, bool verifyPixels);

private:
    AssetIndex(std::string folder, FolderIdentity identity, int folderHandle, sqlite3* db)
        : folder_(std::move(folder)), identity_(identity), folderHandle_(folderHandle), db_(db) {}
    static Result<void> setAside(const std::string& path);
    // The connection's last error, noting damage.
    Failure failure(const std::string& what) const;
    Result<void> exec(const char* sql) const;
    Result<void> checkIntegrity() const;
    // Columns that came after the first index (movie lengths, file stamps), added to an older one.
    Result<void> addMissingColumns();
    // The rows among themselves, then (reading AtOpen) against the files.
    Result<void> repair(FolderReading reading);
    // How a file described afresh is dated: as before (an open), or by the file (a change seen).
    enum class RowDates { Kept, FromFile };
    // The rows against the files present among those considered, all in the folder held: the heart
    // of a repair.
    Result<void> reconcile(const std::set<std::string>& files, const std::vector<AssetIndexRow>& rows, RowDates dates);
    // A temporary file of a save in the folder, of the name `target`: left to a save still writing
    // it; else its file, where whole, kept under a name of its own (the one it is kept under), and
    // removed where not.
    std::optional<std::string> settleLeftTemporary(const std::string& temporary, const std::string& target);
    // Rows that share a file or an identifier (an index made elsewhere need not forbid them): the
    // earliest row naming a file keeps it and later ones go; a later row sharing an identifier gets
    // one of its own, so that a deletion by identifier never takes two files. Unique indexes keep
    // it so from then on.
    Result<void> separateDuplicateRows();
    Result<void> giveRowsIdentifiers();
    // Every row, or the rows of the named files.
    Result<std::vector<AssetIndexRow>> readRows(const std::set<std::string>* files = nullptr) const;
    Result<void> updateDescriptions(const std::vector<AssetRecord>& records, RowDates dates);

    std::string folder_;
    FolderIdentity identity_;
    // The folder the index was opened in, held open for as long as the connection (-1: none).
    int folderHandle_;
    sqlite3* db_;
    mutable std::mutex mutex_;
    mutable std::atomic<bool> damaged_{false};
};

// File names the library indexes (by extension, case-insensitive): images, movies, either.
bool isLibraryImageName(const std::string& name);
bool isLibraryMovieName(const std::string& name);
bool isLibraryFileName(const std::string& name);
// The name a new file takes in turn where the names before it are taken: `first` itself, then
// "IMG_X_1.JPG", "IMG_X_2.JPG"… for "IMG_X.JPG".
std::string libraryFileNameInTurn(const std::string& first, int turn);

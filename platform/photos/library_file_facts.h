// What the library learns of one of its files: the stamp it records with the file's row, and the
// facts its check finds (kind, displayed size, length).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/photos/image_file_check.h"
#include "platform/photos/ph_types.h"
#include "platform/runtime/result.h"

// A file's size and modification time (nanoseconds since 1970), and which file it is: its inode
// number and the inode's change time, which the file's own program cannot set back. Recorded with
// its row: a movie whose stamp has not changed since is taken as whole when the library opens,
// without reading it, and another file put under the name is told from the one recorded even where
// its size and time are the same (a copy that keeps the times, a clock of one-second steps). The
// device is left out: a folder's files are on the folder's, whose number may change between mounts.
// The row also keeps a fingerprint of the file's head and tail, the parts a rewrite of the same
// size in place cannot leave alike (the header the description reads, the end of the picture):
// where only the inode's change time moved, it tells a permission or a link from such a rewrite.
// A file's times move in steps (a clock tick; a second or two on some file systems): a stamp taken
// within the step of its file's latest time is unsure, since a change later in the same step leaves
// every time as it was. Such a stamp is trusted only once the content's fingerprint is compared.
struct FileStamp {
    struct Inode {
        std::uint64_t number = 0;
        std::int64_t changed = 0;
        bool operator==(const Inode&) const = default;
    };
    std::int64_t size = 0;
    std::int64_t modified = 0;
    std::optional<Inode> inode;  // none in a stamp recorded before inodes were
    // None where the file was not read (or could not be), or in a stamp recorded before
    // fingerprints were.
    std::optional<std::uint64_t> content;
    // When the stamp was taken, by the wall clock (nanoseconds since 1970); 0 where not known (a
    // stamp recorded before this was), which is trusted as before.
    std::int64_t taken = 0;
    bool operator==(const FileStamp&) const = default;
    // Whether the file's modification or inode change time is within its step of when the stamp
    // was taken (or after it): two seconds where both are whole seconds (a file system that keeps
    // seconds only, or FAT's two), else the kernel's clock tick.
    bool unsure() const;
};
// None for a path that is not a regular file. Only looks at the file, without its fingerprint.
std::optional<FileStamp> fileStampOf(const std::string& path);
// The stamp with the fingerprint of the file's content, as a row records it: the file is opened
// and its head and tail read. Without a fingerprint where the file cannot be read now.
std::optional<FileStamp> contentStampOf(const std::string& path);
// Tests that open a library again at once stand for an open long after: stamps are taken as if the
// wall clock were this much later (0: as it is).
void setStampClockLeadForTesting(std::int64_t nanoseconds);

// How a file stands to the stamp recorded with its row.
enum class StampChange {
    None,
    // Recorded before inodes were, with the same size and time, or before fingerprints were, with
    // the same inode unchanged: taken as the same file, its stamp completed once. So is an unsure
    // stamp whose fingerprint the file's still has: it is taken again.
    Completed,
    // The same inode with the same size and time, changed otherwise: a permission, a link made or
    // removed elsewhere, a rename. Its content is taken as the same where its fingerprint (if both
    // stamps have one) is, and its check describes it as before.
    Attributes,
    // Another size or time, another file under the name, another fingerprint (a rewrite in place
    // whose times were set back), or no stamp recorded: described afresh.
    Content,
};
// Fingerprints are compared where both stamps have one: a stamp only looked at (fileStampOf) says
// nothing of the content, so that a change of its inode's change time alone is Attributes until
// the file's fingerprint is read, as is an unsure recorded stamp that is otherwise the same.
StampChange stampChange(const std::optional<FileStamp>& recorded, const std::optional<FileStamp>& now);

// Which folder is under a name: another one made under the same name is another folder.
struct FolderIdentity {
    std::uint64_t device = 0, inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};
// None where no folder is under the name (links followed), or none can be reached there; `absence`
// then says which, after the folder's name: "is not there", "cannot be reached: Permission denied".
std::optional<FolderIdentity> folderIdentityOf(const std::string& path, std::string* absence = nullptr);

struct FileFacts {
    PHAssetMediaType mediaType = PHAssetMediaType::Image;
    int pixelWidth = 0, pixelHeight = 0;  // as displayed
    double duration = 0;                  // seconds; 0 for photos
    // A photo's stamp as its check read it, with its fingerprint (none for movies).
    std::optional<FileStamp> stamp;
};

// Images by their head and tail, movies by reading their container to the end; anything but a
// regular file fails. `fault` tells a file that is not whole from one that could not be read now.
Result<FileFacts> checkLibraryFile(const std::string& path, FileCheckFault& fault);

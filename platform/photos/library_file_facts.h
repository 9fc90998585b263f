// What the library learns of one of its files: the stamp it records with the file's row, and the
// facts its check finds (kind, displayed size, length).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/photos/image_file_check.h"
#include "platform/photos/ph_types.h"
#include "platform/runtime/result.h"

// A file's size and modification time (nanoseconds since 1970), recorded with its row: a movie
// whose stamp has not changed since is taken as whole when the library opens, without reading it.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};
// None for a path that is not a regular file.
std::optional<FileStamp> fileStampOf(const std::string& path);

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
};

// Images by their head and tail, movies by reading their container to the end; anything but a
// regular file fails. `fault` tells a file that is not whole from one that could not be read now.
Result<FileFacts> checkLibraryFile(const std::string& path, FileCheckFault& fault);

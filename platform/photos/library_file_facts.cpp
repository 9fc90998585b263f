// The library's check of one file and its stamp.
#include "platform/photos/library_file_facts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/photos/asset_index.h"
#include "platform/photos/movie_file_check.h"

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    auto nanoseconds = [](const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return FileStamp{static_cast<std::int64_t>(info.st_size), nanoseconds(info.st_mtim),
                     FileStamp::Inode{static_cast<std::uint64_t>(info.st_ino), nanoseconds(info.st_ctim)}};
}

StampChange stampChange(const std::optional<FileStamp>& recorded, const std::optional<FileStamp>& now) {
    if (!recorded || !now || recorded->size != now->size || recorded->modified != now->modified)
        return StampChange::Content;
    if (!recorded->inode) return StampChange::Completed;
    if (!now->inode || recorded->inode->number != now->inode->number) return StampChange::Content;
    return recorded->inode->changed == now->inode->changed ? StampChange::None : StampChange::Attributes;
}

std::optional<FolderIdentity> folderIdentityOf(const std::string& path, std::string* absence) {
    struct stat info {};
    const bool found = ::stat(path.c_str(), &info) == 0;
    if (!found || !S_ISDIR(info.st_mode)) {
        // A folder on the way that may not be searched hides the folder, which may well be there.
        const bool barred = !found && (errno == EACCES || errno == EPERM);
        if (absence) *absence = barred ? std::string("cannot be reached: ") + std::strerror(errno) : "is not there";
        return std::nullopt;
    }
    return FolderIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

Result<FileFacts> checkLibraryFile(const std::string& path, FileCheckFault& fault) {
    fault = FileCheckFault::NotWhole;
    // Anything but a regular file (a pipe would block every reader) is never listed.
    if (!fileStampOf(path)) return fail("not a regular file");
    FileFacts facts;
    if (isLibraryMovieName(path)) {
        auto movie = describeMovieFile(path, &fault);
        if (!movie) return fail(movie.error());
        facts.mediaType = PHAssetMediaType::Video;
        facts.pixelWidth = movie->pixelWidth;
        facts.pixelHeight = movie->pixelHeight;
        facts.duration = movie->duration;
        return facts;
    }
    auto header = checkImageFileIsWhole(path, &fault);
    if (!header) return fail(header.error());
    const bool turned = header->orientation >= 5 && header->orientation <= 8;
    facts.pixelWidth = turned ? header->height : header->width;
    facts.pixelHeight = turned ? header->width : header->height;
    return facts;
}

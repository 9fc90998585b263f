// The library's check of one file and its stamp.
#include "platform/photos/library_file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/photos/asset_index.h"
#include "platform/photos/movie_file_check.h"
#include "platform/storage/owned_descriptor.h"

namespace {

constexpr std::int64_t kSecond = 1000000000;
// The step of times kept in whole seconds: FAT's two (others keep one).
constexpr std::int64_t kSecondsStep = 2 * kSecond;

std::atomic<std::int64_t> clockLead{0};

std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kSecond + t.tv_nsec;
}

// The kernel dates a file's changes by its coarse clock, which moves a tick at a time.
std::int64_t clockTick() {
    static const std::int64_t tick = [] {
        timespec resolution{};
        if (::clock_getres(CLOCK_REALTIME_COARSE, &resolution) != 0) return std::int64_t{10000000};
        return std::max<std::int64_t>(nanoseconds(resolution), 1);
    }();
    return tick;
}

// The wall clock stamps are taken by.
std::int64_t stampClock() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now) + clockLead.load(std::memory_order_relaxed);
}

// `taken` is a moment before the content was read (just after the status was, or before): a
// change after it is then either seen in the content read or dates the file later, unless the
// stamp is unsure.
FileStamp stampOf(const struct stat& info, std::int64_t taken) {
    return FileStamp{static_cast<std::int64_t>(info.st_size), nanoseconds(info.st_mtim),
                     FileStamp::Inode{static_cast<std::uint64_t>(info.st_ino), nanoseconds(info.st_ctim)}, std::nullopt,
                     taken};
}

// Reads `length` bytes at `offset`; false where the file could not be read or ended first.
bool readPart(int fd, std::vector<std::uint8_t>& out, std::size_t length, off_t offset) {
    out.resize(length);
    for (std::size_t done = 0; done < length;) {
        const ssize_t got = ::pread(fd, out.data() + done, length - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

bool FileStamp::unsure() const {
    if (taken == 0) return false;
    const std::int64_t latest = inode ? std::max(modified, inode->changed) : modified;
    const bool wholeSeconds = modified % kSecond == 0 && (!inode || inode->changed % kSecond == 0);
    return latest > taken - (wholeSeconds ? kSecondsStep : clockTick());
}

void setStampClockLeadForTesting(std::int64_t nanoseconds) {
    clockLead.store(nanoseconds, std::memory_order_relaxed);
}

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return stampOf(info, stampClock());
}

std::optional<FileStamp> contentStampOf(const std::string& path) {
    // Only a regular file is opened, and without blocking: a pipe put under the name meanwhile
    // would hold the caller.
    auto looked = fileStampOf(path);
    if (!looked) return looked;
    OwnedDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) return looked;  // no fingerprint this time
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    // The stamp of the file read, so that its fingerprint is of the content the stamp names.
    FileStamp stamp = stampOf(info, stampClock());
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::size_t tail = std::min(size, kFingerprintTail);
    std::vector<std::uint8_t> head, end;
    if (!readPart(file.fd, head, std::min(size, kFingerprintHead), 0) ||
        !readPart(file.fd, end, tail, static_cast<off_t>(size - tail)))
        return stamp;
    stamp.content = contentFingerprint(head, end, size);
    return stamp;
}

StampChange stampChange(const std::optional<FileStamp>& recorded, const std::optional<FileStamp>& now) {
    if (!recorded || !now || recorded->size != now->size || recorded->modified != now->modified)
        return StampChange::Content;
    if (recorded->content && now->content && *recorded->content != *now->content) return StampChange::Content;
    if (!recorded->inode) return StampChange::Completed;
    if (!now->inode || recorded->inode->number != now->inode->number) return StampChange::Content;
    if (recorded->inode->changed != now->inode->changed) return StampChange::Attributes;
    if (recorded->unsure()) return now->content ? StampChange::Completed : StampChange::Attributes;
    return !recorded->content && now->content ? StampChange::Completed : StampChange::None;
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
    // Taken before the check reads the file's status: at worst a little early, which makes the
    // stamp unsure the longer.
    const std::int64_t taken = stampClock();
    ImageFileReading reading;
    auto header = checkImageFileIsWhole(path, &fault, &reading);
    if (!header) return fail(header.error());
    facts.stamp = stampOf(reading.info, taken);
    facts.stamp->content = reading.fingerprint;
    const bool turned = header->orientation >= 5 && header->orientation <= 8;
    facts.pixelWidth = turned ? header->height : header->width;
    facts.pixelHeight = turned ? header->width : header->height;
    return facts;
}

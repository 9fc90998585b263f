// Whether an image file of the library is whole, judged from its head and its tail, so that a
// library of many photos can be checked every time it opens; only a JPEG with more than a little
// after its picture (a movie kept after the photo) is read through to its end marker.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/image/codec/raster.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// What a failed check found: the file's content is not whole, or the file could not be read this
// time (no permission, an I/O error), which says nothing of its content.
enum class FileCheckFault { NotWhole, Unreadable };

// A fingerprint of a file's content of `size` bytes from its first kFingerprintHead bytes (all of
// them in a smaller file) and its last kFingerprintTail: a 64-bit hash, the same on every machine
// and in every build, as indexes keep it.
inline constexpr std::size_t kFingerprintHead = 64 * 1024;
inline constexpr std::size_t kFingerprintTail = 4 * 1024;
std::uint64_t contentFingerprint(std::span<const std::uint8_t> head, std::span<const std::uint8_t> tail,
                                 std::uint64_t size);

// What a check read of the file, for a caller that keeps a fingerprint of it: the file's status as
// opened, and the fingerprint of its head and tail (none where they were not both read).
struct ImageFileReading {
    struct stat info {};
    std::optional<std::uint64_t> fingerprint;
};

// Succeeds when the file's header reads, names a picture size a decoder takes, and the file ends
// where its format ends: a JPEG with an end-of-image marker after the start of its first scan (not
// just an embedded thumbnail's), whatever follows it, a PNG with its end chunk. A cut-off file
// fails with the reason.
// Answers the header's facts; `fault`, when given, says which kind of failure it was, and
// `reading` what was read.
Result<ImageInfo> checkImageFileIsWhole(const std::string& path, FileCheckFault* fault = nullptr,
                                        ImageFileReading* reading = nullptr);
// The same check on image data in memory.
Result<ImageInfo> checkImageDataIsWhole(std::span<const std::uint8_t> data);
// A library file's bytes, read by every reader of the library's pictures: only a regular file
// itself (not a link, a pipe or a device put under its name after it was listed), without waiting.
Result<Bytes> readLibraryFile(const std::string& path);

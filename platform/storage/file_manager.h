// File operations the application uses, and atomic whole-file reads and writes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// Keys and values of attributesOfItemAtPath().
inline constexpr const char* NSFileSize = "NSFileSize";                          // UInt
inline constexpr const char* NSFileModificationDate = "NSFileModificationDate";  // date
inline constexpr const char* NSFileCreationDate = "NSFileCreationDate";          // date
inline constexpr const char* NSFileType = "NSFileType";                          // string
inline constexpr const char* NSFileTypeRegular = "NSFileTypeRegular";
inline constexpr const char* NSFileTypeDirectory = "NSFileTypeDirectory";
inline constexpr const char* NSFileTypeSymbolicLink = "NSFileTypeSymbolicLink";
inline constexpr const char* NSFileTypeUnknown = "NSFileTypeUnknown";

// Stateless; thread-safe.
class NSFileManager : public NSObject {
public:
    KORVA_MAKE(NSFileManager)
    static std::shared_ptr<NSFileManager> defaultManager();

    bool fileExistsAtPath(const std::string& path) const;
    bool fileExistsAtPath(const std::string& path, bool* isDirectory) const;
    bool isReadableFileAtPath(const std::string& path) const;

    // Succeeds when the folder already exists.
    Result<void> createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories) const;
    // Removes a file or a folder with everything in it. Fails when nothing is there. What the
    // program removes of its own as one file goes through file_removal.h instead.
    Result<void> removeItemAtPath(const std::string& path) const;
    // Both fail when the destination exists, as on the platform.
    Result<void> moveItemAtPath(const std::string& source, const std::string& destination) const;
    Result<void> copyItemAtPath(const std::string& source, const std::string& destination) const;
    // Names (not paths) of the entries, sorted.
    Result<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path) const;
    // A dictionary with NSFileSize, NSFileModificationDate, NSFileCreationDate, NSFileType.
    Result<Value> attributesOfItemAtPath(const std::string& path) const;

    Result<Bytes> contentsAtPath(const std::string& path) const;
    Result<void> createFileAtPath(const std::string& path, const Bytes& contents) const;

protected:
    NSFileManager() = default;
};

// Reads a whole regular file.
Result<Bytes> readFileData(const std::string& path);
// How a failed write says why: naming the step and the path ("cannot write in /a/b: No space left
// on device"), or with the reason alone ("No space left on device"), for a caller that names the
// file in its own words.
enum class WriteFailureText { WithPath, ReasonOnly };
// Writes through a temporary file in the same folder (write, flush to disk, rename), so the
// file at `path` is either the old one or the new one, never a partial one. The folder must exist.
Result<void> writeFileAtomically(const std::string& path, const Bytes& data,
                                 WriteFailureText text = WriteFailureText::WithPath);
Result<void> writeFileAtomically(const std::string& path, std::string_view data,
                                 WriteFailureText text = WriteFailureText::WithPath);
// Writes every byte to an open descriptor, going on after interruptions; false on an error (errno
// says which).
bool writeAllToDescriptor(int fd, const void* data, std::size_t size);

// Joins two path parts with one slash.
std::string pathByAppendingComponent(std::string_view base, std::string_view component);

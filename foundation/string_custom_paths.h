// Paths and files on strings: the three sandbox roots, existence tests, directory creation and
// removal, unique new names, file-name cleaning, file facts and random names.
//
// Stateless; every call asks the file system afresh. Thread-safe.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

// The root with the name appended as a path component; an empty name gives the root itself.
std::string withLibraryPath(std::string_view name);
std::string withDocumentPath(std::string_view name);
std::string withCachePath(std::string_view name);
// The main bundle's resource whose name carries its extension; none when there is none.
std::optional<std::string> withBundlePath(std::string_view name);

// The text after the first occurrence of the root (without the separating "/"); the path
// unchanged when the root does not occur in it.
std::string withoutLibraryPath(std::string_view path);
std::string withoutDocumentPath(std::string_view path);
std::string withoutCachePath(std::string_view path);

// Whether the root's path occurs anywhere in the path (the caches root lies in the library root).
bool isInLibraryPath(std::string_view path);
bool isInDocumentPath(std::string_view path);
bool isInCachePath(std::string_view path);
bool isLocalPath(std::string_view path);
// Whether the lower-cased path extension equals `ext` (lower case, without the dot).
bool isExtFilePath(std::string_view path, std::string_view ext);

// False for an empty path. existFile is true for a directory too.
bool existFile(std::string_view path);
bool existDirectory(std::string_view path);
// Creates the directory with its missing parents; true also when it already existed.
bool createDirectory(std::string_view path);
// Removes the one file under the path (a link, not what it points at): a folder found there stays
// whole, and the log says so under `category`. True only when a file was removed; nothing there is
// false and said nowhere.
bool removeFile(std::string_view path, std::string_view category = "files");
// Removes every file of the directory the same way, going on past entries that cannot be removed
// (a folder in it among them).
void removeAllFilesInDirectory(std::string_view path, std::string_view category = "files");
// Marks the item as not to be backed up. This platform keeps no backup set, so the mark is
// accepted for any existing item.
bool skipBackup(std::string_view path);
// Whether the directory (one level) holds a file with one of the lower-case extensions or, with
// the flag, any subdirectory.
bool isFileExistWithExtensions(std::string_view path, const std::vector<std::string>& exts,
                               bool yesIfContainsDirectory);

// The text before the last "/"; empty when there is none.
std::string parentDirectory(std::string_view path);
// The path's extension (after the last "." of the last component, not a leading one); may be empty.
std::string pathExtension(std::string_view path);
std::string lastPathComponent(std::string_view path);
std::string stringByDeletingPathExtension(std::string_view name);
// A path in the same directory that names no existing item: "a.jpg" -> "a-1.jpg" -> "a-2.jpg";
// "a-7.jpg" -> "a-8.jpg". Nothing reserves the name.
std::string newFilePath(std::string_view path);
// The same for a directory: "dir" -> "dir-1" -> "dir-2", next to the requested name.
std::string newDirectoryPath(std::string_view path);
// Every character but ASCII letters and digits becomes "."; the length is kept.
std::string fileName(std::string_view name);
// Each of the ten reserved characters " % * / : < > ? \ | becomes "_" / is dropped.
std::string onlyFilename(std::string_view name);
std::string onlyFilenameRemoveInvalid(std::string_view name);

// "cdate", "udate" (dates), "size" (number) and "type" (file-type string); empty when unreadable.
Value fileAttributes(std::string_view path);
// Seconds since the reference date; none when the item cannot be read.
std::optional<double> fileCreationDate(std::string_view path);
// Byte count in the file style ("0 bytes" for a missing item).
std::string fileSizeString(std::string_view path);
// Localised short date and time (medium date on a tablet); empty when the item cannot be read.
std::string fileLastModifiedString(std::string_view path);

// No archive format is supported: these always answer none / false.
std::optional<std::string> extractZip(std::string_view path, std::string_view destination,
                                      const std::function<void(double)>& progress);
std::optional<std::string> extractRar(std::string_view path, std::string_view destination,
                                      const std::function<void(double)>& progress);
std::optional<std::string> extract(std::string_view path, std::string_view destination,
                                   const std::function<void(double)>& progress);
bool existPassword(std::string_view path);

// `count` characters drawn independently from the 62 ASCII letters and digits.
std::string generateRandomString(std::size_t count);

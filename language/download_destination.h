// Where a finished download goes: the destination folder of an entry and a free file name in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Where a download's folder lies: pathSaveTo itself as a full path, or pathSaveTo under Documents
// or under Library.
enum class DownloadDestination { FullPath, Documents, Library };

// The number a download table stores for a destination (0, 1 and 2), and the destination of a
// stored number; any number but 1 and 2 is a full path.
std::int64_t storedDownloadDestination(DownloadDestination dest);
DownloadDestination downloadDestinationFromStored(std::int64_t stored);

// Under Documents or Library: pathSaveTo there (a fresh "-1", "-2" … folder with newDir when
// pathSaveTo is not empty); a full path: pathSaveTo itself. None when that leaves no folder (an
// empty path).
std::optional<std::string> downloadFolder(DownloadDestination dest, const std::string& pathSaveTo, bool newDir);

// The file name a download URL saves as: its last path component cut at "?", the reserved
// characters replaced, "noname" when nothing usable is left ("", "." or "..").
std::string downloadFileName(const std::string& url);

// The name itself when nothing lies at folder/name, else "<base>-1.<ext>", "<base>-2.<ext>" …
std::string freeFileName(const std::string& folder, const std::string& name);

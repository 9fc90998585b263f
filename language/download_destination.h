// Where a finished download goes: the destination folder of an entry and a free file name in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// dest 1: pathSaveTo under Documents, 2: under Library (a fresh "-1", "-2" … folder with newDir
// when pathSaveTo is not empty); any other dest: pathSaveTo itself. None when that leaves no
// folder (an empty path).
std::optional<std::string> downloadFolder(std::int64_t dest, const std::string& pathSaveTo, bool newDir);

// The file name a download URL saves as: its last path component cut at "?", the reserved
// characters replaced, "noname" when nothing usable is left ("", "." or "..").
std::string downloadFileName(const std::string& url);

// The name itself when nothing lies at folder/name, else "<base>-1.<ext>", "<base>-2.<ext>" …
std::string freeFileName(const std::string& folder, const std::string& name);

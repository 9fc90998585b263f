// The resume data of a download: where it came from, the partial file, how much of it is good
// and the validator that tells whether the server still has the same body. Internal to the net
// module; callers keep the bytes as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/runtime/value.h"

struct URLResumeRecord {
    std::string url;
    std::string partialFile;
    std::int64_t offset = 0;
    // The ETag, else the Last-Modified date, of the reply the partial file came from.
    std::string validator;
};

Bytes encodeResumeData(const URLResumeRecord& record);
// None for bytes that are not resume data, name no URL, or whose partial file is missing, shorter
// than the offset, or not a download file of this program's temporary folder.
std::optional<URLResumeRecord> decodeResumeData(const Bytes& data);

// True for an existing regular file (not a link) that makeDownloadFile could have made: a
// download file directly inside the temporary folder. Nothing else is ever written or removed.
bool isDownloadFile(const std::string& path);

// A new empty file in the temporary folder for a download; none when none can be made.
std::optional<std::string> makeDownloadFile();

// The resume data of a download: where it came from, the partial file, how much of it is good
// and the validator that tells whether the server still has the same body. Internal to the net
// module; callers keep the bytes as they are.
#pragma once

#include <cstddef>
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
    // The cap on the body the original request set, carried over to the task that resumes it
    // (none: the download default).
    std::optional<std::size_t> maximumBody;
};

Bytes encodeResumeData(const URLResumeRecord& record);
// None for bytes that are not resume data, name no URL, or whose partial file is missing, shorter
// than the offset, or not a download file of this program's temporary folder.
std::optional<URLResumeRecord> decodeResumeData(const Bytes& data);

// True for an existing regular file (not a link) that makeDownloadFile could have made: a
// download file directly inside the temporary folder, which is itself a real folder rather than
// a link. Nothing else is ever written or removed.
bool isDownloadFile(const std::string& path);

// A download file and the descriptor it was opened with (the caller closes it).
struct OpenedDownloadFile {
    std::string path;
    int fd = -1;
};

// A new empty file in the temporary folder for a download, opened for writing; none when none
// can be made.
std::optional<OpenedDownloadFile> createDownloadFile();
// The same, closed again: only its name.
std::optional<std::string> makeDownloadFile();
// An existing download file (as isDownloadFile says) opened for reading and writing without
// following a link, neither at its own name nor at the temporary folder's, and checked through
// the descriptor: a regular file with one name. -1 for anything else; nothing is created.
int openDownloadFile(const std::string& path);
// Whether the path still names the file open at `fd` (nothing was swapped in under its name).
bool namesOpenFile(const std::string& path, int fd);

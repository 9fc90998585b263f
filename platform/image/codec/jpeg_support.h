// Shared pieces of the JPEG reader and writer: error handling without exceptions crossing the C
// library, and the EXIF orientation of an APP1 segment. Private to the codec.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

// The C library's header leans on FILE and size_t, declared above.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "platform/image/codec/exif_orientation.h"

// libjpeg reports fatal errors through error_exit, which must not return. It longjmps back to
// the setjmp of the stage that made the call; each stage is a function holding no C++ objects
// with destructors, so nothing is skipped on the way out.
struct JpegErrorManager {
    jpeg_error_mgr pub{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    bool corruptData = false;  // stopped on a warning that means the data is damaged
    int maxScans = 0;          // progressive scans allowed (0: no limit)
};

void installJpegErrorManager(j_common_ptr cinfo, JpegErrorManager& manager);

// The failure text of the last error or corrupt-data warning.
std::string jpegErrorText(const JpegErrorManager& manager, const char* stage);

// The payload of the first EXIF APP1 segment in data read by libjpeg with APP1 markers saved.
std::span<const std::uint8_t> findExifApp1(j_decompress_ptr cinfo);

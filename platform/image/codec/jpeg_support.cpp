// JPEG error handling and the EXIF orientation reader.
#include "platform/image/codec/jpeg_support.h"

#include <jerror.h>

#include <cstring>

namespace {

extern "C" void jpegErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

extern "C" void jpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace messages
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    // Warnings that say the entropy data is damaged or missing: the library would carry on with
    // grey or garbled blocks, which we refuse rather than pass off as the photo. The longjmp is
    // as safe here as from error_exit: both are called only from inside a guarded stage.
    const bool corrupt = code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
                         code == JWRN_ARITH_BAD_CODE || code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL ||
                         code == JWRN_BOGUS_PROGRESSION || code == JWRN_TOO_MUCH_DATA;
    cinfo->err->num_warnings++;
    if (!corrupt) return;
    // Stop at once: carrying on would only spend time on pixels we are going to refuse.
    manager->corruptData = true;
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

extern "C" void jpegOutputMessage(j_common_ptr) {}

// Progressive files may hold any number of scans, each a full pass over the coefficients; a
// small file with thousands of scans would keep the decoder busy for minutes.
extern "C" void jpegProgress(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (!cinfo->is_decompressor || manager->maxScans <= 0) return;
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > manager->maxScans) {
        std::snprintf(manager->message, sizeof manager->message, "more than %d progressive scans", manager->maxScans);
        std::longjmp(manager->jump, 1);
    }
}

}  // namespace

void installJpegErrorManager(j_common_ptr cinfo, JpegErrorManager& manager) {
    cinfo->err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = jpegErrorExit;
    manager.pub.emit_message = jpegEmitMessage;
    manager.pub.output_message = jpegOutputMessage;
    manager.progress.progress_monitor = jpegProgress;
}

std::string jpegErrorText(const JpegErrorManager& manager, const char* stage) {
    std::string text = std::string("JPEG ") + stage + ": ";
    text += manager.message[0] ? manager.message : "unknown error";
    return text;
}

std::span<const std::uint8_t> findExifApp1(j_decompress_ptr cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6) continue;
        if (std::memcmp(m->data, "Exif\0\0", 6) == 0) return {m->data, m->data_length};
    }
    return {};
}

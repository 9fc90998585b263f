#include "platform/media/ffmpeg_support.h"

#include <mutex>

#include "platform/capture/media_library_log.h"
#include "platform/runtime/result.h"

std::string averrorText(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

void mediaLibrariesQuiet() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_QUIET);
        routeMediaLibraryLog();
    });
}

Result<AVFormatInput> openMediaFile(const std::string& path) {
    mediaLibrariesQuiet();
    AVFormatContext* raw = nullptr;
    if (int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); r < 0)
        return fail("cannot open " + path + ": " + averrorText(r));
    AVFormatInput input(raw);
    if (int r = avformat_find_stream_info(raw, nullptr); r < 0)
        return fail("cannot read " + path + ": " + averrorText(r));
    return input;
}

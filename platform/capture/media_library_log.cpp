// The media libraries' log callback.
#include "platform/capture/media_library_log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/runtime/log.h"

namespace {

LogLevel programLevel(int libraryLevel) {
    if (libraryLevel <= AV_LOG_WARNING) return LogLevel::Warning;
    if (libraryLevel <= AV_LOG_INFO) return LogLevel::Info;
    return LogLevel::Debug;
}

// A line may come in pieces, each piece a call; every thread gathers its own until the newline.
struct PendingLine {
    std::string text;
    int level = AV_LOG_TRACE;
};
thread_local PendingLine tPending;

void appendFormatted(std::string& out, const char* format, va_list args) {
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    if (std::size_t(length) < sizeof small) {
        out.append(small, std::size_t(length));
        return;
    }
    std::string large(std::size_t(length) + 1, '\0');
    std::vsnprintf(large.data(), large.size(), format, args);
    large.resize(std::size_t(length));
    out += large;
}

extern "C" void onLibraryLine(void* object, int level, const char* format, va_list args) {
    // The level's upper bits carry a colour for the libraries' own printer.
    if (level >= 0) level &= 0xFF;
    if (level > av_log_get_level()) return;
    PendingLine& line = tPending;
    if (line.text.empty() && object) {
        if (const AVClass* type = *static_cast<const AVClass* const*>(object); type && type->item_name)
            line.text = std::string(type->item_name(object)) + ": ";
    }
    line.level = std::min(line.level, level);
    appendFormatted(line.text, format, args);
    if (line.text.empty() || line.text.back() != '\n') return;
    line.text.pop_back();
    Log::write(programLevel(line.level), "media", line.text);
    line = PendingLine{};
}

}  // namespace

void routeMediaLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(onLibraryLine); });
}

// The system log: threshold and quiet flag from KORVA_LOG, stderr output, captures for tests.
#include "platform/runtime/log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/runtime/format.h"
#include "platform/runtime/printable_text.h"

struct LogCapture::State {
    std::vector<std::string> lines;
};

namespace {

// What a KORVA_LOG word sets: the threshold, or quiet; none for a word it does not take.
struct LogSetting {
    LogLevel threshold = LogLevel::Info;
    bool quiet = false;
};

std::optional<LogSetting> logSettingNamed(std::string_view word) {
    if (word.empty() || word == "info") return LogSetting{};
    if (word == "quiet") return LogSetting{LogLevel::Info, true};
    if (word == "debug") return LogSetting{LogLevel::Debug, false};
    if (word == "warning") return LogSetting{LogLevel::Warning, false};
    if (word == "error") return LogSetting{LogLevel::Error, false};
    return std::nullopt;
}

struct LogState {
    std::mutex mutex;
    LogLevel threshold = LogLevel::Info;
    bool quiet = false;
    std::vector<LogCapture::State*> captures;

    LogState() {
        const char* env = std::getenv("KORVA_LOG");
        const LogSetting setting = logSettingNamed(env ? env : "").value_or(LogSetting{});
        threshold = setting.threshold;
        quiet = setting.quiet;
    }
};

// Never destroyed, so that threads still logging while the process exits find it intact.
LogState& state() {
    static LogState* s = new LogState;
    return *s;
}

const char* levelName(LogLevel level) {
    switch (level) {
        case LogLevel::Debug: return "debug";
        case LogLevel::Info: return "info";
        case LogLevel::Warning: return "warning";
        case LogLevel::Error: return "error";
    }
    return "?";
}

}  // namespace

bool Log::isSetting(std::string_view value) {
    return logSettingNamed(value).has_value();
}

void Log::write(LogLevel level, std::string_view category, std::string_view message) {
    std::string line = std::string(levelName(level)) + " " + std::string(category) + ": " + std::string(message);
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    for (auto* capture : s.captures) capture->lines.push_back(line);
    if (s.quiet || level < s.threshold) return;
    // Messages quote paths and values from outside: what reaches the terminal is spelled out.
    std::fprintf(stderr, "korva %s\n", printableText(line).c_str());
}

void Log::setThreshold(LogLevel level) {
    std::lock_guard lock(state().mutex);
    state().threshold = level;
}

LogLevel Log::threshold() {
    std::lock_guard lock(state().mutex);
    return state().threshold;
}

void Log::setQuiet(bool quiet) {
    std::lock_guard lock(state().mutex);
    state().quiet = quiet;
}

bool Log::quiet() {
    std::lock_guard lock(state().mutex);
    return state().quiet;
}

LogCapture::LogCapture() : state_(new State) {
    std::lock_guard lock(state().mutex);
    state().captures.push_back(state_);
}

LogCapture::~LogCapture() {
    {
        std::lock_guard lock(state().mutex);
        auto& list = state().captures;
        list.erase(std::remove(list.begin(), list.end(), state_), list.end());
    }
    delete state_;
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(state().mutex);
    return state_->lines;
}

bool LogCapture::contains(std::string_view text) const {
    std::lock_guard lock(state().mutex);
    return std::any_of(state_->lines.begin(), state_->lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

void LogCapture::clear() {
    std::lock_guard lock(state().mutex);
    state_->lines.clear();
}

void NSLog(std::string_view format, std::initializer_list<Value> args) {
    Log::info("app", formatString(format, args));
}

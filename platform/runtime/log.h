// The system log: lines with a level and a named category, written to stderr.
//
// The environment variable KORVA_LOG sets the threshold ("debug", "info", "warning", "error")
// or silences stderr ("quiet", which the test runner sets). A LogCapture records the lines
// written while it lives, whatever the threshold, so tests can check what was logged.
// Thread-safe.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

enum class LogLevel { Debug, Info, Warning, Error };

class Log {
public:
    static void write(LogLevel level, std::string_view category, std::string_view message);
    static void debug(std::string_view category, std::string_view message) {
        write(LogLevel::Debug, category, message);
    }
    static void info(std::string_view category, std::string_view message) { write(LogLevel::Info, category, message); }
    static void warning(std::string_view category, std::string_view message) {
        write(LogLevel::Warning, category, message);
    }
    static void error(std::string_view category, std::string_view message) {
        write(LogLevel::Error, category, message);
    }

    // Lines below the threshold are not written to stderr.
    static void setThreshold(LogLevel level);
    static LogLevel threshold();
    static void setQuiet(bool quiet);
    static bool quiet();
    // The words KORVA_LOG takes (quiet, debug, info, warning, error; empty for none); any other
    // leaves the threshold at info.
    static bool isSetting(std::string_view value);
};

// Records every line ("level category: message") written while it lives. Captures nest.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(std::string_view text) const;
    void clear();

    struct State;

private:
    State* state_;
};

// NSLog: a formatted line at the info level in the category "app".
void NSLog(std::string_view format, std::initializer_list<Value> args = {});

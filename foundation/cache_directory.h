// CacheDirectory: named cache files in a folder under the caches directory, each a store with
// the cached object ("d") and its write time ("w"), reused for a fixed number of seconds.
// Main-thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class CacheDirectory : public NSObject {
public:
    KORVA_MAKE(CacheDirectory)

    const std::string& dirName() const { return dirName_; }
    double reuseRange() const { return reuseRange_; }

    // "<caches>/<dirName>/<name>.4"; empty for a folder or file name that is not one plain entry
    // (empty, or holding a path separator or ".."), which every other call then refuses too.
    std::string cache_path(const std::string& name) const;
    void save(const std::string& name, const Value& object);
    // The cached object while it is younger than the reuse range; null otherwise.
    Value cache(const std::string& name) const;
    // Deletes the name's file, one file only: a folder under the name stays whole (the log says
    // so). Answers whether a file was removed.
    bool reset(const std::string& name);
    // Deletes every file of the folder, then the folder once empty; a folder in it stays whole.
    void resetAll();
    // Removes "<header>.0" to "<header>.<p>", then "<header>.<p+1>", ... while something is there.
    void resetAllHeader(const std::string& header, std::int64_t p);

    std::string className() const override { return "CacheDirectory"; }

protected:
    CacheDirectory(std::string dirName, double reuseRange) : dirName_(std::move(dirName)), reuseRange_(reuseRange) {}

private:
    std::string dirName_;
    double reuseRange_;
};

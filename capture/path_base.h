// PathBase: the fixed file names of video recording in the application's cache folder: the
// segment files "segs/s-N.mp4", the merged movie "m.mp4" and the temporary movie "t.mp4".
// Path is the service that Global hands out as `path`.
//
// Thread-safe: the two cached names sit behind a lock; the folder work asks the file system afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

// Made with ::make<Path>() (the class's own `make` is the merged movie's name).
class PathBase : public NSObject {
public:
    const std::string& temp();
    const std::string& make();
    // Removes the segment folder and the merged movie; removal errors are ignored.
    void resetMake();
    // The path of segment n; n 0 clears what an earlier recording left first. Makes the folder.
    std::string segment(std::int64_t n);

    std::string className() const override { return "PathBase"; }

protected:
    PathBase() = default;

private:
    std::mutex mutex_;
    std::optional<std::string> temp_, make_;
};

class Path : public PathBase {
public:
    std::string className() const override { return "Path"; }

protected:
    Path() = default;
};

// The `path` service of Global, or a fresh Path when no maker is registered (the names are fixed,
// so both give the same files). Main thread.
std::shared_ptr<PathBase> recordingPaths();

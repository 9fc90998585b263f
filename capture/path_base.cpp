#include "capture/path_base.h"

#include <filesystem>

#include "foundation/global.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/format.h"

namespace {
constexpr const char* kSegmentFolder = "segs";
}

const std::string& PathBase::temp() {
    std::lock_guard lock(mutex_);
    if (!temp_) temp_ = withCachePath("t.mp4");
    return *temp_;
}

const std::string& PathBase::make() {
    std::lock_guard lock(mutex_);
    if (!make_) make_ = withCachePath("m.mp4");
    return *make_;
}

void PathBase::resetMake() {
    std::error_code ignored;
    std::string folder = withCachePath(kSegmentFolder);
    if (std::filesystem::is_directory(folder, ignored)) std::filesystem::remove_all(folder, ignored);
    if (std::filesystem::exists(make(), ignored)) std::filesystem::remove(make(), ignored);
}

std::string PathBase::segment(std::int64_t n) {
    if (n == 0) resetMake();
    std::error_code ignored;
    std::string folder = withCachePath(kSegmentFolder);
    if (!std::filesystem::is_directory(folder, ignored)) std::filesystem::create_directories(folder, ignored);
    return withCachePath(std::string(kSegmentFolder) + "/s-" + std::to_string(std::int32_t(n)) + ".mp4");
}

std::shared_ptr<PathBase> recordingPaths() {
    if (auto path = Global::shared()->path()) return path;
    return ::make<Path>();
}

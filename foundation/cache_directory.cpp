// CacheDirectory: one store file per name.
#include "foundation/cache_directory.h"

#include "foundation/date_custom.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"

namespace {

// A name stays one entry of its folder: no separator, no parent step, nothing empty.
bool isPlainName(const std::string& name) {
    // "." names the caches folder itself.
    return !name.empty() && name != "." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos &&
           name.find("..") == std::string::npos;
}

}  // namespace

std::string CacheDirectory::cache_path(const std::string& name) const {
    if (!isPlainName(dirName_) || !isPlainName(name)) {
        Log::warning("cache", "refused the cache name \"" + dirName_ + "/" + name + "\"");
        return {};
    }
    return withCachePath(dirName_) + "/" + name + ".4";
}

void CacheDirectory::save(const std::string& name, const Value& object) {
    const std::string path = cache_path(name);
    if (path.empty()) return;
    createDirectory(parentDirectory(path));
    auto store = LastInfo::make(path);
    store->set(object, "d");
    store->set(Value::date(dateNow()), "w");
    store->save();
}

Value CacheDirectory::cache(const std::string& name) const {
    const std::string path = cache_path(name);
    if (path.empty() || !existFile(path)) return {};
    auto store = LastInfo::make(path);
    Value written = store->get("w");
    if (!written.isDate() || !isNotExpired(written.dateValue(), reuseRange_)) return {};
    return store->get("d");
}

bool CacheDirectory::reset(const std::string& name) {
    const std::string path = cache_path(name);
    if (path.empty() || !existFile(path)) return false;
    removeFile(path);
    return true;
}

void CacheDirectory::resetAll() {
    if (!isPlainName(dirName_)) return;
    const std::string folder = withCachePath(dirName_);
    if (existDirectory(folder)) removeFile(folder);
}

void CacheDirectory::resetAllHeader(const std::string& header, std::int64_t p) {
    std::int64_t i = 0;
    for (; i <= p; ++i) reset(header + "." + std::to_string(i));
    while (reset(header + "." + std::to_string(i))) ++i;
}

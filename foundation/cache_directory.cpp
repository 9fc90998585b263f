// CacheDirectory: one store file per name.
#include "foundation/cache_directory.h"

#include <filesystem>

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
    return !path.empty() && removeFile(path, "cache");
}

void CacheDirectory::resetAll() {
    if (!isPlainName(dirName_)) return;
    const std::string folder = withCachePath(dirName_);
    if (!existDirectory(folder)) return;
    // File by file: a folder found among the entries stays whole, and the folder with it.
    removeAllFilesInDirectory(folder, "cache");
    std::error_code error;
    std::filesystem::remove(folder, error);
    if (error && error != std::errc::directory_not_empty && error != std::errc::file_exists)
        Log::warning("cache", "cannot remove " + folder + " (" + error.message() + "); it stays");
}

void CacheDirectory::resetAllHeader(const std::string& header, std::int64_t p) {
    std::int64_t i = 0;
    for (; i <= p; ++i) reset(header + "." + std::to_string(i));
    // A folder under an entry's name is passed over, not taken for the end.
    for (; existFile(cache_path(header + "." + std::to_string(i))); ++i) reset(header + "." + std::to_string(i));
}

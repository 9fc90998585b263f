// File operations on std::filesystem, with failures reported as values.
#include "platform/storage/file_manager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Seconds between 1970-01-01 and 2001-01-01, the platform's reference date.
constexpr double kReferenceDateOffset = 978307200.0;

Failure failure(const char* what, const std::string& path, const std::error_code& error) {
    return fail(std::string(what) + " " + path + ": " + error.message());
}

double referenceSeconds(const struct timespec& time) {
    return static_cast<double>(time.tv_sec) - kReferenceDateOffset + static_cast<double>(time.tv_nsec) * 1e-9;
}

}  // namespace

std::shared_ptr<NSFileManager> NSFileManager::defaultManager() {
    static const std::shared_ptr<NSFileManager> manager = NSFileManager::make();
    return manager;
}

bool NSFileManager::fileExistsAtPath(const std::string& path) const {
    return fileExistsAtPath(path, nullptr);
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    bool exists = !error && fs::exists(status);
    if (isDirectory) *isDirectory = exists && fs::is_directory(status);
    return exists;
}

bool NSFileManager::isReadableFileAtPath(const std::string& path) const {
    return !path.empty() && ::access(path.c_str(), R_OK) == 0;
}

Result<void> NSFileManager::createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories) const {
    if (path.empty()) return fail("cannot create a folder with an empty path");
    std::error_code error;
    if (fs::is_directory(path, error)) return {};
    if (withIntermediateDirectories) {
        fs::create_directories(path, error);
    } else {
        fs::create_directory(path, error);
    }
    if (error) return failure("cannot create folder", path, error);
    return {};
}

Result<void> NSFileManager::removeItemAtPath(const std::string& path) const {
    std::error_code error;
    if (path.empty() || !fs::exists(fs::symlink_status(path, error))) return fail("nothing to remove at " + path);
    fs::remove_all(path, error);
    if (error) return failure("cannot remove", path, error);
    return {};
}

Result<void> NSFileManager::moveItemAtPath(const std::string& source, const std::string& destination) const {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(source, error))) return fail("nothing to move at " + source);
    if (fs::exists(fs::symlink_status(destination, error))) return fail("cannot move onto existing " + destination);
    fs::rename(source, destination, error);
    if (error == std::errc::cross_device_link) {
        // rename() cannot cross file systems: copy, then remove the original.
        error.clear();
        fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
        if (error) {
            std::error_code ignored;
            fs::remove_all(destination, ignored);
            return failure("cannot move to", destination, error);
        }
        fs::remove_all(source, error);
    }
    if (error) return failure("cannot move to", destination, error);
    return {};
}

Result<void> NSFileManager::copyItemAtPath(const std::string& source, const std::string& destination) const {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(source, error))) return fail("nothing to copy at " + source);
    if (fs::exists(fs::symlink_status(destination, error))) return fail("cannot copy onto existing " + destination);
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(destination, ignored);
        return failure("cannot copy to", destination, error);
    }
    return {};
}

Result<std::vector<std::string>> NSFileManager::contentsOfDirectoryAtPath(const std::string& path) const {
    std::error_code error;
    fs::directory_iterator it(path, error);
    if (error) return failure("cannot list", path, error);
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    if (error) return failure("cannot list", path, error);
    std::sort(names.begin(), names.end());
    return names;
}

Result<Value> NSFileManager::attributesOfItemAtPath(const std::string& path) const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return failure("cannot read attributes of", path, std::error_code(errno, std::generic_category()));
    }
    const char* type = NSFileTypeUnknown;
    if (S_ISREG(info.st_mode))
        type = NSFileTypeRegular;
    else if (S_ISDIR(info.st_mode))
        type = NSFileTypeDirectory;
    else if (S_ISLNK(info.st_mode))
        type = NSFileTypeSymbolicLink;

    // Linux keeps no creation time in struct stat; statx's birth time is used when the file
    // system has one, else the status-change time stands in.
    double created = referenceSeconds(info.st_ctim);
    struct statx extended {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &extended) == 0 &&
        (extended.stx_mask & STATX_BTIME)) {
        created = static_cast<double>(extended.stx_btime.tv_sec) - kReferenceDateOffset +
                  static_cast<double>(extended.stx_btime.tv_nsec) * 1e-9;
    }
    ValueDictionary attributes;
    attributes.set(NSFileSize, Value(static_cast<unsigned long long>(info.st_size)));
    attributes.set(NSFileModificationDate, Value::date(referenceSeconds(info.st_mtim)));
    attributes.set(NSFileCreationDate, Value::date(created));
    attributes.set(NSFileType, Value(type));
    return Value(std::move(attributes));
}

Result<Bytes> NSFileManager::contentsAtPath(const std::string& path) const {
    return readFileData(path);
}

Result<void> NSFileManager::createFileAtPath(const std::string& path, const Bytes& contents) const {
    return writeFileAtomically(path, contents);
}

std::string pathByAppendingComponent(std::string_view base, std::string_view component) {
    while (!component.empty() && component.front() == '/') component.remove_prefix(1);
    std::string path(base);
    if (component.empty()) return path;
    if (!path.empty() && path.back() != '/') path += '/';
    path += component;
    return path;
}

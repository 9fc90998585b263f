// FilesHost: access bookkeeping and bookmark files.
#include "foundation/files_host.h"

#include "foundation/data_custom.h"
#include "foundation/string_custom_paths.h"
#include "platform/net/url_bookmark.h"
#include "platform/storage/file_manager.h"

const std::string& FilesHost::rootPath() {
    if (!rootPath_) rootPath_ = withLibraryPath("files_bookmarks");
    if (!existDirectory(*rootPath_)) createDirectory(*rootPath_);
    return *rootPath_;
}

bool FilesHost::start0(const NSURL& url) {
    return startAccessingSecurityScopedResource(url);
}

void FilesHost::stop0(const NSURL& url) {
    stopAccessingSecurityScopedResource(url);
}

bool FilesHost::start(const std::shared_ptr<NSURL>& url) {
    if (!url) return false;
    if (isStarted(*url)) return true;
    if (!start0(*url)) return false;
    started_[url->absoluteString()] = url;
    return true;
}

void FilesHost::stop(const std::shared_ptr<NSURL>& url) {
    if (!url) return;
    stop0(*url);
    started_.erase(url->absoluteString());
}

void FilesHost::flush() {
    for (const auto& entry : started_) stop0(*entry.second);
    started_.clear();
}

std::optional<std::string> FilesHost::writeBookmark(const std::shared_ptr<NSURL>& url) {
    if (!url) return std::nullopt;
    start(url);
    std::optional<Bytes> data = bookmarkDataWithURL(*url);
    if (!data) return std::nullopt;
    std::string path = newFilePath(rootPath() + "/" + generateRandomString(10) + ".alias");
    if (!saveToPath(*data, path)) return std::nullopt;
    return lastPathComponent(path);
}

// The standardised path of the name inside the folder, with "." and ".." steps resolved, so
// that a name cannot lead out of it; none when it does or names no file.
std::optional<std::string> FilesHost::bookmarkPath(const std::string& name) {
    std::string root = standardizePath(rootPath());
    std::string path = standardizePath(root + "/" + name);
    if (parentDirectory(path) != root || !existFile(path) || existDirectory(path)) return std::nullopt;
    return path;
}

std::shared_ptr<NSURL> FilesHost::readBookmark(const std::string& name) {
    std::optional<std::string> path = bookmarkPath(name);
    if (!path) return nullptr;
    Result<Bytes> data = readFileData(*path);
    return data ? URLByResolvingBookmarkData(data.value()) : nullptr;
}

bool FilesHost::removeBookmark(const std::string& name) {
    std::optional<std::string> path = bookmarkPath(name);
    return path && removeFile(*path);
}

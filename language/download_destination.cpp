// Destination folders and clash-free names of downloaded files.
#include "language/download_destination.h"

#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"

namespace {
constexpr std::int64_t kStoredFullPath = 0;
constexpr std::int64_t kStoredDocuments = 1;
constexpr std::int64_t kStoredLibrary = 2;
}  // namespace

std::int64_t storedDownloadDestination(DownloadDestination dest) {
    switch (dest) {
        case DownloadDestination::Documents: return kStoredDocuments;
        case DownloadDestination::Library: return kStoredLibrary;
        case DownloadDestination::FullPath: break;
    }
    return kStoredFullPath;
}

DownloadDestination downloadDestinationFromStored(std::int64_t stored) {
    switch (stored) {
        case kStoredDocuments: return DownloadDestination::Documents;
        case kStoredLibrary: return DownloadDestination::Library;
        default: return DownloadDestination::FullPath;
    }
}

std::optional<std::string> downloadFolder(DownloadDestination dest, const std::string& pathSaveTo, bool newDir) {
    if (dest != DownloadDestination::FullPath) {
        std::string folder =
            dest == DownloadDestination::Library ? withLibraryPath(pathSaveTo) : withDocumentPath(pathSaveTo);
        if (!pathSaveTo.empty() && newDir) folder = newDirectoryPath(folder);
        return folder;
    }
    if (pathSaveTo.empty()) return std::nullopt;
    return pathSaveTo;
}

std::string downloadFileName(const std::string& url) {
    std::string name = lastPathComponent(url);
    name = name.substr(0, name.find('?'));
    name = onlyFilename(name);
    // "." and ".." would name the folder itself or its parent.
    if (name.empty() || name == "." || name == "..") return "noname";
    return name;
}

std::string freeFileName(const std::string& folder, const std::string& name) {
    if (!existFile(pathByAppendingComponent(folder, name))) return name;
    std::string base = stringByDeletingPathExtension(name);
    std::string extension = pathExtension(name);
    for (int counter = 1;; ++counter) {
        std::string candidate = base + "-" + std::to_string(counter) + (extension.empty() ? "" : "." + extension);
        if (!existFile(pathByAppendingComponent(folder, candidate))) return candidate;
    }
}

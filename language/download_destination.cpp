// Destination folders and clash-free names of downloaded files.
#include "language/download_destination.h"

#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"

std::optional<std::string> downloadFolder(std::int64_t dest, const std::string& pathSaveTo, bool newDir) {
    if (dest == 1 || dest == 2) {
        std::string folder = dest == 2 ? withLibraryPath(pathSaveTo) : withDocumentPath(pathSaveTo);
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

// The keyed-archive file functions of GlobalBase: loads with retries, and saves that replace the
// file in one step so that a failure never leaves less than the previous file behind.
#include <string>

#include "foundation/global_base.h"
#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/keyed_archive.h"

namespace {
constexpr int kAttempts = 6;
}

std::optional<Value> GlobalBase::loadFromFilePath1(const std::string& path) {
    if (path.empty()) return std::nullopt;
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
    if (!root || root->isNull()) return std::nullopt;
    return std::move(root).value();
}

std::optional<Value> GlobalBase::loadFromFilePath(const std::string& path) {
    std::optional<Value> root;
    for (int attempt = 0; attempt < kAttempts && !root; ++attempt) root = loadFromFilePath1(path);
    return root;
}

bool GlobalBase::saveToFilePath1(const Value& object, const std::string& path) {
    if (path.empty()) return false;
    auto data = NSKeyedArchiver::archivedDataWithRootObject(object);
    if (!data) return false;
    // Written aside in the same folder and renamed over the old file: the old file stays whole
    // until the new one is complete, so no backup copy has to be moved around.
    return writeFileAtomically(path, *data).ok();
}

bool GlobalBase::saveToFilePath(const Value& object, const std::string& path) {
    if (path.empty()) return false;
    std::string parent = parentDirectory(path);
    if (!parent.empty() && !existDirectory(parent)) createDirectory(parent);
    bool saved = false;
    for (int attempt = 0; attempt < kAttempts && !saved; ++attempt) saved = saveToFilePath1(object, path);
    return saved;
}

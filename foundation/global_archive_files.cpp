// The keyed-archive file functions of GlobalBase: loads with retries, and saves that replace the
// file in one step so that a failure never leaves less than the previous file behind.
#include <optional>
#include <string>

#include "foundation/global_base.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
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

namespace {

// One attempt; the reason it failed, none on success.
std::optional<std::string> saveOnce(const Value& object, const std::string& path) {
    auto data = NSKeyedArchiver::archivedDataWithRootObject(object);
    if (!data) return "cannot archive the contents: " + data.error();
    // Written aside in the same folder and renamed over the old file: the old file stays whole
    // until the new one is complete, so no backup copy has to be moved around.
    auto written = writeFileAtomically(path, *data);
    if (!written) return written.error();
    return std::nullopt;
}

}  // namespace

bool GlobalBase::saveToFilePath1(const Value& object, const std::string& path) {
    return !path.empty() && !saveOnce(object, path);
}

bool GlobalBase::saveToFilePath(const Value& object, const std::string& path) {
    if (path.empty()) return false;
    std::string parent = parentDirectory(path);
    if (!parent.empty() && !existDirectory(parent)) createDirectory(parent);
    std::optional<std::string> failure;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        failure = saveOnce(object, path);
        if (!failure) return true;
    }
    // A full disk or a folder that cannot be written: said once, with the reason.
    Log::error("store", "cannot save " + path + " (" + std::to_string(kAttempts) + " attempts): " + *failure);
    return false;
}

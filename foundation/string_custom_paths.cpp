// Paths and files on strings.
#include "foundation/string_custom_paths.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/runtime/utf16.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/sandbox.h"
#include "platform/text/date_formatter.h"
#include "platform/ui/app/ui_screen.h"

namespace {

constexpr std::string_view kReserved = "\"%*/:<>?\\|";
constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXZY0123456789";

std::string appendComponent(const std::string& root, std::string_view name) {
    if (name.empty()) return root;
    return pathByAppendingComponent(root, name);
}

std::string withoutRoot(std::string_view path, const std::string& root) {
    auto at = path.find(root);
    if (root.empty() || at == std::string_view::npos) return std::string(path);
    std::string_view rest = path.substr(at + root.size());
    if (rest.empty()) return {};
    return std::string(rest.substr(1));
}

bool contains(std::string_view path, const std::string& root) {
    return !root.empty() && path.find(root) != std::string_view::npos;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The path up to and including its last "/": a sibling name appended to it stays next to the
// original, at the root too ("/tmp" -> "/"), and a bare name gets none.
std::string siblingPrefix(std::string_view path) {
    auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// Reads "<stem>-<digits>.<ext>" (the whole name) and gives the stem and the number plus one. A
// number too large to be counted on gives none, so the caller falls back to the plain counter.
std::optional<std::pair<std::string, long long>> numberedName(const std::string& name, const std::string& ext) {
    std::string suffix = "." + ext;
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    std::string stem = name.substr(0, name.size() - suffix.size());
    auto dash = stem.rfind('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == stem.size()) return std::nullopt;
    long long number = 0;
    for (std::size_t i = dash + 1; i < stem.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(stem[i]);
        if (!std::isdigit(c)) return std::nullopt;
        number = number > (INT_MAX - (c - '0')) / 10 ? INT_MAX : number * 10 + (c - '0');
    }
    if (number >= INT_MAX) return std::nullopt;
    return std::make_pair(stem.substr(0, dash), number + 1);
}

std::string byteCountText(std::uint64_t bytes) {
    char buffer[64];
    if (bytes == 1) return "1 byte";
    if (bytes < 1000) {
        std::snprintf(buffer, sizeof buffer, "%llu bytes", static_cast<unsigned long long>(bytes));
    } else if (bytes < 1000ull * 1000) {
        std::snprintf(buffer, sizeof buffer, "%.0f KB", static_cast<double>(bytes) / 1e3);
    } else if (bytes < 1000ull * 1000 * 1000) {
        std::snprintf(buffer, sizeof buffer, "%.1f MB", static_cast<double>(bytes) / 1e6);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.2f GB", static_cast<double>(bytes) / 1e9);
    }
    return buffer;
}

}  // namespace

std::string withLibraryPath(std::string_view name) {
    return appendComponent(Sandbox::libraryDirectory(), name);
}
std::string withDocumentPath(std::string_view name) {
    return appendComponent(Sandbox::documentsDirectory(), name);
}
std::string withCachePath(std::string_view name) {
    return appendComponent(Sandbox::cachesDirectory(), name);
}

std::optional<std::string> withBundlePath(std::string_view name) {
    if (name.empty()) return std::nullopt;
    return NSBundle::mainBundle()->pathForResource(name, {});
}

std::string withoutLibraryPath(std::string_view path) {
    return withoutRoot(path, withLibraryPath(""));
}
std::string withoutDocumentPath(std::string_view path) {
    return withoutRoot(path, withDocumentPath(""));
}
std::string withoutCachePath(std::string_view path) {
    return withoutRoot(path, withCachePath(""));
}

bool isInLibraryPath(std::string_view path) {
    return contains(path, withLibraryPath(""));
}
bool isInDocumentPath(std::string_view path) {
    return contains(path, withDocumentPath(""));
}
bool isInCachePath(std::string_view path) {
    return contains(path, withCachePath(""));
}
bool isLocalPath(std::string_view path) {
    return isInDocumentPath(path) || isInLibraryPath(path) || isInCachePath(path);
}
bool isExtFilePath(std::string_view path, std::string_view ext) {
    return lower(pathExtension(path)) == ext;
}

bool existFile(std::string_view path) {
    return !path.empty() && NSFileManager::defaultManager()->fileExistsAtPath(std::string(path));
}

bool existDirectory(std::string_view path) {
    bool isDirectory = false;
    return !path.empty() && NSFileManager::defaultManager()->fileExistsAtPath(std::string(path), &isDirectory) &&
           isDirectory;
}

bool createDirectory(std::string_view path) {
    return !path.empty() && NSFileManager::defaultManager()->createDirectoryAtPath(std::string(path), true).ok();
}

bool removeFile(std::string_view path, std::string_view category) {
    if (path.empty()) return false;
    const std::string item(path);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(item, error))) return false;
    return removeOneFileSaying(item, category);
}

void removeAllFilesInDirectory(std::string_view path, std::string_view category) {
    auto entries = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(std::string(path));
    if (!entries) return;
    for (const auto& entry : *entries) removeFile(pathByAppendingComponent(path, entry), category);
}

bool skipBackup(std::string_view path) {
    return existFile(path);
}

bool isFileExistWithExtensions(std::string_view path, const std::vector<std::string>& exts,
                               bool yesIfContainsDirectory) {
    auto entries = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(std::string(path));
    if (!entries) return false;
    for (const auto& entry : *entries) {
        bool isDirectory = existDirectory(pathByAppendingComponent(path, entry));
        if (isDirectory) {
            if (yesIfContainsDirectory) return true;
            continue;
        }
        std::string ext = lower(pathExtension(entry));
        for (const auto& wanted : exts)
            if (ext == wanted) return true;
    }
    return false;
}

std::string parentDirectory(std::string_view path) {
    auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string lastPathComponent(std::string_view path) {
    auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pathExtension(std::string_view path) {
    std::string name = lastPathComponent(path);
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return name.substr(dot + 1);
}

std::string stringByDeletingPathExtension(std::string_view name) {
    std::string ext = pathExtension(name);
    std::string text(name);
    if (ext.empty()) {
        // "a." has an empty extension whose dot still goes.
        if (!text.empty() && text.back() == '.' && lastPathComponent(text).size() > 1) text.pop_back();
        return text;
    }
    return text.substr(0, text.size() - ext.size() - 1);
}

std::string newFilePath(std::string_view path) {
    const std::string prefix = siblingPrefix(path);
    const std::string requested = lastPathComponent(path);
    const std::string requestedExt = pathExtension(requested);
    const std::string requestedStem = stringByDeletingPathExtension(requested);
    std::string candidate(path);
    int counter = 1;
    while (existFile(candidate)) {
        std::string current = lastPathComponent(candidate);
        std::string name;
        if (auto numbered = numberedName(current, pathExtension(current))) {
            name = numbered->first + "-" + std::to_string(numbered->second);
        } else {
            name = requestedStem + "-" + std::to_string(counter);
            if (counter < INT_MAX) ++counter;
        }
        if (!requestedExt.empty()) name += "." + requestedExt;
        candidate = prefix + name;
    }
    return candidate;
}

std::string newDirectoryPath(std::string_view path) {
    const std::string prefix = siblingPrefix(path);
    const std::string requested = lastPathComponent(path);
    std::string candidate(path);
    for (long long counter = 1; existFile(candidate) && counter < INT_MAX; ++counter)
        candidate = prefix + requested + "-" + std::to_string(counter);
    return candidate;
}

std::string fileName(std::string_view name) {
    // One "." per UTF-16 unit, so the length in characters stays the same.
    std::string out;
    for (char16_t unit : toUtf16(name)) {
        bool keep = unit < 0x80 && std::isalnum(static_cast<unsigned char>(unit));
        out.push_back(keep ? static_cast<char>(unit) : '.');
    }
    return out;
}

std::string onlyFilename(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (kReserved.find(c) != std::string_view::npos) c = '_';
    return out;
}

std::string onlyFilenameRemoveInvalid(std::string_view name) {
    std::string out;
    for (char c : name)
        if (kReserved.find(c) == std::string_view::npos) out.push_back(c);
    return out;
}

Value fileAttributes(std::string_view path) {
    Value facts = Value::dictionary();
    if (path.empty()) return facts;
    auto attributes = NSFileManager::defaultManager()->attributesOfItemAtPath(std::string(path));
    if (!attributes) return facts;
    const Value& a = *attributes;
    if (a[NSFileCreationDate].isDate()) facts.set("cdate", a[NSFileCreationDate]);
    if (a[NSFileModificationDate].isDate()) facts.set("udate", a[NSFileModificationDate]);
    if (a[NSFileSize].isNumber()) facts.set("size", a[NSFileSize]);
    if (a[NSFileType].isString()) facts.set("type", a[NSFileType]);
    return facts;
}

std::optional<double> fileCreationDate(std::string_view path) {
    Value facts = fileAttributes(path);
    if (!facts["cdate"].isDate()) return std::nullopt;
    return facts["cdate"].dateValue();
}

std::string fileSizeString(std::string_view path) {
    return byteCountText(fileAttributes(path)["size"].unsignedIntegerValue());
}

std::string fileLastModifiedString(std::string_view path) {
    Value facts = fileAttributes(path);
    if (!facts["udate"].isDate()) return {};
    bool tablet = UIScreen::mainScreen()->idiom() == UIUserInterfaceIdiom::Pad;
    NSDateFormatter formatter;
    formatter.setDateFormat(tablet ? "MMM d, y, h:mm a" : "M/d/yy, h:mm a");
    return formatter.stringFromDate(facts["udate"].dateValue());
}

std::optional<std::string> extractZip(std::string_view, std::string_view, const std::function<void(double)>&) {
    return std::nullopt;
}
std::optional<std::string> extractRar(std::string_view, std::string_view, const std::function<void(double)>&) {
    return std::nullopt;
}
std::optional<std::string> extract(std::string_view path, std::string_view destination,
                                   const std::function<void(double)>& progress) {
    if (auto out = extractZip(path, destination, progress)) return out;
    return extractRar(path, destination, progress);
}
bool existPassword(std::string_view) {
    return false;
}

std::string generateRandomString(std::size_t count) {
    std::random_device source;
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) out.push_back(kAlphabet[source() % kAlphabet.size()]);
    return out;
}

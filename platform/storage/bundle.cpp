// The main bundle: finding the resources folder, reading Info.plist, looking up resources.
#include "platform/storage/bundle.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/runtime/source_resources.h"
#include "platform/storage/property_list.h"

namespace fs = std::filesystem;

namespace {

std::mutex& bundleMutex() {
    static std::mutex mutex;
    return mutex;
}

struct MainBundleState {
    std::string root;  // set by setMainBundleRoot()
    std::shared_ptr<NSBundle> bundle;
};

MainBundleState& mainState() {
    static MainBundleState state;
    return state;
}

bool isBundleRoot(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path / "Info.plist", error);
}

std::string discoverRoot() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        // Next to the executable, or in a folder above it (build trees nest test binaries).
        for (fs::path dir = exe.parent_path(); !dir.empty(); dir = dir.parent_path()) {
            if (isBundleRoot(dir / "resources")) return (dir / "resources").string();
            if (dir == dir.root_path()) break;
        }
    }
    return kSourceResourcesFolder;
}

}  // namespace

std::shared_ptr<NSBundle> NSBundle::mainBundle() {
    std::lock_guard lock(bundleMutex());
    MainBundleState& state = mainState();
    if (!state.bundle) state.bundle = NSBundle::make(state.root.empty() ? discoverRoot() : state.root);
    return state.bundle;
}

void NSBundle::setMainBundleRoot(std::string path) {
    std::lock_guard lock(bundleMutex());
    mainState().root = std::move(path);
    mainState().bundle.reset();
}

std::shared_ptr<NSBundle> NSBundle::bundleWithPath(const std::string& path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) return nullptr;
    return NSBundle::make(path);
}

void NSBundle::init() {
    auto info = readPropertyListFile((fs::path(root_) / "Info.plist").string());
    info_ = info && info->isDictionary() ? *info : Value(ValueDictionary{});
}

std::optional<std::string> NSBundle::pathForResource(std::string_view name, std::string_view type,
                                                     std::string_view subdirectory) const {
    if (name.empty()) return std::nullopt;
    std::string file(name);
    if (!type.empty()) {
        if (type.front() != '.') file += '.';
        file += type;
    }
    // Names come from code and from data files; never let one climb out of the bundle.
    if (file.find("..") != std::string::npos || file.front() == '/' ||
        (!subdirectory.empty() && (subdirectory.find("..") != std::string::npos || subdirectory.front() == '/'))) {
        return std::nullopt;
    }
    std::vector<fs::path> folders{fs::path(root_)};
    for (const std::string& language : preferredLocalizations())
        folders.push_back(fs::path(root_) / (language + ".lproj"));
    folders.push_back(fs::path(root_) / "Base.lproj");
    std::error_code error;
    for (const fs::path& folder : folders) {
        fs::path candidate = subdirectory.empty() ? folder / file : folder / subdirectory / file;
        if (fs::exists(candidate, error)) return candidate.string();
    }
    return std::nullopt;
}

std::vector<std::string> NSBundle::pathsForResourcesOfType(std::string_view type, std::string_view subdirectory) const {
    std::string extension(type);
    if (!extension.empty() && extension.front() != '.') extension.insert(extension.begin(), '.');
    std::vector<std::string> paths;
    if (subdirectory.find("..") != std::string_view::npos) return paths;
    std::error_code error;
    fs::path folder = subdirectory.empty() ? fs::path(root_) : fs::path(root_) / subdirectory;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        if (extension.empty() || it->path().extension() == extension) paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> NSBundle::preferredLocalizations() const {
    std::lock_guard lock(localizationsMutex_);
    return localizations_;
}

std::vector<std::string> NSBundle::localizations() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() != ".lproj" || path.stem() == "Base" || !it->is_directory(error)) continue;
        names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void NSBundle::setPreferredLocalizations(std::vector<std::string> languages) {
    std::lock_guard lock(localizationsMutex_);
    localizations_ = std::move(languages);
}

Value NSBundle::infoDictionary() const {
    return info_.deepCopy();
}

Value NSBundle::objectForInfoDictionaryKey(std::string_view key) const {
    return info_[key].deepCopy();
}

std::string NSBundle::bundleIdentifier() const {
    return info_["CFBundleIdentifier"].stringValue();
}

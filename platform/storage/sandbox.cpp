// The sandbox's data folder and the standard folders inside it.
#include "platform/storage/sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace {

std::mutex& rootMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& rootOverride() {
    static std::string path;
    return path;
}

std::string defaultRoot() {
    if (const char* dir = std::getenv("KORVA_DATA_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/korva";
    const char* home = std::getenv("HOME");
    std::string base = (home && *home) ? home : "/tmp";
    return base + "/.local/share/korva";
}

// Creating is best effort: a folder that cannot be made shows up as a failure of the file
// operation that needs it, with that operation's message.
std::string ensured(std::string path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return path;
}

}  // namespace

void Sandbox::setRoot(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::lock_guard lock(rootMutex());
    rootOverride() = std::move(path);
}

std::string Sandbox::root() {
    std::string path;
    {
        std::lock_guard lock(rootMutex());
        path = rootOverride();
    }
    if (path.empty()) path = defaultRoot();
    return ensured(std::move(path));
}

std::string Sandbox::libraryDirectory() {
    return ensured(root() + "/Library");
}
std::string Sandbox::cachesDirectory() {
    return ensured(root() + "/Library/Caches");
}
std::string Sandbox::preferencesDirectory() {
    return ensured(root() + "/Library/Preferences");
}
std::string Sandbox::documentsDirectory() {
    return ensured(root() + "/Documents");
}
std::string Sandbox::temporaryDirectory() {
    return ensured(root() + "/tmp");
}

std::string NSHomeDirectory() {
    return Sandbox::root();
}

std::string NSTemporaryDirectory() {
    return Sandbox::temporaryDirectory() + "/";
}

std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domains, bool) {
    if (!(domains & NSUserDomainMask)) return {};
    switch (directory) {
        case NSLibraryDirectory: return {Sandbox::libraryDirectory()};
        case NSDocumentDirectory: return {Sandbox::documentsDirectory()};
        case NSCachesDirectory: return {Sandbox::cachesDirectory()};
    }
    return {};
}

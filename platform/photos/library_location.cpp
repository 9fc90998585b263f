// Finding the user's pictures folder.
#include "platform/photos/library_location.h"

#include <cstdlib>
#include <fstream>

namespace {

std::string home() {
    const char* h = std::getenv("HOME");
    return h && *h ? h : "/tmp";
}

// Reads XDG_PICTURES_DIR="$HOME/Pictures" from the user-dirs file.
std::string fromUserDirs() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string path = (config && *config ? std::string(config) : home() + "/.config") + "/user-dirs.dirs";
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_PICTURES_DIR=";
        if (line.rfind(key, 0) != 0) continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) v = home() + v.substr(5);
        if (!v.empty() && v[0] == '/') return v;
    }
    return "";
}

}  // namespace

std::string defaultPhotoLibraryDirectory() {
    const char* env = std::getenv("XDG_PICTURES_DIR");
    std::string pictures = env && *env ? env : fromUserDirs();
    if (pictures.empty()) pictures = home() + "/Pictures";
    return pictures + "/Korva";
}

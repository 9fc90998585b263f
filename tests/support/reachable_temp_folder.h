// A fresh folder for a test that lets another user in (the superuser's tests become an ordinary
// user, for whom permissions hold). That user must pass through every folder above it, which a
// TMPDIR inside a private folder (one under root's home, say) does not allow: the folder is then
// made under /tmp, which every user may enter, instead.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// True when every user may pass through the folder and each one above it.
inline bool everyoneCanEnter(std::filesystem::path folder) {
    std::error_code ec;
    folder = std::filesystem::absolute(folder, ec);
    if (ec) return false;
    while (true) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH)) return false;
        if (folder == folder.parent_path()) return true;
        folder = folder.parent_path();
    }
}

// A new empty folder named after `prefix` (made as mkdtemp does, so never one already there),
// open to every user for reading and entering; empty when none could be made.
inline std::filesystem::path makeFolderOthersCanEnter(const std::string& prefix) {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    if (!everyoneCanEnter(base)) base = "/tmp";
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) return {};
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

}  // namespace testsupport

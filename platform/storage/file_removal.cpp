// One file or nothing: unlinkat without AT_REMOVEDIR, which never takes a folder.
#include "platform/storage/file_removal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/runtime/log.h"

namespace {

std::atomic<RemovalHook> beforeRemoving{nullptr};

}  // namespace

int removeOneFile(int folder, const std::string& name) {
    if (name.empty()) return ENOENT;
    if (const RemovalHook hook = beforeRemoving.load()) hook(name);
    return ::unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
}

bool removeOneFileSaying(const std::string& path, std::string_view category) {
    const int error = removeOneFile(AT_FDCWD, path);
    if (error == 0) return true;
    if (error == ENOENT)
        Log::info(category, "nothing to remove at " + path + ": it went meanwhile");
    else
        Log::warning(category, "cannot remove " + path + " (" + std::strerror(error) + "); it stays");
    return false;
}

void setBeforeRemovingForTesting(RemovalHook hook) {
    beforeRemoving.store(hook);
}

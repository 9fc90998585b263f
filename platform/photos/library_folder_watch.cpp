// The library folder's changes from the kernel's file events.
#include "platform/photos/library_folder_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"

namespace {

// Only finished files: a copy under way gives its close when it is complete, and one written
// elsewhere and renamed in gives its move. A file linked in whole (a hard link, a finished
// temporary file) gives only its creation, while one created to be written is opened at once by
// the same call (its open follows its creation) and is news at its close. A file made readable
// gives only its change of permissions. Each write is not news.
constexpr std::uint32_t kFolderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_OPEN | IN_ATTRIB | IN_DELETE |
                                      IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;
// The folder's parent, for the folder's own name coming and going.
constexpr std::uint32_t kParentMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;
// Room for many events a read, so that a burst of copies is handed over in few batches.
constexpr std::size_t kBufferBytes = 64 * 1024;

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

Result<std::unique_ptr<LibraryFolderWatch>> LibraryFolderWatch::start(const std::string& folder, Handler handler) {
    int events = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events < 0) return fail(lastError("cannot watch the library folder"));
    int folderWatch = ::inotify_add_watch(events, folder.c_str(), kFolderMask);
    if (folderWatch < 0) {
        auto failure = fail(lastError("cannot watch the library folder"));
        ::close(events);
        return failure;
    }
    int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake < 0) {
        auto failure = fail(lastError("cannot watch the library folder"));
        ::close(events);
        return failure;
    }
    std::unique_ptr<LibraryFolderWatch> watch(new LibraryFolderWatch(events, wake, folder, std::move(handler)));
    watch->folderWatch_ = folderWatch;
    std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
    watch->name_ = path.filename().string();
    const std::string parent = path.has_parent_path() ? path.parent_path().string() : ".";
    watch->parentWatch_ = ::inotify_add_watch(events, parent.c_str(), kParentMask);
    if (watch->parentWatch_ < 0)
        Log::warning(kPhotosLog, lastError("the library folder is not followed if it is replaced; its parent"));
    watch->thread_ = std::thread([w = watch.get()] { w->run(); });
    return watch;
}

LibraryFolderWatch::LibraryFolderWatch(int events, int wake, std::string folder, Handler handler)
    : events_(events), wake_(wake), folder_(std::move(folder)), handler_(std::move(handler)) {}

LibraryFolderWatch::~LibraryFolderWatch() {
    const std::uint64_t one = 1;
    // A full counter still wakes the thread; nothing else can fail here.
    (void)!::write(wake_, &one, sizeof one);
    if (thread_.joinable()) thread_.join();
    ::close(events_);
    ::close(wake_);
}

void LibraryFolderWatch::run() {
    std::vector<char> buffer(kBufferBytes);
    for (;;) {
        pollfd fds[2] = {{events_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            Log::error(kPhotosLog, lastError("the library folder is no longer watched"));
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        for (;;) {
            long length = ::read(events_, buffer.data(), buffer.size());
            if (length < 0 && errno == EINTR) continue;
            if (length <= 0) break;  // drained (EAGAIN)
            if (!take(buffer.data(), length)) return;
        }
    }
}

bool LibraryFolderWatch::take(const char* buffer, long length) {
    FolderEvents batch;
    // Files created in this read and not opened by their creation: linked in whole.
    std::vector<std::string> linked;
    bool moved = false, parentGone = false;
    for (long at = 0; at < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const std::string name = event.len ? std::string(buffer + at + sizeof event) : std::string();  // NUL-padded
        at += static_cast<long>(sizeof event + event.len);
        if (event.mask & IN_Q_OVERFLOW) {
            // The folder's own news may be among what was dropped.
            batch.overflowed = moved = true;
            continue;
        }
        if (parentWatch_ >= 0 && event.wd == parentWatch_) {
            if (event.mask & kGone)
                parentGone = true;
            else if (name == name_)
                moved = true;
            continue;
        }
        // Events of a folder let go of are not this folder's.
        if (folderWatch_ < 0 || event.wd != folderWatch_) continue;
        if (event.mask & kGone) moved = true;
        if (name.empty() || (event.mask & IN_ISDIR)) continue;
        if (event.mask & IN_CREATE)
            linked.push_back(name);
        else if (event.mask & IN_OPEN)
            std::erase(linked, name);
        else
            batch.names.push_back(name);
    }
    batch.names.insert(batch.names.end(), linked.begin(), linked.end());
    if (parentGone && parentWatch_ >= 0) {
        (void)::inotify_rm_watch(events_, parentWatch_);
        parentWatch_ = -1;
        Log::warning(kPhotosLog, "the folder holding the library folder " + folder_ +
                                     " went away; the library folder is no longer followed by its name");
    }
    if (moved) {
        watchFolderAgain();
        batch.folderMoved = true;
    }
    batch.watching = folderWatch_ >= 0;
    if (!batch.names.empty() || batch.overflowed || batch.folderMoved) handler_(std::move(batch));
    if (folderWatch_ >= 0 || parentWatch_ >= 0) return true;
    Log::warning(kPhotosLog, "the library folder " + folder_ + " went away; its changes are no longer followed");
    return false;
}

void LibraryFolderWatch::watchFolderAgain() {
    // The same folder keeps its watch; another one's replaces it; none under the name ends it.
    int again = ::inotify_add_watch(events_, folder_.c_str(), kFolderMask);
    if (folderWatch_ >= 0 && again != folderWatch_) (void)::inotify_rm_watch(events_, folderWatch_);
    folderWatch_ = again >= 0 ? again : -1;
}

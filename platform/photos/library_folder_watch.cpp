// The library folder's changes from the kernel's file events.
#include "platform/photos/library_folder_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"

namespace {

// Only finished files: a copy under way gives its close when it is complete, and one written
// elsewhere and renamed in gives its move. Creation and each write are not news.
constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF |
                                IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;
// Room for many events a read, so that a burst of copies is handed over in few batches.
constexpr std::size_t kBufferBytes = 64 * 1024;

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

Result<std::unique_ptr<LibraryFolderWatch>> LibraryFolderWatch::start(const std::string& folder, Handler handler) {
    int events = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (events < 0) return fail(lastError("cannot watch the library folder"));
    if (::inotify_add_watch(events, folder.c_str(), kMask) < 0) {
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
    bool gone = false;
    for (long at = 0; at < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + at, sizeof event);
        const char* name = buffer + at + sizeof event;
        at += static_cast<long>(sizeof event + event.len);
        if (event.mask & IN_Q_OVERFLOW) batch.overflowed = true;
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) gone = true;
        if (event.len == 0 || (event.mask & IN_ISDIR)) continue;
        batch.names.emplace_back(name);  // NUL-padded to event.len
    }
    if (!batch.names.empty() || batch.overflowed) handler_(std::move(batch));
    if (gone)
        Log::warning(kPhotosLog, "the library folder " + folder_ + " went away; its changes are no longer followed");
    return !gone;
}

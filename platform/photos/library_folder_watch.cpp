// The library folder's changes from the kernel's file events.
#include "platform/photos/library_folder_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"

namespace {

// Only finished files: a copy under way gives its close when it is complete, and one written
// elsewhere and renamed in gives its move. A file linked in whole (a hard link, a finished
// temporary file) gives only its creation; one created to be written is opened at once by the same
// call and is news at its close, while any other program's open of it (a reader's) is closed
// without writing. A file made readable gives only its change of permissions. Each write is not
// news.
constexpr std::uint32_t kFolderMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_OPEN | IN_CLOSE_NOWRITE |
                                      IN_ATTRIB | IN_DELETE | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF |
                                      IN_ONLYDIR | IN_EXCL_UNLINK;
// The lowest folder above the folder that is there: the next name on the way down coming, going or
// made reachable, and the folder itself going or changing its permissions.
constexpr std::uint32_t kAboveMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;
// Room for many events a read, so that a burst of copies is handed over in few batches.
constexpr std::size_t kBufferBytes = 64 * 1024;
// Folders made on the way down while the watches are placed, looked at again this many times.
constexpr int kPlaceTries = 16;

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string pathOf(const std::vector<std::string>& names, std::size_t depth) {
    std::string path = "/";
    for (std::size_t i = 0; i < depth; ++i) path += (i ? "/" : "") + names[i];
    return path;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The folders to watch above the library folder, as they are now: each folder holding a link on
// the way, then the lowest folder that is there, by how many names lead to it, with the folder each
// path reaches (so that a link pointed elsewhere meanwhile shows).
struct Chain {
    std::vector<std::size_t> depths;
    std::vector<std::pair<dev_t, ino_t>> reached;
    bool operator==(const Chain&) const = default;
};

Chain chainOf(const std::vector<std::string>& names) {
    Chain chain;
    std::size_t there = 0;
    while (there + 1 < names.size() && isFolder(pathOf(names, there + 1))) ++there;
    for (std::size_t depth = 1; depth <= there; ++depth)
        if (isLink(pathOf(names, depth))) chain.depths.push_back(depth - 1);
    chain.depths.push_back(there);
    for (std::size_t depth : chain.depths) {
        struct stat info {};
        if (::stat(pathOf(names, depth).c_str(), &info) == 0) chain.reached.emplace_back(info.st_dev, info.st_ino);
    }
    return chain;
}

std::atomic<void (*)()> placingForTesting{nullptr};

}  // namespace

void LibraryFolderWatch::setPlacingForTesting(void (*placing)()) {
    placingForTesting = placing;
}

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
    std::error_code error;
    for (const auto& part : std::filesystem::absolute(folder, error).lexically_normal())
        if (!part.empty() && part != part.root_directory() && part != part.root_name())
            watch->names_.push_back(part.string());
    if (watch->names_.empty() || error) {
        Log::warning(kPhotosLog, "the library folder " + folder + " is not followed if it is replaced");
    } else {
        std::lock_guard lock(watch->placing_);
        watch->placeWatches();
        if (watch->above_.empty())
            Log::warning(kPhotosLog, lastError("the library folder is not followed if it is replaced; its parent"));
    }
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
            take(buffer.data(), length);
        }
    }
}

void LibraryFolderWatch::followAgain() {
    std::lock_guard lock(placing_);
    // Every file of the folder there now is looked at by the one who found it.
    if (placeWatches()) created_.clear();
}

bool LibraryFolderWatch::aboveEvent(int watch, std::uint32_t mask, const std::string& name, bool& replace) const {
    bool ours = false;
    for (const auto& above : above_) {
        if (above.watch != watch) continue;
        ours = true;
        // The folder went, its permissions changed, or the next name on the way down (a link's,
        // or under the parent the folder's own) came, went or may be reachable now. The folder's
        // own name is news only where another folder (or none) is under it now, so that a late
        // event of a replacement already followed is not news again.
        if ((mask & kGone) || (name.empty() && (mask & IN_ATTRIB)) || name == names_[above.depth]) replace = true;
    }
    return ours;
}

void LibraryFolderWatch::take(const char* buffer, long length) {
    FolderEvents batch;
    {
        std::lock_guard lock(placing_);
        bool moved = false, replace = false;
        for (long at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const std::string name = event.len ? std::string(buffer + at + sizeof event) : std::string();  // NUL-padded
            at += static_cast<long>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                // The folder's own news may be among what was dropped.
                batch.overflowed = moved = replace = true;
                continue;
            }
            if (aboveEvent(event.wd, event.mask, name, replace)) continue;
            // Events of a folder let go of are not this folder's.
            if (folderWatch_ < 0 || event.wd != folderWatch_) continue;
            if (event.mask & kGone) moved = true;
            if (name.empty() || (event.mask & IN_ISDIR)) continue;
            if (event.mask & IN_CREATE) {
                created_[name] = false;
            } else if (event.mask & IN_OPEN) {
                // A file opened once created may be its creator's to write (news at its close).
                if (auto it = created_.find(name); it != created_.end()) it->second = true;
            } else if (event.mask & IN_CLOSE_NOWRITE) {
                // Or another program's, which read it: an open is no proof that the file is being
                // written (the kernel gives two opens in a row as one), so it is looked at once; a
                // file still being written is refused then, and comes again at its close.
                if (created_.erase(name)) batch.names.push_back(name);
            } else {
                if (!(event.mask & IN_ATTRIB)) created_.erase(name);
                batch.names.push_back(name);
            }
        }
        // Files created and not opened: linked in whole.
        for (auto it = created_.begin(); it != created_.end();) {
            if (it->second) {
                ++it;
                continue;
            }
            batch.names.push_back(it->first);
            it = created_.erase(it);
        }
        const bool followed = folderWatch_ >= 0 || !above_.empty();
        if (replace || moved) moved |= placeWatches();
        // Every file of the folder there now is looked at.
        if (moved) created_.clear();
        batch.folderMoved = moved;
        batch.watching = folderWatch_ >= 0;
        if (followed && folderWatch_ < 0 && above_.empty())
            Log::warning(kPhotosLog,
                         "the library folder " + folder_ + " went away; its changes are no longer followed");
    }
    if (!batch.names.empty() || batch.overflowed || batch.folderMoved) handler_(std::move(batch));
}

bool LibraryFolderWatch::placeWatches() {
    const int before = folderWatch_;
    const std::size_t depthBefore = aboveDepth_;
    std::vector<Above> placed;
    std::vector<int> taken;  // every watch placed here, some let go of below
    for (int tries = 0; tries < kPlaceTries && !names_.empty(); ++tries) {
        const Chain chain = chainOf(names_);
        if (auto placing = placingForTesting.load()) placing();
        placed.clear();
        for (std::size_t i = 0; i + 1 < chain.depths.size(); ++i) {
            const std::size_t holder = chain.depths[i];
            int watch = ::inotify_add_watch(events_, pathOf(names_, holder).c_str(), kAboveMask);
            if (watch >= 0) placed.push_back({watch, holder});
        }
        // The lowest folder there; where it cannot be watched (no read permission), the lowest one
        // above that can.
        std::size_t depth = chain.depths.back();
        int watch = ::inotify_add_watch(events_, pathOf(names_, depth).c_str(), kAboveMask);
        while (watch < 0 && depth > 0)
            watch = ::inotify_add_watch(events_, pathOf(names_, --depth).c_str(), kAboveMask);
        if (watch >= 0) placed.push_back({watch, depth});
        aboveDepth_ = depth;
        for (const auto& above : placed) taken.push_back(above.watch);
        // A folder made, or a link changed, on the way before its watch was placed gives no
        // event: looked at again.
        if (chainOf(names_) == chain) break;
    }
    for (const auto& above : above_) taken.push_back(above.watch);
    std::sort(taken.begin(), taken.end());
    taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
    for (int watch : taken)
        if (std::none_of(placed.begin(), placed.end(), [&](const Above& a) { return a.watch == watch; }))
            (void)::inotify_rm_watch(events_, watch);
    above_ = std::move(placed);
    // The folder itself: the same one keeps its watch, another one's replaces it, and none under the
    // name (or none reachable) leaves it unwatched.
    int again = ::inotify_add_watch(events_, folder_.c_str(), kFolderMask);
    if (folderWatch_ >= 0 && again != folderWatch_) (void)::inotify_rm_watch(events_, folderWatch_);
    folderWatch_ = again >= 0 ? again : -1;
    // Said for whoever looks into it: a folder made and removed often would fill the log.
    if (aboveDepth_ != depthBefore && aboveDepth_ + 1 < names_.size() && !above_.empty())
        Log::debug(kPhotosLog, "the library folder " + folder_ + " is followed from " + pathOf(names_, aboveDepth_));
    return folderWatch_ != before;
}

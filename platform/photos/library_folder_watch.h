// LibraryFolderWatch: the names of files that are finished in one folder (closed after writing,
// moved or linked in, made readable) or leave it (deleted or moved out), whoever changed them, as
// the kernel reports them; and the folder itself going or coming back under its name.
// A file created there is reported at once when nobody opened it (a hard link), or else once an
// open of it is closed (with writing, its creator's; without, another program's that read it):
// a file being written that nobody else opens is not reported until it is closed. Sub-folders are
// not reported.
//
// The folder is followed by its name: the lowest folder above it that is there (its parent,
// normally) is watched for the next name on the way down, and so is each folder that holds a
// symbolic link on the way to it, for the link's name (a link pointed elsewhere, removed or
// replaced by a folder is news where the link is, not in the folder it names). When the folder is
// removed, moved away or replaced, or a folder or link above it goes or comes, the watch lets go of
// the old ones and takes the ones there now (if any) before it says so. A folder higher up moved
// away is not seen here; whoever finds that another folder (or none) is under the name says so
// with followAgain().
//
// Threads: one thread of its own blocks on the kernel's events and a wake-up, and calls the
// handler there, one batch of names at a time. followAgain() may be called on any other thread.
// Made and destroyed on any thread but the watch's own; the destructor wakes the thread and joins
// it, so the handler is not called once it has returned (the handler may use its owner's members
// while the watch is one of them, as long as the owner lets the watch go first).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/runtime/result.h"

struct FolderEvents {
    std::vector<std::string> names;
    // The kernel dropped events: any file of the folder may have changed unseen.
    bool overflowed = false;
    // The folder under the name went, came or was replaced: the files named are those of whichever
    // folder is there now.
    bool folderMoved = false;
    // Whether a folder under the name is watched now (after a move: whether one is back).
    bool watching = true;
};

class LibraryFolderWatch {
public:
    using Handler = std::function<void(FolderEvents events)>;

    // Fails (with the reason) where the folder cannot be watched: it does not exist, or the
    // system's limit on watches is reached. Where no folder above it can be watched, the folder is
    // watched while it stays where it is.
    static Result<std::unique_ptr<LibraryFolderWatch>> start(const std::string& folder, Handler handler);
    ~LibraryFolderWatch();

    // Places the watches again on the folder under the name now (if any) and the folders above it,
    // for a caller that found another folder (or none) under the name before the watch had news of
    // it. Whichever sees it first, the watch ends on what is there; the handler is not told.
    void followAgain();

    // Tests only: called each time the watches are placed, after the folders on the way have been
    // looked at and before they are watched (null: none).
    static void setPlacingForTesting(void (*placing)());

    LibraryFolderWatch(const LibraryFolderWatch&) = delete;
    LibraryFolderWatch& operator=(const LibraryFolderWatch&) = delete;

private:
    LibraryFolderWatch(int events, int wake, std::string folder, Handler handler);
    void run();
    // Hands one read's worth of events to the handler.
    void take(const char* buffer, long length);
    // Whether the event is one of a folder watched above the folder; sets `replace` where it means
    // that the watches are to be placed again.
    bool aboveEvent(int watch, std::uint32_t mask, const std::string& name, bool& replace) const;
    // Watches the lowest folder above the folder that is there and the folders holding links on
    // the way, and the folder under the name now (if any); whether the folder's watch changed.
    // Under placing_.
    bool placeWatches();

    const int events_;  // the kernel's event queue for the folder and the folder above it
    const int wake_;    // written once to end the thread
    const std::string folder_;
    const Handler handler_;
    // The folder's path from the root, one name each: the last is the folder's own.
    std::vector<std::string> names_;
    // The watches and what they follow, placed by the watch's thread or followAgain().
    std::mutex placing_;
    int folderWatch_ = -1;  // none while no folder is under the name
    // A folder watched above the folder: how many names of the path lead to it, so that the next
    // one is the name it is watched for.
    struct Above {
        int watch;
        std::size_t depth;
    };
    // The lowest folder above the folder that is there (the deepest), and each one holding a link.
    std::vector<Above> above_;
    std::size_t aboveDepth_ = 0;  // the lowest one's
    // Files created in the folder and not reported yet, with whether they were opened since.
    std::unordered_map<std::string, bool> created_;
    std::thread thread_;
};

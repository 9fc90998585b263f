// LibraryFolderWatch: the names of files that are finished in one folder (closed after writing,
// moved or linked in, made readable) or leave it (deleted or moved out), whoever changed them, as
// the kernel reports them; and the folder itself going or coming back under its name.
// A file still being written is not reported until it is closed; sub-folders are not reported.
//
// The folder is followed by its name: its parent is watched for that name, and when the folder
// under it is removed, moved away or replaced, the watch lets go of the old one and takes the one
// there now (if any) before it says so.
//
// Threads: one thread of its own blocks on the kernel's events and a wake-up, and calls the
// handler there, one batch of names at a time. Made and destroyed on any thread but the watch's
// own; the destructor wakes the thread and joins it, so the handler is not called once it has
// returned (the handler may use its owner's members while the watch is one of them, as long as
// the owner lets the watch go first).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
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
    // system's limit on watches is reached. A parent that cannot be watched leaves the folder
    // watched while it stays where it is.
    static Result<std::unique_ptr<LibraryFolderWatch>> start(const std::string& folder, Handler handler);
    ~LibraryFolderWatch();

    LibraryFolderWatch(const LibraryFolderWatch&) = delete;
    LibraryFolderWatch& operator=(const LibraryFolderWatch&) = delete;

private:
    LibraryFolderWatch(int events, int wake, std::string folder, Handler handler);
    void run();
    // Hands one read's worth of events to the handler; false once nothing is watched any more.
    bool take(const char* buffer, long length);
    // After the folder moved: the watch on whatever folder is under the name now.
    void watchFolderAgain();

    const int events_;  // the kernel's event queue for the folder and its parent
    const int wake_;    // written once to end the thread
    const std::string folder_;
    const Handler handler_;
    std::string name_;      // the folder's last component, as its parent lists it
    int folderWatch_ = -1;  // none while no folder is under the name
    int parentWatch_ = -1;
    std::thread thread_;
};

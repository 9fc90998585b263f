// LibraryFolderWatch: the names of files that are finished in one folder (closed after writing or
// moved in) or leave it (deleted or moved out), whoever changed them, as the kernel reports them.
// A file still being written is not reported until it is closed; sub-folders are not reported.
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
};

class LibraryFolderWatch {
public:
    using Handler = std::function<void(FolderEvents events)>;

    // Fails (with the reason) where the folder cannot be watched: it does not exist, or the
    // system's limit on watches is reached.
    static Result<std::unique_ptr<LibraryFolderWatch>> start(const std::string& folder, Handler handler);
    ~LibraryFolderWatch();

    LibraryFolderWatch(const LibraryFolderWatch&) = delete;
    LibraryFolderWatch& operator=(const LibraryFolderWatch&) = delete;

private:
    LibraryFolderWatch(int events, int wake, std::string folder, Handler handler);
    void run();
    // Hands one read's worth of events to the handler; false once the folder itself is gone.
    bool take(const char* buffer, long length);

    const int events_;  // the kernel's event queue for the folder
    const int wake_;    // written once to end the thread
    const std::string folder_;
    const Handler handler_;
    std::thread thread_;
};

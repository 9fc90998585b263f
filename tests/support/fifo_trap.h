// A named pipe where a file is expected: a reader that opens it blocking would wait for a writer
// for ever. runsPastFifos runs the work on a thread and, should it still be waiting after a generous
// bound, opens the pipes' far ends so that the reader goes on and the test fails rather than hangs.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

inline bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

// True when the work finished without anyone opening the far end of the pipes.
inline bool runsPastFifos(const std::vector<std::string>& fifos, std::function<void()> work) {
    std::packaged_task<void()> task(std::move(work));
    auto done = task.get_future();
    std::thread runner(std::move(task));
    bool finished = done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        for (const std::string& fifo : fifos) {
            int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }
    runner.join();
    return finished;
}

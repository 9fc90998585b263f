// A display that accepts the connection and never answers, for the time limit on reaching one.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

// A listener on the display socket of an unused display number that accepts and never answers. The
// number is held by its lock file, as an X server holds one, so that another runner's server or
// listener on this machine passes it by.
class SilentDisplay {
public:
    SilentDisplay() {
        std::filesystem::create_directories("/tmp/.X11-unix");
        std::random_device random;
        const int first = 180 + static_cast<int>(random() % 60);
        for (int i = 0; i < 60 && fd_ < 0; ++i) {
            const int number = 180 + (first - 180 + i) % 60;
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            int held = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0444);
            if (held < 0) continue;
            char pid[16];
            const int length = std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(::getpid()));
            const bool written = ::write(held, pid, length) == length;
            ::close(held);
            const std::filesystem::path socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
            int fd = written ? ::socket(AF_UNIX, SOCK_STREAM, 0) : -1;
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
            if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::listen(fd, 8) == 0) {
                fd_ = fd;
                path_ = socketPath;
                lock_ = lock;
                name_ = ":" + std::to_string(number);
            } else {
                if (fd >= 0) ::close(fd);
                std::filesystem::remove(lock);
            }
        }
    }
    ~SilentDisplay() {
        for (int c : accepted_) ::close(c);
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) std::filesystem::remove(path_);
        if (!lock_.empty()) std::filesystem::remove(lock_);
    }
    bool ready() const { return fd_ >= 0; }
    const std::string& name() const { return name_; }

    // Whether a client has connected (it is accepted and then left waiting).
    bool connected(double seconds) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(seconds * 1000)) > 0) accepted_.push_back(::accept(fd_, nullptr, nullptr));
        return !accepted_.empty();
    }

private:
    int fd_ = -1;
    std::filesystem::path path_;
    std::filesystem::path lock_;
    std::string name_;
    std::vector<int> accepted_;
};

}  // namespace testsupport

// A display that accepts the connection and never answers, for the time limit on reaching one.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

// The address of display `number`'s socket in the abstract namespace ("@/tmp/.X11-unix/X<n>"), which
// clients try before the path and which is shared by every /tmp on the machine (a container's or a
// chroot's too, where they share the network); returns its length.
inline socklen_t abstractDisplayAddress(int number, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

// A listener on the display sockets of an unused display number that accepts and never answers.
// The number is held as an X server holds one, by its lock file, its socket in the abstract
// namespace and its socket under /tmp/.X11-unix, so that a server or listener of another runner,
// on this machine or in another /tmp of it, passes it by, and no client reaches another server by
// that number in its place. The number is taken from `count` numbers from `first` on.
class SilentDisplay {
public:
    explicit SilentDisplay(int first = 180, int count = 60) {
        std::error_code ignored;
        std::filesystem::create_directories("/tmp/.X11-unix", ignored);
        std::random_device random;
        const int start = static_cast<int>(random() % static_cast<unsigned>(count));
        for (int i = 0; i < count && fds_.empty(); ++i) take(first + (start + i) % count);
    }
    ~SilentDisplay() {
        for (int c : accepted_) ::close(c);
        for (int fd : fds_) ::close(fd);
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
        if (!lock_.empty()) std::filesystem::remove(lock_, ignored);
    }
    SilentDisplay(const SilentDisplay&) = delete;
    SilentDisplay& operator=(const SilentDisplay&) = delete;

    bool ready() const { return !fds_.empty(); }
    const std::string& name() const { return name_; }

    // Whether a client has connected, by either socket (it is accepted and then left waiting).
    bool connected(double seconds) {
        if (!accepted_.empty()) return true;
        std::vector<pollfd> listening;
        for (int fd : fds_) listening.push_back({fd, POLLIN, 0});
        if (::poll(listening.data(), listening.size(), static_cast<int>(seconds * 1000)) > 0)
            for (const pollfd& p : listening)
                if (p.revents & POLLIN) accepted_.push_back(::accept(p.fd, nullptr, nullptr));
        return !accepted_.empty();
    }

private:
    // Holds `number` by its three marks, or leaves none of them.
    void take(int number) {
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const int held = ::open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0444);
        if (held < 0) return;
        char pid[16];
        const int length = std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(::getpid()));
        const bool written = ::write(held, pid, length) == length;
        ::close(held);

        sockaddr_un abstract{};
        const socklen_t abstractLength = abstractDisplayAddress(number, abstract);
        const int inAbstract = written ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
        const bool abstractHeld = inAbstract >= 0 &&
                                  ::bind(inAbstract, reinterpret_cast<sockaddr*>(&abstract), abstractLength) == 0 &&
                                  ::listen(inAbstract, 8) == 0;

        const std::filesystem::path socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
        sockaddr_un byPath{};
        byPath.sun_family = AF_UNIX;
        std::snprintf(byPath.sun_path, sizeof byPath.sun_path, "%s", socketPath.c_str());
        const int onPath = abstractHeld ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
        const bool pathHeld = onPath >= 0 && ::bind(onPath, reinterpret_cast<sockaddr*>(&byPath), sizeof byPath) == 0 &&
                              ::listen(onPath, 8) == 0;
        if (pathHeld) {
            fds_ = {inAbstract, onPath};
            path_ = socketPath;
            lock_ = lock;
            name_ = ":" + std::to_string(number);
            return;
        }
        if (onPath >= 0) ::close(onPath);
        if (inAbstract >= 0) ::close(inAbstract);
        std::error_code ignored;
        std::filesystem::remove(lock, ignored);
    }

    std::vector<int> fds_;
    std::filesystem::path path_;
    std::filesystem::path lock_;
    std::string name_;
    std::vector<int> accepted_;
};

}  // namespace testsupport

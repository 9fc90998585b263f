// A file descriptor owned alone: closed on every way out of the scope that holds it.
#pragma once

#include <unistd.h>

#include <utility>

struct OwnedDescriptor {
    int fd = -1;

    OwnedDescriptor() = default;
    explicit OwnedDescriptor(int descriptor) : fd(descriptor) {}
    // Moved, never copied: a copy would close the descriptor a second time, perhaps after its
    // number was given to another file.
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    OwnedDescriptor(OwnedDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    OwnedDescriptor& operator=(OwnedDescriptor&& other) noexcept {
        if (this != &other) {
            if (fd >= 0) ::close(fd);
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }
    ~OwnedDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

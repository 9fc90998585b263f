// A file descriptor owned alone: closed on every way out of the scope that holds it.
#pragma once

#include <unistd.h>

struct OwnedDescriptor {
    int fd = -1;
    ~OwnedDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

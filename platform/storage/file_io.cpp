// Whole-file reads and atomic writes on POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/new_file.h"
#include "platform/storage/owned_descriptor.h"
#include "platform/storage/temporary_name.h"

namespace {

Failure failure(const std::string& what, const std::string& path, int error) {
    return fail(what + " " + path + ": " + std::strerror(error));
}

std::atomic<ReadFaultCheck> readFault{nullptr};

// How many names a new file tries before it gives up.
constexpr int kMostNewNames = 10000;

}  // namespace

void setReadFaultForTesting(ReadFaultCheck check) {
    readFault.store(check);
}

Result<Bytes> readFileData(const std::string& path) {
    // Opened without blocking, so that a pipe or device under the name cannot hold the caller.
    OwnedDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return failure("cannot open", path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return failure("cannot read", path, errno);
    if (!S_ISREG(info.st_mode)) return fail("not a regular file: " + path);
    if (const ReadFaultCheck check = readFault.load(std::memory_order_relaxed))
        if (const int error = check(path)) return failure("cannot read", path, error);
    Bytes data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return failure("cannot read", path, errno);
        }
        if (got == 0) break;
        data.insert(data.end(), buffer, buffer + got);
    }
    return data;
}

namespace {

// A step of a write that failed: what it did, on which path, and the error number.
struct WriteStep {
    const char* what = nullptr;
    std::string where;
    int error = 0;
};

std::atomic<PlacementHook> beforePlacing{nullptr};

// Whether the descriptor and the name in the folder are one file.
bool sameFile(int fd, int folder, const std::string& name) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// A lock on the whole file, through its open file: it conflicts with any other open of the file,
// in this program or another, and goes with the last descriptor of this one (or its process).
int lockWhole(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return 0;
    return errno;
}

// Whether a lock error says that another holds the file, rather than that the file system has no
// locks (where a temporary file is then written and settled as it was before there were any).
bool heldElsewhere(int error) {
    return error == EAGAIN || error == EACCES;
}

// A new empty file in the folder under a temporary name of the program's own shape
// (newTemporaryName), made as mkstemp makes one, but relative to the folder's descriptor: the
// folder keeps it wherever the folder is moved meanwhile. The file is locked for writing as soon
// as it is made, and stays so for as long as the descriptor is open: an open of the library that
// finds it then leaves it to the write. One that an open claimed
// first (it finds it empty, and removes it) is given up for another.
int openTemporary(int folder, const std::string& name, std::string& temporary) {
    for (int attempt = 0; attempt < kMostNewNames; ++attempt) {
        temporary = newTemporaryName(name);
        OwnedDescriptor file{
            ::openat(folder, temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
        if (file.fd < 0) {
            if (errno != EEXIST) return -1;
            continue;
        }
        const int locked = lockWhole(file.fd, F_WRLCK);
        // Once locked, the name is the file's until the write gives it up.
        if (!sameFile(file.fd, folder, temporary)) continue;
        if (heldElsewhere(locked)) {
            ::unlinkat(folder, temporary.c_str(), 0);
            continue;
        }
        return std::exchange(file.fd, -1);
    }
    errno = EEXIST;
    return -1;
}

// The data in a new temporary file of `name` in the folder, with the mode, flushed to disk
// and closed; `temporary` is its name there, and `hold` a second descriptor of it that keeps its
// lock until the caller has given it its name. A failed step leaves nothing behind. `label` names
// the folder in failures.
std::optional<WriteStep> writeTemporary(int folder, const std::string& label, const std::string& name,
                                        std::string_view data, mode_t mode, std::string& temporary,
                                        OwnedDescriptor& hold) {
    OwnedDescriptor file{openTemporary(folder, name, temporary)};
    if (file.fd < 0) return WriteStep{"cannot write in", label, errno};
    auto abandon = [&](const char* what) {
        int error = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        return WriteStep{what, pathByAppendingComponent(label, name), error};
    };
    // The file is made private.
    if (::fchmod(file.fd, mode) != 0) return abandon("cannot set permissions of");
    if (!writeAllToDescriptor(file.fd, data.data(), data.size())) return abandon("cannot write");
    if (::fsync(file.fd) != 0) return abandon("cannot flush");
    hold = OwnedDescriptor{::fcntl(file.fd, F_DUPFD_CLOEXEC, 0)};
    if (hold.fd < 0) return abandon("cannot write");
    int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0) return abandon("cannot close");
    if (const PlacementHook hook = beforePlacing.load()) hook(temporary);
    return std::nullopt;
}

// Makes the renames in the folder durable; a failure here no longer endangers any file.
void syncFolder(int folder) {
    OwnedDescriptor directory{::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd >= 0) ::fsync(directory.fd);
}

// The folder by its name, held for one write: every step of it then happens in that one folder.
int openFolder(const std::string& folder) {
    return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

int placeWithoutReplacing(int folder, const std::string& temporary, const std::string& name) {
    const char* from = temporary.c_str();
    const char* to = name.c_str();
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the exclusive rename: a second name for the file, which only a free
    // name takes, then the temporary name goes.
    if (::linkat(folder, from, folder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return errno;
    // Nor links (a FAT disk): the name is claimed with an empty file of its own, which the
    // temporary file then replaces.
    int claimed = ::openat(folder, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (claimed < 0) return errno;
    ::close(claimed);
    if (::renameat(folder, from, folder, to) != 0) {
        int error = errno;
        ::unlinkat(folder, to, 0);
        return error;
    }
    return 0;
}

LeftTemporary claimLeftTemporary(int folder, const std::string& temporary, OwnedDescriptor& claim) {
    claim =
        OwnedDescriptor{::openat(folder, temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    // What cannot be opened here (a link; another user's file) has no lock to ask: it is the
    // caller's to check, and a file it cannot read is one it cannot tell to be remains either.
    if (claim.fd < 0) return errno == ENOENT ? LeftTemporary::Gone : LeftTemporary::LeftOver;
    if (heldElsewhere(lockWhole(claim.fd, F_RDLCK))) {
        claim = OwnedDescriptor{};
        return LeftTemporary::BeingWritten;
    }
    // Under the claim, the name stays the file's: a write that made it gives it up on finding it
    // claimed, and one that had locked it first is done with it.
    if (!sameFile(claim.fd, folder, temporary)) {
        claim = OwnedDescriptor{};
        return LeftTemporary::Gone;
    }
    return LeftTemporary::LeftOver;
}

void setBeforePlacingForTesting(PlacementHook hook) {
    beforePlacing.store(hook);
}

Result<void> writeFileAtomically(const std::string& path, std::string_view data, WriteFailureText text) {
    if (path.empty() || path.back() == '/') return fail("not a file path: '" + path + "'");
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const bool withPath = text == WriteFailureText::WithPath;
    auto failed = [&](const char* what, const std::string& where, int error) {
        return withPath ? failure(what, where, error) : fail(std::strerror(error));
    };
    OwnedDescriptor held{openFolder(folder)};
    if (held.fd < 0) return failed("cannot write in", folder, errno);

    struct stat existing {};
    bool hadFile = ::fstatat(held.fd, name.c_str(), &existing, 0) == 0;
    if (hadFile && S_ISDIR(existing.st_mode))
        return fail(withPath ? "cannot write over folder " + path : std::string("a folder is in its place"));

    // Keep the old file's permissions, else the usual ones.
    mode_t mode = hadFile ? (existing.st_mode & 07777) : 0644;
    std::string temporary;
    OwnedDescriptor hold;
    if (auto step = writeTemporary(held.fd, folder, name, data, mode, temporary, hold))
        return failed(step->what, step->where, step->error);
    if (::renameat(held.fd, temporary.c_str(), held.fd, name.c_str()) != 0) {
        int error = errno;
        ::unlinkat(held.fd, temporary.c_str(), 0);
        return failed("cannot replace", path, error);
    }
    syncFolder(held.fd);
    return {};
}

Result<std::string> writeNewFileAtomically(int folder, const std::string& label,
                                           const std::function<std::string(int)>& nameFor, std::string_view data,
                                           WriteFailureText text) {
    const bool withPath = text == WriteFailureText::WithPath;
    auto failed = [&](const char* what, const std::string& where, int error) {
        return withPath ? failure(what, where, error) : fail(std::strerror(error));
    };
    const std::string first = nameFor(0);
    std::string temporary;
    OwnedDescriptor hold;
    if (auto step = writeTemporary(folder, label, first, data, 0644, temporary, hold))
        return failed(step->what, step->where, step->error);
    for (int attempt = 0; attempt < kMostNewNames; ++attempt) {
        const std::string name = attempt ? nameFor(attempt) : first;
        const int error = placeWithoutReplacing(folder, temporary, name);
        if (error == 0) {
            syncFolder(folder);
            return name;
        }
        if (error != EEXIST) {
            ::unlinkat(folder, temporary.c_str(), 0);
            return failed("cannot put in place", pathByAppendingComponent(label, name), error);
        }
    }
    ::unlinkat(folder, temporary.c_str(), 0);
    return fail(withPath ? "no free name for " + pathByAppendingComponent(label, first)
                         : std::string("every name for it is taken"));
}

Result<std::string> writeNewFileAtomically(const std::string& folder, const std::function<std::string(int)>& nameFor,
                                           std::string_view data, WriteFailureText text) {
    OwnedDescriptor held{openFolder(folder)};
    if (held.fd < 0)
        return text == WriteFailureText::WithPath ? failure("cannot write in", folder, errno)
                                                  : fail(std::strerror(errno));
    return writeNewFileAtomically(held.fd, folder, nameFor, data, text);
}

Result<void> writeFileAtomically(const std::string& path, const Bytes& data, WriteFailureText text) {
    return writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), text);
}

bool writeAllToDescriptor(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

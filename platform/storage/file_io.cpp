// Whole-file reads and atomic writes on POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"
#include "platform/storage/new_file.h"

namespace {

Failure failure(const std::string& what, const std::string& path, int error) {
    return fail(what + " " + path + ": " + std::strerror(error));
}

// Closes the descriptor on every path out.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::atomic<ReadFaultCheck> readFault{nullptr};

// How many names a new file tries before it gives up.
constexpr int kMostNewNames = 10000;

}  // namespace

void setReadFaultForTesting(ReadFaultCheck check) {
    readFault.store(check);
}

Result<Bytes> readFileData(const std::string& path) {
    // Opened without blocking, so that a pipe or device under the name cannot hold the caller.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
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

// The data in a new temporary file ".<name>.XXXXXX" in the folder, with the mode, flushed to disk
// and closed; `temporary` is its path. A failed step leaves nothing behind.
std::optional<WriteStep> writeTemporary(const std::string& folder, const std::string& name, std::string_view data,
                                        mode_t mode, std::string& temporary) {
    temporary = folder + "/." + name + ".XXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) return WriteStep{"cannot write in", folder, errno};
    auto abandon = [&](const char* what) {
        int error = errno;
        ::unlink(temporary.c_str());
        return WriteStep{what, pathByAppendingComponent(folder, name), error};
    };
    // mkstemp makes the file private.
    if (::fchmod(file.fd, mode) != 0) return abandon("cannot set permissions of");
    if (!writeAllToDescriptor(file.fd, data.data(), data.size())) return abandon("cannot write");
    if (::fsync(file.fd) != 0) return abandon("cannot flush");
    int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) return abandon("cannot close");
    return std::nullopt;
}

// Makes the renames in the folder durable; a failure here no longer endangers any file.
void syncFolder(const std::string& folder) {
    Descriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd >= 0) ::fsync(directory.fd);
}

// Gives the temporary file the name where the name is free: 0 once it has it, else the error
// number, EEXIST while another file has the name.
int placeWithoutReplacing(const std::string& temporary, const std::string& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the exclusive rename: a second name for the file, which only a free
    // name takes, then the temporary name goes.
    if (::link(temporary.c_str(), path.c_str()) == 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return errno;
    // Nor links (a FAT disk): the name is claimed with an empty file of its own, which the
    // temporary file then replaces.
    int claimed = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (claimed < 0) return errno;
    ::close(claimed);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(path.c_str());
        return error;
    }
    return 0;
}

}  // namespace

Result<void> writeFileAtomically(const std::string& path, std::string_view data, WriteFailureText text) {
    if (path.empty() || path.back() == '/') return fail("not a file path: '" + path + "'");
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const bool withPath = text == WriteFailureText::WithPath;
    auto failed = [&](const char* what, const std::string& where, int error) {
        return withPath ? failure(what, where, error) : fail(std::strerror(error));
    };

    struct stat existing {};
    bool hadFile = ::stat(path.c_str(), &existing) == 0;
    if (hadFile && S_ISDIR(existing.st_mode))
        return fail(withPath ? "cannot write over folder " + path : std::string("a folder is in its place"));

    // Keep the old file's permissions, else the usual ones.
    mode_t mode = hadFile ? (existing.st_mode & 07777) : 0644;
    std::string temporary;
    if (auto step = writeTemporary(folder, name, data, mode, temporary))
        return failed(step->what, step->where, step->error);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return failed("cannot replace", path, error);
    }
    syncFolder(folder);
    return {};
}

Result<std::string> writeNewFileAtomically(const std::string& folder, const std::function<std::string(int)>& nameFor,
                                           std::string_view data, WriteFailureText text) {
    const bool withPath = text == WriteFailureText::WithPath;
    auto failed = [&](const char* what, const std::string& where, int error) {
        return withPath ? failure(what, where, error) : fail(std::strerror(error));
    };
    const std::string first = nameFor(0);
    std::string temporary;
    if (auto step = writeTemporary(folder, first, data, 0644, temporary))
        return failed(step->what, step->where, step->error);
    for (int attempt = 0; attempt < kMostNewNames; ++attempt) {
        const std::string name = attempt ? nameFor(attempt) : first;
        const std::string path = pathByAppendingComponent(folder, name);
        const int error = placeWithoutReplacing(temporary, path);
        if (error == 0) {
            syncFolder(folder);
            return name;
        }
        if (error != EEXIST) {
            ::unlink(temporary.c_str());
            return failed("cannot put in place", path, error);
        }
    }
    ::unlink(temporary.c_str());
    return fail(withPath ? "no free name for " + pathByAppendingComponent(folder, first)
                         : std::string("every name for it is taken"));
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

// Whole-file reads and atomic writes on POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/storage/file_manager.h"
#include "platform/storage/file_read_fault.h"

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

    std::string temporary = folder + "/." + name + ".XXXXXX";
    Descriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) return failed("cannot write in", folder, errno);

    auto abandon = [&](const char* what) {
        int error = errno;
        ::unlink(temporary.c_str());
        return failed(what, path, error);
    };
    // mkstemp makes the file private; keep the old file's permissions, else the usual ones.
    mode_t mode = hadFile ? (existing.st_mode & 07777) : 0644;
    if (::fchmod(file.fd, mode) != 0) return abandon("cannot set permissions of");
    if (!writeAllToDescriptor(file.fd, data.data(), data.size())) {
        return abandon("cannot write");
    }
    if (::fsync(file.fd) != 0) return abandon("cannot flush");
    int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) return abandon("cannot close");
    if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon("cannot replace");

    // Make the rename itself durable; a failure here no longer endangers either file.
    Descriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd >= 0) ::fsync(directory.fd);
    return {};
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

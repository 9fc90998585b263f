// Resume data as a few labelled lines of text behind a fixed first line.
#include "platform/net/url_resume_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <optional>
#include <random>
#include <string_view>

#include "platform/net/url.h"
#include "platform/storage/sandbox.h"

namespace {

constexpr std::string_view kMagic = "korva-resume-data 1";
constexpr std::string_view kFilePrefix = "download-";
constexpr std::string_view kFileSuffix = ".tmp";

// A run of decimal digits, as makeDownloadFile writes them.
bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "download-<digits>-<digits>.tmp", the only names makeDownloadFile gives.
bool isDownloadFileName(std::string_view name) {
    if (name.size() <= kFilePrefix.size() + kFileSuffix.size() || name.substr(0, kFilePrefix.size()) != kFilePrefix ||
        name.substr(name.size() - kFileSuffix.size()) != kFileSuffix) {
        return false;
    }
    name = name.substr(kFilePrefix.size(), name.size() - kFilePrefix.size() - kFileSuffix.size());
    std::size_t dash = name.find('-');
    return dash != std::string_view::npos && allDigits(name.substr(0, dash)) && allDigits(name.substr(dash + 1));
}

// The file's name when the path names a file directly inside `folder` by a name of ours.
std::optional<std::string_view> downloadFileName(const std::string& path, const std::string& folder) {
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 || path[folder.size()] != '/')
        return std::nullopt;
    std::string_view name = std::string_view(path).substr(folder.size() + 1);
    if (!isDownloadFileName(name)) return std::nullopt;
    return name;
}

bool hasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

Bytes encodeResumeData(const URLResumeRecord& record) {
    std::string text = std::string(kMagic) + "\nurl " + record.url + "\nfile " + record.partialFile + "\noffset " +
                       std::to_string(record.offset) + "\nvalidator " + record.validator + "\n";
    // Only when the request set a cap, so that data without one reads as before.
    if (record.maximumBody) text += "limit " + std::to_string(*record.maximumBody) + "\n";
    return Bytes(text.begin(), text.end());
}

std::optional<URLResumeRecord> decodeResumeData(const Bytes& data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    auto nextLine = [&text]() -> std::optional<std::string_view> {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        return line;
    };
    auto field = [&](std::string_view label) -> std::optional<std::string> {
        auto line = nextLine();
        if (!line || line->substr(0, label.size() + 1) != std::string(label) + " ") return std::nullopt;
        return std::string(line->substr(label.size() + 1));
    };
    auto magic = nextLine();
    if (!magic || *magic != kMagic) return std::nullopt;
    auto url = field("url");
    auto file = field("file");
    auto offset = field("offset");
    auto validator = field("validator");
    if (!url || !file || !offset || !validator) return std::nullopt;
    URLResumeRecord record{*url, *file, 0, *validator, std::nullopt};
    auto [end, status] = std::from_chars(offset->data(), offset->data() + offset->size(), record.offset);
    if (status != std::errc() || end != offset->data() + offset->size() || record.offset < 0) return std::nullopt;
    if (!text.empty()) {
        auto limit = field("limit");
        if (!limit || !text.empty()) return std::nullopt;
        std::size_t cap = 0;
        auto [limitEnd, limitStatus] = std::from_chars(limit->data(), limit->data() + limit->size(), cap);
        if (limitStatus != std::errc() || limitEnd != limit->data() + limit->size()) return std::nullopt;
        record.maximumBody = cap;
    }
    if (!NSURL::URLWithString(record.url) || record.partialFile.empty() || record.partialFile.front() != '/' ||
        hasLineBreak(record.validator)) {
        return std::nullopt;
    }
    struct stat facts {};
    if (!isDownloadFile(record.partialFile) || ::lstat(record.partialFile.c_str(), &facts) != 0 ||
        facts.st_size < record.offset) {
        return std::nullopt;
    }
    return record;
}

bool isDownloadFile(const std::string& path) {
    const std::string folder = Sandbox::temporaryDirectory();
    auto name = downloadFileName(path, folder);
    // One plain name of our own making: no further folders, no "..", never a link, and the
    // folder it sits in not a link to somewhere else either.
    struct stat facts {};
    struct stat folderFacts {};
    return name && ::lstat(folder.c_str(), &folderFacts) == 0 && S_ISDIR(folderFacts.st_mode) &&
           ::lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_nlink == 1;
}

std::optional<OpenedDownloadFile> createDownloadFile() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::string folder = Sandbox::temporaryDirectory();
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string path = folder + "/download-" + std::to_string(random()) + "-" + std::to_string(counter++) + ".tmp";
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) return OpenedDownloadFile{path, fd};
    }
    return std::nullopt;
}

std::optional<std::string> makeDownloadFile() {
    auto file = createDownloadFile();
    if (!file) return std::nullopt;
    ::close(file->fd);
    return file->path;
}

int openDownloadFile(const std::string& path) {
    const std::string folder = Sandbox::temporaryDirectory();
    auto name = downloadFileName(path, folder);
    if (!name) return -1;
    int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0) return -1;
    // Never made here, never a link, and not waiting on a pipe that was put under the name.
    int fd = ::openat(directory, std::string(*name).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    ::close(directory);
    if (fd < 0) return -1;
    struct stat facts {};
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode) || facts.st_nlink != 1) {
        ::close(fd);
        return -1;
    }
    // Writes to a regular file never block; the flag only kept the open from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool namesOpenFile(const std::string& path, int fd) {
    struct stat named {};
    struct stat open {};
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 && S_ISREG(named.st_mode) &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

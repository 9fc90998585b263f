// Resume data as a few labelled lines of text behind a fixed first line.
#include "platform/net/url_resume_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <random>

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

bool hasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

Bytes encodeResumeData(const URLResumeRecord& record) {
    std::string text = std::string(kMagic) + "\nurl " + record.url + "\nfile " + record.partialFile + "\noffset " +
                       std::to_string(record.offset) + "\nvalidator " + record.validator + "\n";
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
    if (!url || !file || !offset || !validator || !text.empty()) return std::nullopt;
    URLResumeRecord record{*url, *file, 0, *validator};
    auto [end, status] = std::from_chars(offset->data(), offset->data() + offset->size(), record.offset);
    if (status != std::errc() || end != offset->data() + offset->size() || record.offset < 0) return std::nullopt;
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
    const std::string folder = Sandbox::temporaryDirectory() + "/";
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
    std::string_view name = std::string_view(path).substr(folder.size());
    // One plain name of our own making: no further folders, no "..", never a link.
    struct stat facts {};
    return isDownloadFileName(name) && ::lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) &&
           facts.st_nlink == 1;
}

std::optional<std::string> makeDownloadFile() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::string folder = Sandbox::temporaryDirectory();
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string path = folder + "/download-" + std::to_string(random()) + "-" + std::to_string(counter++) + ".tmp";
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
    }
    return std::nullopt;
}

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
    if (::stat(record.partialFile.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode) || facts.st_size < record.offset) {
        return std::nullopt;
    }
    return record;
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

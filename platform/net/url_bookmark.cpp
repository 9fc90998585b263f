// Bookmarks: a marker line followed by the file URL.
#include "platform/net/url_bookmark.h"

#include <sys/stat.h>

#include <string>

namespace {

constexpr std::string_view kMarker = "korva-bookmark 1\n";

}  // namespace

bool startAccessingSecurityScopedResource(const NSURL& url) {
    struct stat info {};
    return url.isFileURL() && ::stat(url.path().c_str(), &info) == 0;
}

void stopAccessingSecurityScopedResource(const NSURL&) {}

std::optional<Bytes> bookmarkDataWithURL(const NSURL& url) {
    if (!url.isFileURL()) return std::nullopt;
    std::string text = std::string(kMarker) + url.absoluteString();
    return Bytes(text.begin(), text.end());
}

std::shared_ptr<NSURL> URLByResolvingBookmarkData(const Bytes& data) {
    std::string text(data.begin(), data.end());
    if (text.rfind(kMarker, 0) != 0) return nullptr;
    auto url = NSURL::URLWithString(std::string_view(text).substr(kMarker.size()));
    return url && url->isFileURL() ? url : nullptr;
}

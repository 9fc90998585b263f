#include "platform/media/mp_media_library.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/media/av_asset.h"

namespace {

std::mutex folderMutex;
std::string& folderSlot() {
    static std::string folder;
    return folder;
}

const char* kSoundExtensions[] = {".m4a", ".mp3", ".aac", ".flac", ".ogg", ".wav", ".opus"};

void installResolver() {
    static std::once_flag once;
    std::call_once(once, [] {
        AVURLAsset::setURLResolver([](const NSURL& url) { return MPMediaLibrary::pathForAssetURL(url); });
    });
}

std::string tagOf(const AVURLAsset& asset, const char* key) {
    for (auto& item : asset.commonMetadata())
        if (item->commonKey() == key) return item->stringValue();
    return {};
}

}  // namespace

Value MPMediaItem::valueForProperty(const std::string& property) const {
    if (property == MPMediaItemPropertyPersistentID) return Value(static_cast<unsigned long long>(id_));
    if (property == MPMediaItemPropertyMediaType) return Value(static_cast<unsigned long long>(MPMediaTypeMusic));
    if (property == MPMediaItemPropertyAssetURL) return Value(std::static_pointer_cast<NSObject>(assetURL()));
    return tags_.get(property);
}

std::shared_ptr<NSURL> MPMediaItem::assetURL() const {
    // Appended in place: GCC 12 misreads the bounds of a chain of string temporaries.
    std::string address(kMediaLibraryScheme);
    address += "://item?id=";
    address += std::to_string(id_);
    return NSURL::URLWithString(address);
}

void MPMediaLibrary::setLibraryDirectory(std::string path) {
    std::lock_guard lock(folderMutex);
    folderSlot() = std::move(path);
}

std::string MPMediaLibrary::libraryDirectory() {
    {
        std::lock_guard lock(folderMutex);
        if (!folderSlot().empty()) return folderSlot();
    }
    if (const char* option = std::getenv("KORVA_MUSIC_DIR"); option && *option) return option;
    if (const char* xdg = std::getenv("XDG_MUSIC_DIR"); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/Music";
}

MPMediaEntityPersistentID MPMediaLibrary::persistentIDForPath(const std::string& relativePath) {
    // FNV-1a: the same file keeps its id across runs.
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : relativePath) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::vector<std::shared_ptr<MPMediaItem>> MPMediaLibrary::items() {
    installResolver();
    std::vector<std::shared_ptr<MPMediaItem>> out;
    std::filesystem::path root = libraryDirectory();
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        auto ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (it->is_regular_file(error) &&
            std::find(std::begin(kSoundExtensions), std::end(kSoundExtensions), ext) != std::end(kSoundExtensions))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (auto& file : files) {
        auto asset = AVURLAsset::URLAssetWithURL(NSURL::fileURLWithPath(file.string()));
        if (!asset || asset->tracksWithMediaType(AVMediaTypeAudio).empty()) continue;
        ValueDictionary tags;
        std::string title = tagOf(*asset, AVMetadataCommonKeyTitle);
        tags.set(MPMediaItemPropertyTitle, title.empty() ? file.stem().string() : title);
        if (auto v = tagOf(*asset, AVMetadataCommonKeyArtist); !v.empty()) tags.set(MPMediaItemPropertyArtist, v);
        if (auto v = tagOf(*asset, AVMetadataCommonKeyAlbumName); !v.empty())
            tags.set(MPMediaItemPropertyAlbumTitle, v);
        if (!asset->lyrics().empty()) tags.set(MPMediaItemPropertyLyrics, asset->lyrics());
        out.push_back(MPMediaItem::make(persistentIDForPath(std::filesystem::relative(file, root).string()),
                                        file.string(), tags));
    }
    return out;
}

std::optional<std::string> MPMediaLibrary::pathForAssetURL(const NSURL& url) {
    if (url.scheme() != kMediaLibraryScheme || !url.query()) return std::nullopt;
    const std::string& query = *url.query();
    auto at = query.find("id=");
    if (at == std::string::npos) return std::nullopt;
    char* end = nullptr;
    auto id = std::strtoull(query.c_str() + at + 3, &end, 10);
    for (auto& item : items())
        if (item->persistentID() == id) return item->path();
    return std::nullopt;
}

bool MPMediaPropertyPredicate::matches(const MPMediaItem& item) const {
    Value v = item.valueForProperty(property_);
    if (property_ == MPMediaItemPropertyPersistentID) return v.unsignedIntegerValue() == value_.unsignedIntegerValue();
    return v.stringValue() == value_.stringValue();
}

std::vector<std::shared_ptr<MPMediaItem>> MPMediaQuery::items() const {
    auto all = MPMediaLibrary::items();
    std::erase_if(all, [&](auto& item) {
        return std::any_of(filters_.begin(), filters_.end(), [&](auto& f) { return !f->matches(*item); });
    });
    return all;
}

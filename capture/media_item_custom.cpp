#include "capture/media_item_custom.h"

#include <algorithm>
#include <cctype>

#include "capture/av_asset_analysis.h"
#include "foundation/string_custom_escaping.h"
#include "platform/dispatch/queue.h"
#include "platform/image/cg_image.h"
#include "platform/media/av_asset_image_generator.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_photo_library.h"

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool isLibraryScheme(const std::string& scheme) {
    return scheme.size() >= 7 && lower(scheme).ends_with("library");
}

// A picture is taken when every quarter point differs from the centre by more than 3 in red,
// green and blue: a flat frame (a fade from black) is passed over.
bool showsSomething(const CGImage& image) {
    int w = image.width(), h = image.height();
    auto rgb = [&](int x, int y) {
        const std::uint8_t* p = image.row(y) + std::size_t(x) * 4;
        bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
        return std::array<int, 3>{bgra ? p[2] : p[0], p[1], bgra ? p[0] : p[2]};
    };
    auto centre = rgb(w / 2, h / 2);
    for (auto [x, y] : {std::pair{w / 4, h / 4}, std::pair{3 * (w / 4), h / 4}, std::pair{w / 4, 3 * (h / 4)},
                        std::pair{3 * (w / 4), 3 * (h / 4)}}) {
        auto c = rgb(x, y);
        for (int i = 0; i < 3; ++i)
            if (std::abs(c[i] - centre[i]) <= 3) return false;
    }
    return true;
}

}  // namespace

std::int64_t authorizationStatus1() {
    return std::int64_t(MPMediaLibrary::authorizationStatus());
}

bool test(const MPMediaItem& item) {
    return AVURLAsset::URLAssetWithURL(item.assetURL()) != nullptr;
}

std::string subtitleOf(const std::string& artist, const std::string& album) {
    if (!artist.empty() && !album.empty()) {
        const std::string& longer = artist.size() >= album.size() ? artist : album;
        const std::string& shorter = artist.size() >= album.size() ? album : artist;
        if (lower(longer).find(lower(shorter)) != std::string::npos) return longer;
        return artist + ", " + album;
    }
    return !artist.empty() ? artist : album;
}

std::string subtitle(const MPMediaItem& item) {
    return subtitleOf(item.valueForProperty(MPMediaItemPropertyArtist).stringValue(),
                      item.valueForProperty(MPMediaItemPropertyAlbumTitle).stringValue());
}

std::shared_ptr<MPMediaItem> initWithPersistentID(const Value& persistentID) {
    if (persistentID.isNull()) return nullptr;
    auto query = MPMediaQuery::make();
    query->addFilterPredicate(
        MPMediaPropertyPredicate::predicateWithValue(persistentID, MPMediaItemPropertyPersistentID));
    auto items = query->items();
    return items.empty() ? nullptr : items.front();
}

std::shared_ptr<MPMediaItem> mediaItemFromURL(const std::shared_ptr<NSURL>& url) {
    if (!url || !url->query()) return nullptr;
    const std::string& query = *url->query();
    auto eq = query.find('=');
    if (eq == std::string::npos) return nullptr;
    std::string id = query.substr(eq + 1);
    id = id.substr(0, id.find('='));
    if (id.empty() || !std::all_of(id.begin(), id.end(), [](unsigned char c) { return std::isdigit(c); }))
        return nullptr;
    return initWithPersistentID(Value(static_cast<unsigned long long>(std::strtoull(id.c_str(), nullptr, 10))));
}

std::string pid(const MPMediaItem& item) {
    return std::to_string(item.valueForProperty(MPMediaItemPropertyPersistentID).unsignedIntegerValue());
}

std::uint64_t mediaType(const MPMediaItem& item) {
    return item.valueForProperty(MPMediaItemPropertyMediaType).unsignedIntegerValue();
}

std::string lyric(const MPMediaItem& item) {
    auto asset = AVURLAsset::URLAssetWithURL(item.assetURL());
    return asset ? asset->lyrics() : std::string();
}

bool isRemote(const NSURL& url) {
    std::string scheme = lower(url.scheme());
    if (scheme == "file") return false;
    if (scheme == "http" || scheme == "https") return true;
    if (isLibraryScheme(scheme)) return false;
    return isRemoteURL(url.absoluteString());
}

bool isDualLoadingSupported(const NSURL& url) {
    return url.isFileURL() || isLibraryScheme(url.scheme());
}

double mediaDuration(const std::shared_ptr<NSURL>& url) {
    auto asset = AVURLAsset::URLAssetWithURL(url);
    return asset ? CMTimeGetSeconds(asset->duration()) : 0;
}

Value trackDict_AV(const std::shared_ptr<NSURL>& url, LanguageService* languages) {
    auto asset = AVURLAsset::URLAssetWithURL(url);
    return asset ? trackDict(*asset, languages) : Value::dictionary();
}

std::vector<std::int64_t> thumbnailCandidates(std::int64_t d) {
    std::vector<std::int64_t> c = {0,      10000,   50000,       100000,      300000,
                                   500000, 1000000, (d / 7) * 5, (d / 7) * 6, (d / 7) * 4};
    for (std::size_t i = 0; i < c.size(); ++i)
        if (c[i] >= d) c[i] = (d / 9) * std::int64_t(i);
    return c;
}

std::shared_ptr<UIImage> loadThumbnailImage_AV(const std::shared_ptr<NSURL>& url) {
    auto asset = AVURLAsset::URLAssetWithURL(url);
    if (!asset) return nullptr;
    for (auto& item : asset->commonMetadata()) {
        if (item->commonKey() != AVMetadataCommonKeyArtwork) continue;
        const Value& v = item->value();
        if (v.dictionaryPtr()) {
            if (auto data = v["data"].bytes()) return UIImage::imageWithData(*data);
            return nullptr;
        }
        if (auto data = v.bytes()) return UIImage::imageWithData(*data);
    }
    auto generator = AVAssetImageGenerator::assetImageGeneratorWithAsset(asset);
    generator->setAppliesPreferredTrackTransform(true);
    CMTime duration = asset->duration();
    auto candidates = thumbnailCandidates(duration.value);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        auto image = generator->copyCGImageAtTime(CMTimeMake(candidates[i], duration.timescale));
        if (!image) return nullptr;
        if (i + 1 == candidates.size() || showsSomething(**image)) return UIImage::imageWithCGImage(*image);
    }
    return nullptr;
}

namespace {

// One change block creating the asset the request maker names; the answer on the main queue.
void saveFileToPhotos(const std::shared_ptr<NSURL>& url,
                      std::shared_ptr<PHAssetChangeRequest> (*request)(const std::string& path),
                      std::function<void(bool)> completion) {
    std::string path = url ? url->path() : std::string();
    PHPhotoLibrary::sharedPhotoLibrary()->performChanges(
        [path, request] { request(path); },
        [completion = std::move(completion)](bool ok, const std::shared_ptr<NSError>&) {
            dispatch_async(dispatch_get_main_queue(), [completion, ok] {
                if (completion) completion(ok);
            });
        });
}

}  // namespace

std::shared_ptr<NSObject> loadSubtitle_AV(const std::shared_ptr<NSURL>&, std::int32_t, const std::shared_ptr<UIView>&) {
    return nullptr;
}

void saveVideoToPhotos(const std::shared_ptr<NSURL>& url, std::function<void(bool)> completion) {
    saveFileToPhotos(url, &PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL, std::move(completion));
}

void saveImageToPhotos(const std::shared_ptr<NSURL>& url, std::function<void(bool)> completion) {
    saveFileToPhotos(url, &PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL, std::move(completion));
}

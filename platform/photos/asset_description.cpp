// What the library learns of a file by its name and by reading it: whether it is one the library
// holds, and the description its index row records.
#include <cctype>

#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/image_file_check.h"
#include "platform/photos/movie_file_check.h"

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool isLibraryImageName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    std::string l = lower(name);
    return endsWith(l, ".jpg") || endsWith(l, ".jpeg") || endsWith(l, ".png");
}

bool isLibraryMovieName(const std::string& name) {
    std::string l = lower(name);
    return endsWith(l, ".mp4") || endsWith(l, ".m4v") || endsWith(l, ".mov");
}

bool isLibraryFileName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    return isLibraryImageName(name) || isLibraryMovieName(name);
}

std::string libraryFileNameInTurn(const std::string& first, int turn) {
    if (turn == 0) return first;
    const std::size_t dot = first.rfind('.');
    const std::size_t stem = dot == std::string::npos || dot == 0 ? first.size() : dot;
    return first.substr(0, stem) + "_" + std::to_string(turn) + first.substr(stem);
}

Result<AssetRecord> AssetIndex::describeFile(const std::string& path, bool verifyPixels) {
    if (isLibraryMovieName(path)) {
        auto movie = describeMovieFile(path);
        if (!movie) return fail(movie.error());
        AssetRecord r;
        r.mediaType = PHAssetMediaType::Video;
        r.pixelWidth = movie->pixelWidth;
        r.pixelHeight = movie->pixelHeight;
        r.duration = movie->duration;
        return r;
    }
    auto bytes = readLibraryFile(path);
    if (!bytes) return fail(bytes.error());
    auto info = readImageInfo(*bytes);
    if (!info) return fail(info.error());
    if (verifyPixels) {
        // The smallest decode still reads every compressed byte, so a truncated file fails here.
        ImageDecodeOptions options;
        options.minWidth = options.minHeight = 1;
        if (auto decoded = decodeImage(*bytes, options); !decoded) return fail(decoded.error());
    }
    AssetRecord r;
    r.mediaType = PHAssetMediaType::Image;
    bool turned = info->orientation >= 5 && info->orientation <= 8;
    r.pixelWidth = turned ? info->height : info->width;
    r.pixelHeight = turned ? info->width : info->height;
    if (auto props = readImageProperties(*bytes)) {
        const Value& gps = (*props)["{GPS}"];
        if (gps.isDictionary() && gps["Latitude"].isNumber() && gps["Longitude"].isNumber()) {
            PHAssetLocation loc;
            loc.latitude = gps["Latitude"].doubleValue() * (gps["LatitudeRef"].stringValue() == "S" ? -1 : 1);
            loc.longitude = gps["Longitude"].doubleValue() * (gps["LongitudeRef"].stringValue() == "W" ? -1 : 1);
            loc.altitude = gps["Altitude"].doubleValue() * (gps["AltitudeRef"].integerValue() == 1 ? -1 : 1);
            r.location = loc;
        }
    }
    return r;
}

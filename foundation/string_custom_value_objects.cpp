// Conversions that make interface and image objects: name colours, colour arrays, images by address.
#include <array>
#include <cctype>

#include "foundation/array_free_core_image.h"
#include "foundation/data_custom.h"
#include "foundation/global.h"
#include "foundation/pics.h"
#include "foundation/string_custom_paths.h"
#include "foundation/string_custom_values.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/log.h"
#include "platform/ui/draw/color.h"

namespace {

struct Rgb {
    int r, g, b;
};

constexpr std::array<Rgb, 30> kNamePalette{{
    {98, 0, 234},  {197, 17, 98},  {48, 79, 254},  {41, 98, 255},  {0, 191, 165}, {213, 0, 0},
    {0, 200, 83},  {100, 221, 23}, {0, 184, 212},  {130, 119, 23}, {255, 214, 0}, {221, 44, 0},
    {55, 71, 79},  {191, 54, 12},  {0, 77, 64},    {229, 57, 53},  {0, 145, 234}, {96, 125, 139},
    {255, 87, 34}, {255, 152, 0},  {255, 193, 7},  {139, 195, 74}, {76, 175, 80}, {0, 150, 136},
    {0, 188, 212}, {66, 165, 245}, {92, 107, 192}, {103, 58, 183}, {233, 30, 99}, {244, 67, 54},
}};

// Images named by web addresses come through the picture cache and are kept: a filter
// description's image does not change under its address.
constexpr std::uint64_t kRemoteImageKeptForever = 0;
constexpr std::uint64_t kRemoteImageDownloads = 2;

bool isWebAddress(std::string_view address) {
    auto startsWith = [&](std::string_view scheme) {
        if (address.size() <= scheme.size()) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

std::string remoteImagePath(std::string_view address) {
    return withCachePath("Images/" + sha1(Bytes(address.begin(), address.end())) + ".jpg");
}

// Asks the picture cache for the image on the main thread; the file it keeps is what later calls
// read. Nothing here waits for the network.
void fetchIntoCache(const std::string& address, const std::string& path) {
    dispatch_async(dispatch_get_main_queue(), [address, path] {
        auto pics = Global::shared()->pics();
        if (!pics) {
            Log::warning("image", "no picture cache to load " + address);
            return;
        }
        pics->downloadAndSave(dispatch_get_global_queue(), address, path, kRemoteImageKeptForever,
                              kRemoteImageDownloads, nullptr, [address](std::shared_ptr<UIImage> image) {
                                  if (!image) {
                                      Log::warning("image", "image not loaded: " + address);
                                      return;
                                  }
                                  NSNotificationCenter::defaultCenter()->post(
                                      kWebImageDidArriveNotification, nullptr,
                                      Value::dictionary({{"address", Value(address)}}));
                              });
    });
}

std::shared_ptr<CIImage> remoteImage(const std::string& address) {
    const std::string path = remoteImagePath(address);
    if (existFile(path)) {
        if (auto image = CIImage::imageWithContentsOfFile(path)) return image;
    }
    Log::info("image", "image not cached yet, loading in the background: " + address);
    fetchIntoCache(address, path);
    return nullptr;
}

}  // namespace

std::shared_ptr<UIColor> color(std::string_view name) {
    const Rgb& c = kNamePalette[nameColorIndex(name)];
    return UIColor::colorWithRed(c.r / 255.0, c.g / 255.0, c.b / 255.0, 1.0);
}

bool isWebImageAddress(std::string_view address) {
    return isWebAddress(address);
}

std::shared_ptr<CIImage> cachedWebImage(std::string_view address) {
    if (!isWebAddress(address)) return nullptr;
    const std::string path = remoteImagePath(address);
    return existFile(path) ? CIImage::imageWithContentsOfFile(path) : nullptr;
}

std::shared_ptr<CIImage> ciimage(std::string_view address) {
    if (address.empty()) return nullptr;
    if (isWebAddress(address)) return remoteImage(std::string(address));
    return CIImage::imageWithContentsOfURL(std::string(address));
}

std::shared_ptr<UIColor> uicolor(const ValueArray& array) {
    if (array.size() < 3) return nullptr;
    auto at = [&](std::size_t i) { return static_cast<double>(array[i].floatValue()); };
    return UIColor::colorWithRed(at(0), at(1), at(2), array.size() > 3 ? at(3) : 1.0);
}

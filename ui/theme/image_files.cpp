// Encoding, saving and loading pictures.
#include "platform/storage/file_manager.h"
#include "platform/ui/draw/image.h"
#include "ui/theme/image_custom.h"

namespace {
constexpr CGFloat kJpegQuality = 0.5;

std::optional<Bytes> valueOf(Result<Bytes> result) {
    if (!result.ok()) return std::nullopt;
    return std::move(result).value();
}

bool save(const std::optional<Bytes>& data, const std::string& path) {
    return data && !data->empty() && writeFileAtomically(path, *data).ok();
}
}  // namespace

std::optional<Bytes> jpeg(const ImageRef& image) {
    if (!image || !image->cgImage()) return std::nullopt;
    return valueOf(UIImageJPEGRepresentation(image, kJpegQuality));
}

std::optional<Bytes> png(const ImageRef& image) {
    if (!image || !image->cgImage()) return std::nullopt;
    return valueOf(UIImagePNGRepresentation(image));
}

bool saveToFile_JPEG(const ImageRef& image, const std::string& path) {
    return save(jpeg(image), path);
}
bool saveToFile_PNG(const ImageRef& image, const std::string& path) {
    return save(png(image), path);
}

ImageRef imageWithData2(const Bytes& data) {
    return data.empty() ? nullptr : UIImage::imageWithData(data);
}

ImageRef imageWithContentsOfFile2(const std::string& path) {
    if (auto image = UIImage::imageWithContentsOfFile(path)) return image;
    auto data = readFileData(path);
    return data.ok() ? imageWithData2(data.value()) : nullptr;
}

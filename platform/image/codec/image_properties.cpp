// Reading and replacing image properties of encoded JPEG and PNG data through exiv2.
#include "platform/image/codec/image_properties.h"

#include <cstring>
#include <exiv2/exiv2.hpp>
#include <mutex>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/property_table.h"

// Exiv2 0.27 hands out images and values as std::auto_ptr, which clang reports as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

void initialiseExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The XMP toolkit's one-time set-up is not thread-safe; run it before any parsing.
        Exiv2::XmpParser::initialize();
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

// The JFIF density of a JPEG (APP0 right after SOI), in dots per inch; 0 when not stated.
std::pair<double, double> jfifDensity(std::span<const std::uint8_t> data) {
    if (data.size() < 20 || data[2] != 0xFF || data[3] != 0xE0 || std::memcmp(data.data() + 6, "JFIF\0", 5) != 0)
        return {0, 0};
    const int unit = data[13];
    const double x = (data[14] << 8) | data[15], y = (data[16] << 8) | data[17];
    if (unit == 1) return {x, y};
    if (unit == 2) return {x * 2.54, y * 2.54};
    return {0, 0};
}

void addImageFacts(std::span<const std::uint8_t> data, const ImageInfo& info, const Exiv2::Image& image,
                   const Value& properties) {
    properties.set(kCGImagePropertyPixelWidth, Value(info.width));
    properties.set(kCGImagePropertyPixelHeight, Value(info.height));
    properties.set(kCGImagePropertyDepth, Value(info.bitsPerComponent));
    const char* model = info.components >= 3 ? kCGImagePropertyColorModelRGB : kCGImagePropertyColorModelGray;
    if (info.format == ImageFormat::JPEG && info.components == 4) model = kCGImagePropertyColorModelCMYK;
    properties.set(kCGImagePropertyColorModel, Value(model));
    if (info.format == ImageFormat::PNG) properties.set(kCGImagePropertyHasAlpha, Value(info.hasAlpha));

    // Resolution: the EXIF one when stated, else JFIF's, else the platform's 72 dpi.
    const Value& tiff = properties[kCGImagePropertyTIFFDictionary];
    double dpiX = 0, dpiY = 0;
    if (tiff.isDictionary() && tiff[kCGImagePropertyTIFFXResolution].isNumber()) {
        const double scale = tiff[kCGImagePropertyTIFFResolutionUnit].integerValue() == 3 ? 2.54 : 1.0;
        dpiX = tiff[kCGImagePropertyTIFFXResolution].doubleValue() * scale;
        dpiY = tiff[kCGImagePropertyTIFFYResolution].isNumber()
                   ? tiff[kCGImagePropertyTIFFYResolution].doubleValue() * scale
                   : dpiX;
    } else if (info.format == ImageFormat::JPEG) {
        std::tie(dpiX, dpiY) = jfifDensity(data);
    }
    properties.set(kCGImagePropertyDPIWidth, Value(dpiX > 0 ? dpiX : 72.0));
    properties.set(kCGImagePropertyDPIHeight, Value(dpiY > 0 ? dpiY : 72.0));

    if (const Exiv2::DataBuf* icc = const_cast<Exiv2::Image&>(image).iccProfile(); icc && icc->size_ > 0) {
        if (auto name = iccProfileDescription({icc->pData_, static_cast<std::size_t>(icc->size_)});
            name && !name->empty())
            properties.set(kCGImagePropertyProfileName, Value(*name));
    }
}

Exiv2::Image::AutoPtr openImage(std::span<const std::uint8_t> data) {
    initialiseExiv2();
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(data.data(), static_cast<long>(data.size()));
    if (!image.get()) throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, "memory");
    image->readMetadata();
    return image;
}

}  // namespace

Result<Value> readImageProperties(std::span<const std::uint8_t> data) {
    auto info = readImageInfo(data);
    if (!info) return fail("image properties: " + info.error());
    try {
        Exiv2::Image::AutoPtr image = openImage(data);
        Value properties = Value::dictionary();
        exifToProperties(image->exifData(), properties);
        addImageFacts(data, *info, *image, properties);
        return properties;
    } catch (const std::exception& e) {
        return fail(std::string("image properties: ") + e.what());
    }
}

Result<Value> readImagePropertiesFromFile(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (!bytes) return fail(bytes.error());
    return readImageProperties(*bytes);
}

Result<Bytes> replaceImageProperties(std::span<const std::uint8_t> data, const Value& properties) {
    if (!properties.isDictionary()) return fail("image properties: not a dictionary");
    // Decoding the headers first refuses data the pixel decoders would refuse, before writing.
    auto info = readImageInfo(data);
    if (!info) return fail("image properties: " + info.error());
    try {
        Exiv2::Image::AutoPtr image = openImage(data);
        propertiesToExif(properties, image->exifData(), info->width, info->height, info->format == ImageFormat::JPEG);
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        io.seek(0, Exiv2::BasicIo::beg);
        Exiv2::DataBuf buffer = io.read(static_cast<long>(io.size()));
        if (buffer.size_ <= 0) return fail("image properties: writing gave no data");
        return Bytes(buffer.pData_, buffer.pData_ + buffer.size_);
    } catch (const std::exception& e) {
        return fail(std::string("image properties: ") + e.what());
    }
}

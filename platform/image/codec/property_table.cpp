// Property dictionary keys, their EXIF tags and the conversions between value kinds.
#include "platform/image/codec/property_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <numeric>
#include <optional>
#include <string_view>

#include "platform/image/codec/image_property_keys.h"

// Exiv2 0.27 hands out images and values as std::auto_ptr, which clang reports as deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

enum class Kind {
    Text,           // ASCII string
    Rational,       // unsigned rational <-> double
    SRational,      // signed rational <-> double
    Integer,        // SHORT, LONG or BYTE <-> integer
    IntegerArray,   // several SHORTs <-> array of integers
    RationalArray,  // several unsigned rationals <-> array of doubles
    ByteArray,      // several BYTEs <-> array of integers
    Comment,        // charset-prefixed comment <-> string
    Version,        // four ASCII digits ("0232") <-> array of integers [2, 3, 2]
    Coordinate,     // degrees, minutes, seconds <-> decimal degrees
    GpsTime,        // hours, minutes, seconds <-> "HH:mm:ss.SS"
};

struct Field {
    const char* dictionary;
    const char* key;
    const char* tag;
    Kind kind;
};

const Field kFields[] = {
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFMake, "Exif.Image.Make", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFModel, "Exif.Image.Model", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFSoftware, "Exif.Image.Software", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFDateTime, "Exif.Image.DateTime", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFOrientation, "Exif.Image.Orientation", Kind::Integer},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFXResolution, "Exif.Image.XResolution", Kind::Rational},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFYResolution, "Exif.Image.YResolution", Kind::Rational},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFResolutionUnit, "Exif.Image.ResolutionUnit", Kind::Integer},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFArtist, "Exif.Image.Artist", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFCopyright, "Exif.Image.Copyright", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFImageDescription, "Exif.Image.ImageDescription", Kind::Text},
    {kCGImagePropertyTIFFDictionary, kCGImagePropertyTIFFHostComputer, "Exif.Image.HostComputer", Kind::Text},

    {kCGImagePropertyExifDictionary, kCGImagePropertyExifVersion, "Exif.Photo.ExifVersion", Kind::Version},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifDateTimeOriginal, "Exif.Photo.DateTimeOriginal", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifDateTimeDigitized, "Exif.Photo.DateTimeDigitized", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubsecTimeOriginal, "Exif.Photo.SubSecTimeOriginal",
     Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubsecTimeDigitized, "Exif.Photo.SubSecTimeDigitized",
     Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifOffsetTime, "Exif.Photo.OffsetTime", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifOffsetTimeOriginal, "Exif.Photo.OffsetTimeOriginal",
     Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifOffsetTimeDigitized, "Exif.Photo.OffsetTimeDigitized",
     Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifExposureTime, "Exif.Photo.ExposureTime", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifFNumber, "Exif.Photo.FNumber", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifISOSpeedRatings, "Exif.Photo.ISOSpeedRatings",
     Kind::IntegerArray},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifExposureProgram, "Exif.Photo.ExposureProgram", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifExposureBiasValue, "Exif.Photo.ExposureBiasValue",
     Kind::SRational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifExposureMode, "Exif.Photo.ExposureMode", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifShutterSpeedValue, "Exif.Photo.ShutterSpeedValue",
     Kind::SRational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifApertureValue, "Exif.Photo.ApertureValue", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifBrightnessValue, "Exif.Photo.BrightnessValue",
     Kind::SRational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifMeteringMode, "Exif.Photo.MeteringMode", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifFlash, "Exif.Photo.Flash", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifFocalLength, "Exif.Photo.FocalLength", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifFocalLenIn35mmFilm, "Exif.Photo.FocalLengthIn35mmFilm",
     Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifWhiteBalance, "Exif.Photo.WhiteBalance", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifDigitalZoomRatio, "Exif.Photo.DigitalZoomRatio",
     Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSceneCaptureType, "Exif.Photo.SceneCaptureType",
     Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSensingMethod, "Exif.Photo.SensingMethod", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifColorSpace, "Exif.Photo.ColorSpace", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifPixelXDimension, "Exif.Photo.PixelXDimension", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifPixelYDimension, "Exif.Photo.PixelYDimension", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifUserComment, "Exif.Photo.UserComment", Kind::Comment},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifLensMake, "Exif.Photo.LensMake", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifLensModel, "Exif.Photo.LensModel", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifLensSpecification, "Exif.Photo.LensSpecification",
     Kind::RationalArray},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifLensSerialNumber, "Exif.Photo.LensSerialNumber", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifBodySerialNumber, "Exif.Photo.BodySerialNumber", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifCameraOwnerName, "Exif.Photo.CameraOwnerName", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifImageUniqueID, "Exif.Photo.ImageUniqueID", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubsecTime, "Exif.Photo.SubSecTime", Kind::Text},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubjectArea, "Exif.Photo.SubjectArea", Kind::IntegerArray},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubjectDistance, "Exif.Photo.SubjectDistance", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSubjectDistRange, "Exif.Photo.SubjectDistanceRange",
     Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSceneType, "Exif.Photo.SceneType", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifFileSource, "Exif.Photo.FileSource", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifCustomRendered, "Exif.Photo.CustomRendered", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifContrast, "Exif.Photo.Contrast", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSaturation, "Exif.Photo.Saturation", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSharpness, "Exif.Photo.Sharpness", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifGainControl, "Exif.Photo.GainControl", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifLightSource, "Exif.Photo.LightSource", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifMaxApertureValue, "Exif.Photo.MaxApertureValue",
     Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifExposureIndex, "Exif.Photo.ExposureIndex", Kind::Rational},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifSensitivityType, "Exif.Photo.SensitivityType", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifISOSpeed, "Exif.Photo.ISOSpeed", Kind::Integer},
    {kCGImagePropertyExifDictionary, kCGImagePropertyExifRecommendedExposureIndex,
     "Exif.Photo.RecommendedExposureIndex", Kind::Integer},

    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSVersion, "Exif.GPSInfo.GPSVersionID", Kind::ByteArray},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSLatitudeRef, "Exif.GPSInfo.GPSLatitudeRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSLatitude, "Exif.GPSInfo.GPSLatitude", Kind::Coordinate},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSLongitudeRef, "Exif.GPSInfo.GPSLongitudeRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSLongitude, "Exif.GPSInfo.GPSLongitude", Kind::Coordinate},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSAltitudeRef, "Exif.GPSInfo.GPSAltitudeRef", Kind::Integer},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSAltitude, "Exif.GPSInfo.GPSAltitude", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSTimeStamp, "Exif.GPSInfo.GPSTimeStamp", Kind::GpsTime},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDateStamp, "Exif.GPSInfo.GPSDateStamp", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSSpeedRef, "Exif.GPSInfo.GPSSpeedRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSSpeed, "Exif.GPSInfo.GPSSpeed", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSTrackRef, "Exif.GPSInfo.GPSTrackRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSTrack, "Exif.GPSInfo.GPSTrack", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSImgDirectionRef, "Exif.GPSInfo.GPSImgDirectionRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSImgDirection, "Exif.GPSInfo.GPSImgDirection", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestBearingRef, "Exif.GPSInfo.GPSDestBearingRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestBearing, "Exif.GPSInfo.GPSDestBearing", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSMapDatum, "Exif.GPSInfo.GPSMapDatum", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSHPositioningError, "Exif.GPSInfo.GPSHPositioningError",
     Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSStatus, "Exif.GPSInfo.GPSStatus", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSMeasureMode, "Exif.GPSInfo.GPSMeasureMode", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSSatellites, "Exif.GPSInfo.GPSSatellites", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDOP, "Exif.GPSInfo.GPSDOP", Kind::Rational},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestLatitudeRef, "Exif.GPSInfo.GPSDestLatitudeRef", Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestLatitude, "Exif.GPSInfo.GPSDestLatitude", Kind::Coordinate},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestLongitudeRef, "Exif.GPSInfo.GPSDestLongitudeRef",
     Kind::Text},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDestLongitude, "Exif.GPSInfo.GPSDestLongitude",
     Kind::Coordinate},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSProcessingMethod, "Exif.GPSInfo.GPSProcessingMethod",
     Kind::Comment},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSAreaInformation, "Exif.GPSInfo.GPSAreaInformation",
     Kind::Comment},
    {kCGImagePropertyGPSDictionary, kCGImagePropertyGPSDifferental, "Exif.GPSInfo.GPSDifferential", Kind::Integer},
};

// ---- reading ----

double rationalAt(const Exiv2::Value& v, long i) {
    const Exiv2::Rational r = v.toRational(i);
    return r.second == 0 ? 0.0 : double(r.first) / double(r.second);
}

Value readTag(const Exiv2::Exifdatum& datum, Kind kind) {
    const Exiv2::Value& v = datum.value();
    const long count = v.count();
    switch (kind) {
        case Kind::Text: {
            std::string text = v.toString();
            while (!text.empty() && text.back() == '\0') text.pop_back();
            return Value(std::move(text));
        }
        case Kind::Rational:
        case Kind::SRational: return count > 0 ? Value(rationalAt(v, 0)) : Value();
        case Kind::Integer: return count > 0 ? Value(static_cast<long long>(v.toLong(0))) : Value();
        case Kind::IntegerArray:
        case Kind::ByteArray: {
            ValueArray items;
            for (long i = 0; i < count && i < 64; ++i) items.push_back(Value(static_cast<long long>(v.toLong(i))));
            return Value(std::move(items));
        }
        case Kind::RationalArray: {
            ValueArray items;
            for (long i = 0; i < count && i < 64; ++i) items.push_back(Value(rationalAt(v, i)));
            return Value(std::move(items));
        }
        case Kind::Comment: {
            if (auto* comment = dynamic_cast<const Exiv2::CommentValue*>(&v)) {
                std::string text = comment->comment();
                while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.pop_back();
                return Value(std::move(text));
            }
            return Value(v.toString());
        }
        case Kind::Version: {
            // "0232" -> [2, 3, 2]: the digits without the leading zero, as the platform shows them.
            std::string digits;
            for (long i = 0; i < count && i < 4; ++i) digits += static_cast<char>(v.toLong(i));
            ValueArray items;
            for (std::size_t i = 0; i < digits.size(); ++i) {
                if (i == 0 && digits[i] == '0') continue;
                if (digits[i] >= '0' && digits[i] <= '9') items.push_back(Value(digits[i] - '0'));
            }
            return Value(std::move(items));
        }
        case Kind::Coordinate: {
            double degrees = 0;
            for (long i = 0; i < count && i < 3; ++i) degrees += rationalAt(v, i) / std::pow(60.0, double(i));
            return Value(degrees);
        }
        case Kind::GpsTime: {
            if (count < 3) return Value();
            char text[32];
            std::snprintf(text, sizeof text, "%02d:%02d:%05.2f", int(rationalAt(v, 0)), int(rationalAt(v, 1)),
                          rationalAt(v, 2));
            return Value(text);
        }
    }
    return Value();
}

// ---- writing ----

std::pair<std::int64_t, std::int64_t> toFraction(double value, bool isSigned) {
    if (!std::isfinite(value)) return {0, 1};
    const double limit = isSigned ? 2147483647.0 : 4294967295.0;
    if (!isSigned && value < 0) value = 0;
    // Short exposures read best as 1/n.
    if (std::fabs(value) > 0 && std::fabs(value) < 1) {
        const double inverse = 1.0 / std::fabs(value);
        const double n = std::round(inverse);
        if (n <= limit && std::fabs(inverse - n) < 1e-6 * inverse) return {value < 0 ? -1 : 1, std::int64_t(n)};
    }
    std::int64_t denominator = 1;
    while (denominator < 1000000 && std::fabs(value * double(denominator * 10)) <= limit &&
           std::fabs(value * double(denominator) - std::round(value * double(denominator))) > 1e-9)
        denominator *= 10;
    std::int64_t numerator = std::llround(std::clamp(value * double(denominator), -limit, limit));
    const std::int64_t g = std::gcd(numerator < 0 ? -numerator : numerator, denominator);
    if (g > 1) numerator /= g, denominator /= g;
    return {numerator, denominator};
}

std::string rationalText(double value, bool isSigned) {
    auto [n, d] = toFraction(value, isSigned);
    return std::to_string(n) + "/" + std::to_string(d);
}

std::vector<double> numbersOf(const Value& value) {
    std::vector<double> numbers;
    if (value.isArray()) {
        for (const Value& item : *value.arrayPtr())
            if (item.isNumber() || item.isString()) numbers.push_back(item.doubleValue());
    } else if (value.isNumber() || value.isString()) {
        numbers.push_back(value.doubleValue());
    }
    return numbers;
}

// Numbers separated by spaces, the form exiv2 reads for several components.
std::string joined(const std::vector<std::int64_t>& numbers) {
    std::string text;
    for (std::int64_t n : numbers) {
        if (!text.empty()) text += ' ';
        text += std::to_string(n);
    }
    return text;
}

bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// The text exiv2's value readers accept for a field, or none when the value does not fit.
std::optional<std::string> tagText(const Value& value, Kind kind) {
    switch (kind) {
        case Kind::Text:
            return value.isString() || value.isNumber() ? std::optional(value.stringValue()) : std::nullopt;
        case Kind::Rational:
        case Kind::SRational:
            if (!value.isNumber() && !value.isString()) return std::nullopt;
            return rationalText(value.doubleValue(), kind == Kind::SRational);
        case Kind::Integer:
            if (!value.isNumber() && !value.isString()) return std::nullopt;
            return std::to_string(std::max<std::int64_t>(value.integerValue(), 0));
        case Kind::IntegerArray:
        case Kind::ByteArray: {
            std::vector<std::int64_t> items;
            for (double n : numbersOf(value)) items.push_back(std::clamp<std::int64_t>(std::llround(n), 0, 65535));
            return items.empty() ? std::nullopt : std::optional(joined(items));
        }
        case Kind::RationalArray: {
            std::string text;
            for (double n : numbersOf(value)) {
                if (!text.empty()) text += ' ';
                text += rationalText(n, false);
            }
            return text.empty() ? std::nullopt : std::optional(text);
        }
        case Kind::Comment: {
            if (!value.isString()) return std::nullopt;
            const std::string& text = *value.string();
            return (isAscii(text) ? "charset=Ascii " : "charset=Unicode ") + text;
        }
        case Kind::Version: {
            std::string digits;
            for (double n : numbersOf(value)) digits += static_cast<char>('0' + std::clamp<int>(int(n), 0, 9));
            if (digits.empty()) return std::nullopt;
            while (digits.size() < 4) digits.insert(digits.begin(), '0');
            std::vector<std::int64_t> codes;
            for (char c : digits.substr(0, 4)) codes.push_back(c);
            return joined(codes);
        }
        case Kind::Coordinate: {
            if (!value.isNumber() && !value.isString()) return std::nullopt;
            const double degrees = std::fabs(value.doubleValue());
            if (!std::isfinite(degrees) || degrees > 360) return std::nullopt;
            const double whole = std::floor(degrees);
            const double minutes = std::floor((degrees - whole) * 60);
            const double seconds = ((degrees - whole) * 60 - minutes) * 60;
            return std::to_string(int(whole)) + "/1 " + std::to_string(int(minutes)) + "/1 " +
                   std::to_string(std::llround(seconds * 10000)) + "/10000";
        }
        case Kind::GpsTime: {
            if (!value.isString()) return std::nullopt;
            int h = 0, m = 0;
            double s = 0;
            if (std::sscanf(value.string()->c_str(), "%d:%d:%lf", &h, &m, &s) != 3) return std::nullopt;
            if (h < 0 || h > 24 || m < 0 || m > 59 || !(s >= 0 && s < 61)) return std::nullopt;
            return std::to_string(h) + "/1 " + std::to_string(m) + "/1 " + std::to_string(std::llround(s * 100)) +
                   "/100";
        }
    }
    return std::nullopt;
}

void writeTag(Exiv2::ExifData& exif, const char* tag, Kind kind, const Value& value) {
    auto text = tagText(value, kind);
    if (!text) return;
    const Exiv2::ExifKey key(tag);
    Exiv2::TypeId type = key.defaultTypeId();
    if (kind == Kind::Coordinate || kind == Kind::GpsTime) type = Exiv2::unsignedRational;
    if (kind == Kind::Integer && type == Exiv2::unsignedShort && value.integerValue() > 65535)
        type = Exiv2::unsignedLong;
    Exiv2::Value::AutoPtr v = Exiv2::Value::create(type);
    if (v->read(*text) != 0) return;
    exif[tag].setValue(v.get());
}

const Value& dictionaryIn(const Value& properties, const char* name) {
    const Value& d = properties[name];
    return d.isDictionary() ? d : Value::null();
}

bool hasGroup(const Exiv2::ExifData& exif, const char* group) {
    for (const auto& datum : exif)
        if (datum.groupName() == group) return true;
    return false;
}

// A coordinate given signed without its reference letter gets the letter its sign implies.
void fillCoordinateRef(const Value& gps, Exiv2::ExifData& exif, const char* key, const char* refKey, const char* refTag,
                       const char* positive, const char* negative) {
    const Value& v = gps[key];
    if (!v.isNumber() || gps[refKey].isString()) return;
    exif[refTag] = std::string(v.doubleValue() < 0 ? negative : positive);
}

}  // namespace

void exifToProperties(const Exiv2::ExifData& exif, const Value& properties) {
    for (const Field& field : kFields) {
        auto it = exif.findKey(Exiv2::ExifKey(field.tag));
        if (it == exif.end()) continue;
        Value value = readTag(*it, field.kind);
        if (value.isNull()) continue;
        Value dictionary = properties[field.dictionary];
        if (!dictionary.isDictionary()) {
            dictionary = Value::dictionary();
            properties.set(field.dictionary, dictionary);
        }
        dictionary.set(field.key, value);
    }
    const Value& tiff = properties[kCGImagePropertyTIFFDictionary];
    if (tiff[kCGImagePropertyTIFFOrientation].isInteger())
        properties.set(kCGImagePropertyOrientation, tiff[kCGImagePropertyTIFFOrientation]);
}

void propertiesToExif(const Value& properties, Exiv2::ExifData& exif, int pixelWidth, int pixelHeight, bool isJpeg) {
    auto isOrientation = [](const Value& v) { return v.isNumber() && v.integerValue() >= 1 && v.integerValue() <= 8; };
    for (const Field& field : kFields) {
        const Value& dictionary = dictionaryIn(properties, field.dictionary);
        const Value& value = dictionary[field.key];
        if (value.isNull()) continue;
        if (std::string_view(field.tag) == "Exif.Image.Orientation" && !isOrientation(value)) continue;
        writeTag(exif, field.tag, field.kind, value);
    }
    const Value& orientation = properties[kCGImagePropertyOrientation];
    if (isOrientation(orientation)) writeTag(exif, "Exif.Image.Orientation", Kind::Integer, orientation);
    const Value& dpiWidth = properties[kCGImagePropertyDPIWidth];
    const Value& dpiHeight = properties[kCGImagePropertyDPIHeight];
    if (dpiWidth.isNumber()) writeTag(exif, "Exif.Image.XResolution", Kind::Rational, dpiWidth);
    if (dpiHeight.isNumber()) writeTag(exif, "Exif.Image.YResolution", Kind::Rational, dpiHeight);
    if (dpiWidth.isNumber() || dpiHeight.isNumber())
        writeTag(exif, "Exif.Image.ResolutionUnit", Kind::Integer, Value(2));

    const Value& gps = dictionaryIn(properties, kCGImagePropertyGPSDictionary);
    fillCoordinateRef(gps, exif, kCGImagePropertyGPSLatitude, kCGImagePropertyGPSLatitudeRef,
                      "Exif.GPSInfo.GPSLatitudeRef", "N", "S");
    fillCoordinateRef(gps, exif, kCGImagePropertyGPSLongitude, kCGImagePropertyGPSLongitudeRef,
                      "Exif.GPSInfo.GPSLongitudeRef", "E", "W");
    // Likewise an altitude below sea level given as a negative number and no reference.
    if (const Value& altitude = gps[kCGImagePropertyGPSAltitude];
        altitude.isNumber() && altitude.doubleValue() < 0 && gps[kCGImagePropertyGPSAltitudeRef].isNull()) {
        writeTag(exif, "Exif.GPSInfo.GPSAltitude", Kind::Rational, Value(-altitude.doubleValue()));
        writeTag(exif, "Exif.GPSInfo.GPSAltitudeRef", Kind::Integer, Value(1));
    }
    if (hasGroup(exif, "GPSInfo") && exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSVersionID")) == exif.end())
        writeTag(exif, "Exif.GPSInfo.GPSVersionID", Kind::ByteArray, Value::array({2, 2, 0, 0}));
    // Tags a conforming JPEG EXIF block must hold, added when absent so that strict readers
    // accept the block.
    auto fillIn = [&exif](const char* tag, Kind kind, const Value& value) {
        if (exif.findKey(Exiv2::ExifKey(tag)) == exif.end()) writeTag(exif, tag, kind, value);
    };
    if (isJpeg && !exif.empty()) {
        fillIn("Exif.Image.XResolution", Kind::Rational, Value(72.0));
        fillIn("Exif.Image.YResolution", Kind::Rational, Value(72.0));
        fillIn("Exif.Image.ResolutionUnit", Kind::Integer, Value(2));
        fillIn("Exif.Image.YCbCrPositioning", Kind::Integer, Value(1));
    }
    if (hasGroup(exif, "Photo")) {
        fillIn("Exif.Photo.ExifVersion", Kind::Version, Value::array({2, 3, 2}));
        fillIn("Exif.Photo.FlashpixVersion", Kind::Version, Value::array({1, 0, 0}));
        fillIn("Exif.Photo.ColorSpace", Kind::Integer, Value(1));
        if (isJpeg) fillIn("Exif.Photo.ComponentsConfiguration", Kind::ByteArray, Value::array({1, 2, 3, 0}));
        // Properties copied from another picture (before a crop, say) must not misstate this one's size.
        if (pixelWidth > 0 && pixelHeight > 0) {
            exif["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(pixelWidth);
            exif["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(pixelHeight);
        }
    }
}

// Writes the starting inputs of each fuzz target, made the way the tests make theirs, into
// OUT_DIR/<target>/ (make fuzz calls it before the first run).
//
//   korva_fuzz_seeds OUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"
#include "platform/media/movie_encoder.h"
#include "platform/storage/json.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/property_list.h"

namespace {

namespace fs = std::filesystem;

void write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void write(const fs::path& dir, const std::string& name, std::string_view text) {
    write(dir, name, Bytes(text.begin(), text.end()));
}

// A value with every kind a property list, an archive or JSON carries.
Value sampleValue() {
    return Value::dictionary({{"name", Value("Global.1")},
                              {"count", Value(42)},
                              {"big", Value(18446744073709551615ull)},
                              {"ratio", Value(0.75)},
                              {"flag", Value(true)},
                              {"when", Value::date(789000000.5)},
                              {"data", Value::data({0, 1, 2, 0xFF})},
                              {"list", Value::array({Value("a"), Value(1), Value::array({Value(2.5f)})})},
                              {"nested", Value::dictionary({{"k\u00e9y", Value("v\u2603")}})}});
}

// A short movie with a picture and a sound track, as the recorder writes them; none when the
// encoder is missing.
std::optional<Bytes> smallMovie(const fs::path& path) {
    MovieEncoderSettings settings;
    settings.width = 32, settings.height = 24, settings.sampleRate = 44100, settings.channels = 1;
    settings.fastStart = true;
    auto encoder = MovieEncoder::open(path.string(), settings);
    if (!encoder) return std::nullopt;
    auto frame = CVPixelBuffer::make(32, 24);
    for (int i = 0; i < 6; ++i)
        if (!(*encoder)->addVideo(*frame, i / 10.0)) return std::nullopt;
    if (!(*encoder)->finish()) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(path);
    return bytes;
}

// A tone-curve file: version, count, then (output, input) pairs per curve.
Bytes curveFile(const std::vector<std::vector<std::pair<int, int>>>& curves) {
    Bytes b;
    auto u16 = [&](int v) {
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    };
    u16(4);
    u16(static_cast<int>(curves.size()));
    for (const auto& c : curves) {
        u16(static_cast<int>(c.size()));
        for (auto [in, out] : c) {
            u16(out);
            u16(in);
        }
    }
    return b;
}

RasterRGBA8 smallPicture() {
    RasterRGBA8 r = makeRaster(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            std::uint8_t* p = r.pixels.data() + (static_cast<std::size_t>(y) * 24 + x) * 4;
            p[0] = static_cast<std::uint8_t>(x * 10);
            p[1] = static_cast<std::uint8_t>(y * 15);
            p[2] = static_cast<std::uint8_t>((x + y) * 6);
            p[3] = static_cast<std::uint8_t>(x < 12 ? 255 : 128);
        }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korva_fuzz_seeds OUT_DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    const Value value = sampleValue();

    for (auto [format, name] : {std::pair{NSPropertyListXMLFormat_v1_0, "sample.xml.plist"},
                                std::pair{NSPropertyListBinaryFormat_v1_0, "sample.binary.plist"}})
        if (auto bytes = NSPropertyListSerialization::dataWithPropertyList(value, format))
            write(out / "property_list", name, *bytes);
    if (auto bytes = NSKeyedArchiver::archivedDataWithRootObject(value)) write(out / "keyed_archive", "sample", *bytes);
    if (auto text = NSJSONSerialization::stringWithJSONObject(value, NSJSONWritingPrettyPrinted))
        write(out / "json", "sample.json", *text);
    write(out / "json", "fragments.json", std::string_view(R"([1e308, -0.0, "\ud83d\ude00", null, {"a": [true]}])"));

    const std::vector<std::pair<int, int>> identity{{0, 0}, {255, 255}};
    write(out / "curves", "identity.acv", curveFile({identity, identity, identity, identity}));
    write(out / "curves", "bent.acv",
          curveFile(
              {identity, {{0, 10}, {90, 120}, {255, 250}}, {{0, 0}, {128, 100}, {128, 140}, {255, 255}}, identity}));

    const RasterRGBA8 picture = smallPicture();
    JpegEncodeOptions jpeg;
    jpeg.iccProfile = iccProfileForColorSpace("sRGB").value_or(Bytes{});
    jpeg.properties = Value::dictionary(
        {{kCGImagePropertyOrientation, Value(6)},
         {kCGImagePropertyTIFFDictionary, Value::dictionary({{kCGImagePropertyTIFFMake, Value("Korva")}})},
         {kCGImagePropertyGPSDictionary, Value::dictionary({{kCGImagePropertyGPSLatitude, Value(33.9)},
                                                            {kCGImagePropertyGPSLatitudeRef, Value("S")}})}});
    if (auto bytes = encodeJpeg(picture, jpeg)) write(out / "image", "photo.jpg", *bytes);
    jpeg.progressive = true;
    if (auto bytes = encodeJpeg(picture, jpeg)) write(out / "image", "progressive.jpg", *bytes);
    if (auto bytes = encodePng(picture)) write(out / "image", "picture.png", *bytes);

    write(out / "text", "url",
          std::string_view("\x10https://user@example.invalid:8080/a/./b/../c%20d?q=1&r=%E2%98%83#f"));
    write(out / "text", "html", std::string_view("\x05&amp;&#x2603;&#9731;&nbsp;<a href=\"x\">&lt;b&gt;</a>"));
    write(out / "text", "query",
          std::string_view("\x03"
                           "a=1&b=%zz&c&=d&e=\xe2\x98\x83"));
    write(out / "http_reply", "reply",
          std::string_view("\x08"
                           "Content-Type: text/html; charset=\"ISO-8859-1\"\nContent-Length: 1234\n"
                           "Set-Cookie: a=b\nX-Empty:\n"));

    write(out / "xml", "feed.xml",
          std::string_view("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
                           "xmlns:m=\"http://example.invalid/m\"><channel><title>T &amp; U</title>\n"
                           "<item m:id=\"1\"><title>a<![CDATA[<b>]]>b</title></item><item/></channel></rss>"));
    write(out / "resume_data", "record",
          "korva-resume-data 1\nurl http://127.0.0.1:8080/file.bin\nfile " +
              (fs::temp_directory_path() / "korva-fuzz-resume" / "tmp" / "download-1-1.tmp").string() +
              "\noffset 3\nvalidator \"v1\"\n");
    if (auto movie = smallMovie(out / "seed-movie.mp4")) write(out / "movie", "small.mp4", *movie);
    const Value form = Value::dictionary(
        {{"secLabels", Value::array({Value("General"), Value(3)})},
         {"arr", Value::array({Value::array({Value::dictionary({{"type", Value("switch")},
                                                                {"key", Value("sound")},
                                                                {"label", Value("Sound")},
                                                                {"value", Value(true)}}),
                                             Value::dictionary({{"type", Value("slider")},
                                                                {"value", Value(0.5)},
                                                                {"height", Value(44)},
                                                                {"options", Value::array({Value("a"), Value(2)})}})}),
                               Value("not a section")})}});
    if (auto bytes = NSPropertyListSerialization::dataWithPropertyList(form, NSPropertyListBinaryFormat_v1_0))
        write(out / "settings_form", "form.plist", *bytes);
    if (auto text = NSJSONSerialization::stringWithJSONObject(form, NSJSONWritingCompact))
        write(out / "settings_form", "form.json", *text);
    std::printf("seeds written to %s\n", out.c_str());
    return 0;
}

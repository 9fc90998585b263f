// Reading generated codes back with a real decoder program: the image is enlarged on a white
// margin, written as PNG to a temporary folder and handed to the decoder's command line.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "image_test_support.h"
#include "platform/image/codec/png.h"
#include "tests/support/required_tool.h"

namespace codereader {

inline Value bytesOf(const std::string& s) {
    return Value::data(Bytes(s.begin(), s.end()));
}

inline const char* const kZbar = "zbarimg --raw -q";

// Draws the code `scale` times larger on a white margin, writes a PNG and returns what the
// decoder command reads from it ("" when it reads nothing).
inline std::string decode(const std::shared_ptr<CIImage>& code, int scale, const std::string& name,
                          const std::string& decoder = kZbar) {
    using namespace imagetest;
    const CGRect e = code->extent();
    auto big = code->imageByApplyingTransform(CGAffineTransformMakeScale(scale, scale));
    auto white = CIImage::imageWithColor(CIColor::colorWithRed(1, 1, 1, 1));
    auto canvas = big->imageByCompositingOverImage(white);
    const int w = static_cast<int>(e.size.width) * scale + 40, h = static_cast<int>(e.size.height) * scale + 40;
    auto bitmap = render(plainContext(), canvas, CGRectMake(-20, -20, w, h));
    if (bitmap.rgba.empty()) return "render failed";
    RasterRGBA8 raster{w, h, bitmap.rgba, AlphaMode::Straight};
    auto png = encodePng(raster);
    if (!png) return "encode failed";
    const auto dir = std::filesystem::temp_directory_path() / ("korva_codes_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / (name + ".png");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.value().data()), static_cast<std::streamsize>(png.value().size()));
    std::string out;
    if (FILE* p = ::popen((decoder + " '" + path.string() + "' 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    std::filesystem::remove_all(dir);
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace codereader

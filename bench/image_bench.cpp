// Image benchmarks: Korva's engine against ffmpeg and the memory-bandwidth limit, as ratios.
//
//   korva_image_bench WORKDIR [cube-only | preview-only | thumbs-only | shutter-only]
// 1. colour cube 20^3 over a 3840x2160 frame vs ffmpeg lut3d and vs a plain copy of the frame;
// 2. the shutter's work (crop 3:4, turn to portrait, preset chain, JPEG with metadata) vs ffmpeg;
// 3. the preview (same chain, 750x1000 out of the frame) vs benchmark 2's filter stage;
// 4. 41 preset thumbnails at 150x150 from a 300x300 source, per output pixel, vs benchmark 2.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench_scenes.h"
#include "bench_timing.h"
#include "platform/image/ci_context.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/engine/kernels.h"

namespace {

constexpr int kW = 3840, kH = 2160, kDim = 20;

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

std::shared_ptr<CIContext> appContext() {
    // The application's contexts: no colour management.
    return CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
}

std::shared_ptr<CIImage> frameImage(std::vector<std::uint8_t> px, int w, int h) {
    return CIImage::imageWithBitmapData(std::move(px), static_cast<std::size_t>(w) * 4, w, h, CIFormat::RGBA8,
                                        CIAlphaMode::Premultiplied, nullptr);
}

// Crop to 3:4 of the landscape frame (4:3 as delivered) and turn to portrait, as the shutter does.
std::shared_ptr<CIImage> shutterGeometry(const std::shared_ptr<CIImage>& frame) {
    const double cropW = 2880, x = (kW - cropW) / 2;
    auto cropped = frame->imageByCroppingToRect(CGRectMake(x, 0, cropW, kH));
    auto turned = cropped->imageByApplyingTransform({0, -1, 1, 0, 0, 0});
    CGRect e = turned->extent();
    return turned->imageByApplyingTransform(CGAffineTransformMakeTranslation(-e.origin.x, -e.origin.y));
}

ValueDictionary photoProperties() {
    ValueDictionary tiff{{kCGImagePropertyTIFFMake, Value("Quillon")},
                         {kCGImagePropertyTIFFSoftware, Value("Korva bench")},
                         {kCGImagePropertyTIFFDateTime, Value("2026:12:06 12:00:00")}};
    ValueDictionary gps{{kCGImagePropertyGPSLatitude, Value(33.9)},   {kCGImagePropertyGPSLatitudeRef, Value("S")},
                        {kCGImagePropertyGPSLongitude, Value(18.4)},  {kCGImagePropertyGPSLongitudeRef, Value("E")},
                        {kCGImagePropertyGPSAltitude, Value(5.0)},    {kCGImagePropertyGPSAltitudeRef, Value(1)},
                        {kCGImagePropertyGPSTimeStamp, Value("12:03:07.00")}};
    return {{kCGImagePropertyTIFFDictionary, Value(std::move(tiff))},
            {kCGImagePropertyGPSDictionary, Value(std::move(gps))}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korva_image_bench WORKDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::string load = "?";
    if (std::ifstream avg("/proc/loadavg"); avg) std::getline(avg, load);
    std::printf("Korva image benchmarks: %u cores, kernels %s, load average at start: %s\n", cores,
                kernels::targetName(), load.c_str());

    auto frameBytes = syntheticFrame(kW, kH, 1);
    const std::string framePath = dir + "/frame.rgba", cubePath = dir + "/look.cube";
    writeFile(framePath, frameBytes);
    auto cube = lookCube(kDim, 0);
    writeCubeFile(cubePath, cube, kDim);
    auto context = appContext();
    const std::string ffInput =
        "ffmpeg -hide_banner -nostdin -y -f rawvideo -pix_fmt rgba -s " + std::to_string(kW) + "x" + std::to_string(kH);

    const std::string only = argc > 2 ? argv[2] : "";
    // 1. Colour cube.
    auto frame = frameImage(frameBytes, kW, kH);
    // The drawing context the preview uses (benchmark 3).
    auto gpu = CIContext::gpuContextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    if (only == "preview-only" || only == "thumbs-only") {
        PresetChain quick(cubeData(cube), kDim);
        std::vector<std::uint8_t> px(750 * 1000 * 4);
        CIBitmapSurface target{px.data(), 750, 1000, 750 * 4, CIFormat::BGRA8};
        auto thumbSource = frameImage(syntheticFrame(300, 300, 2), 300, 300)
                               ->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
        // The presets' looks are loaded once; every thumbnail makes its own chain.
        std::vector<Value> looks;
        for (int i = 0; i < 41; ++i) looks.push_back(cubeData(lookCube(kDim, i)));
        double t = best(20, [&] {
            if (only == "preview-only") {
                auto image = quick.apply(shutterGeometry(frame));
                gpu->drawImage(image, CGRectMake(0, 0, 750, 1000), image->extent(), target);
            } else {
                // As benchmark 4: every preset makes its own chain.
                for (int i = 0; i < 41; ++i) {
                    PresetChain preset(looks[static_cast<std::size_t>(i)], kDim);
                    context->createCGImage(preset.apply(thumbSource), CGRectMake(0, 0, 150, 150));
                }
            }
        });
        std::printf("%s: %.2f ms\n", only.c_str(), t * 1e3);
        return 0;
    }
    if (only == "shutter-only") {
        PresetChain quick(cubeData(cube), kDim);
        auto props = photoProperties();
        double t = best(5, [&] {
            auto image = quick.apply(shutterGeometry(frameImage(readFile(framePath), kW, kH)));
            auto jpeg = context->JPEGRepresentationOfImage(image, nullptr, props);
        });
        std::printf("%s: %.2f ms\n", only.c_str(), t * 1e3);
        return 0;
    }
    auto cubeFilter = CIFilter::filterWithName("CIColorCube");
    {
        Bytes data(cube.size() * sizeof(float));
        std::memcpy(data.data(), cube.data(), data.size());
        cubeFilter->setValue(Value(kDim), "inputCubeDimension");
        cubeFilter->setValue(Value::data(std::move(data)), "inputCubeData");
    }
    std::vector<std::uint8_t> out(frameBytes.size());
    double korvaCube = best(9, [&] {
        cubeFilter->setValue(Value(frame), kCIInputImageKey);
        if (!context->render(cubeFilter->outputImage(), out.data(), kW * 4, CGRectMake(0, 0, kW, kH), CIFormat::RGBA8,
                             nullptr))
            std::fprintf(stderr, "render failed\n");
    });
    if (only == "cube-only") {
        std::printf("Korva colour cube: %.2f ms\n", korvaCube * 1e3);
        return 0;
    }
    double copy = best(9, [&] {
        std::vector<std::thread> threads;
        const std::size_t slice = (frameBytes.size() / cores + 63) & ~std::size_t{63};
        for (unsigned t = 0; t < cores; ++t)
            threads.emplace_back([&, t] {
                std::size_t a = std::min(frameBytes.size(), t * slice), b = std::min(frameBytes.size(), a + slice);
                std::memcpy(out.data() + a, frameBytes.data() + a, b - a);
            });
        for (auto& th : threads) th.join();
    });
    double copyOne = best(9, [&] { std::memcpy(out.data(), frameBytes.data(), frameBytes.size()); });
    const int loops = 10;
    const std::string ffLoop = ffInput + " -stream_loop " + std::to_string(loops - 1) + " -i " + framePath +
                               " -filter_threads " + std::to_string(cores);
    double ffLut = command(ffLoop + " -vf format=rgba,lut3d=file=" + cubePath + ":interp=trilinear -f null -", 3);
    double ffNull = command(ffLoop + " -vf format=rgba -f null -", 3);
    double ffCube = std::max(1e-6, (ffLut - ffNull) / loops);
    std::printf("\n1. colour cube %d^3 on %dx%d: Korva %.2f ms, ffmpeg lut3d %.2f ms per frame, copy %.2f ms"
                " (%u threads; %.2f ms on one)\n",
                kDim, kW, kH, korvaCube * 1e3, ffCube * 1e3, copy * 1e3, cores, copyOne * 1e3);
    verdict("Korva / ffmpeg lut3d", korvaCube / ffCube, 0.5);
    // The memory-bandwidth limit: the faster of the two copies.
    verdict("Korva / plain read-and-write pass", korvaCube / std::min(copy, copyOne), 3.0);

    // 2. Shutter: crop, turn, preset chain, JPEG with metadata.
    PresetChain chain(cubeData(cube), kDim);
    const int pw = 2160, ph = 2880;
    std::vector<std::uint8_t> portrait(static_cast<std::size_t>(pw) * ph * 4);
    double filterStage = best(5, [&] {
        auto image = chain.apply(shutterGeometry(frame));
        if (!image || !context->render(image, portrait.data(), pw * 4, CGRectMake(0, 0, pw, ph), CIFormat::RGBA8, nullptr))
            std::fprintf(stderr, "filter stage failed\n");
    });
    std::size_t jpegSize = 0;
    auto props = photoProperties();
    double shutter = best(5, [&] {
        auto image = chain.apply(shutterGeometry(frameImage(readFile(framePath), kW, kH)));
        auto jpeg = context->JPEGRepresentationOfImage(image, nullptr, props);
        jpegSize = jpeg ? jpeg->size() : 0;
    });
    writeFile(dir + "/korva.jpg", {});
    double ffShutter = command(ffInput + " -i " + framePath + " -vf crop=2880:2160:480:0,transpose=clock,lut3d=file=" +
                                   cubePath + ":interp=trilinear -frames:v 1 -q:v 3 " + dir + "/ffmpeg.jpg",
                               5);
    std::printf("\n2. shutter (crop 3:4, portrait, preset chain, JPEG %zu bytes): Korva %.1f ms (filter stage %.1f ms),"
                " ffmpeg %.1f ms\n",
                jpegSize, shutter * 1e3, filterStage * 1e3, ffShutter * 1e3);
    verdict("Korva / ffmpeg crop,transpose,lut3d,JPEG", shutter / ffShutter, 0.5);

    // 3. Preview: the same chain drawn 750x1000 into a surface.
    std::vector<std::uint8_t> surfacePixels(750 * 1000 * 4);
    CIBitmapSurface surface{surfacePixels.data(), 750, 1000, 750 * 4, CIFormat::BGRA8};
    double preview = best(20, [&] {
        auto image = chain.apply(shutterGeometry(frame));
        gpu->drawImage(image, CGRectMake(0, 0, 750, 1000), image->extent(), surface);
    });
    std::printf("\n3. preview 750x1000 from the %dx%d frame: %.2f ms per frame\n", kW, kH, preview * 1e3);
    verdict("preview / full-size filter stage", preview / filterStage, 0.1);

    // 4. Thumbnails: 41 presets at 150x150 from a 300x300 source, chains made for each.
    auto thumbSource = frameImage(syntheticFrame(300, 300, 2), 300, 300)
                           ->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
    std::vector<Value> looks;
    for (int i = 0; i < 41; ++i) looks.push_back(cubeData(lookCube(kDim, i)));
    double thumbs = best(5, [&] {
        for (const auto& look : looks) {
            PresetChain preset(look, kDim);
            if (!context->createCGImage(preset.apply(thumbSource), CGRectMake(0, 0, 150, 150)))
                std::fprintf(stderr, "thumbnail failed\n");
        }
    });
    const double thumbPerPixel = thumbs / (41.0 * 150 * 150), stagePerPixel = filterStage / (double(pw) * ph);
    std::printf("\n4. 41 thumbnails 150x150: %.2f ms in all, %.2f ns per pixel (full-size stage %.2f ns per pixel)\n",
                thumbs * 1e3, thumbPerPixel * 1e9, stagePerPixel * 1e9);
    verdict("thumbnail / full-size time per output pixel", thumbPerPixel / stagePerPixel, 2.0);
    return 0;
}

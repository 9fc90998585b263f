// Benchmark inputs.
#include "bench_scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/image/codec/image_property_keys.h"

#include "platform/image/ci_vector.h"

std::vector<std::uint8_t> syntheticFrame(int width, int height, unsigned seed) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(width) * height * 4);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
            double base[3] = {0.2 + 0.6 * fx, 0.3 + 0.5 * fy, 0.5 + 0.3 * std::sin(6.0 * fx + 4.0 * fy)};
            std::uint8_t* p = &px[(static_cast<std::size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                int v = static_cast<int>(base[c] * 255) + static_cast<int>(rng() % 17) - 8;
                p[c] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
            }
            p[3] = 255;
        }
    return px;
}

std::vector<float> lookCube(int dim, int variant) {
    std::vector<float> cube(static_cast<std::size_t>(dim) * dim * dim * 4);
    const double lift = 0.05 * (variant % 5), gamma = 0.8 + 0.05 * (variant % 7), warm = 0.02 * (variant % 3);
    std::size_t i = 0;
    for (int b = 0; b < dim; ++b)
        for (int g = 0; g < dim; ++g)
            for (int r = 0; r < dim; ++r) {
                double v[3] = {static_cast<double>(r) / (dim - 1), static_cast<double>(g) / (dim - 1),
                               static_cast<double>(b) / (dim - 1)};
                double luma = 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2];
                for (int c = 0; c < 3; ++c) {
                    double s = luma + (v[c] - luma) * (0.7 + 0.1 * (variant % 4));
                    double o = lift + (1 - lift) * std::pow(std::clamp(s, 0.0, 1.0), gamma);
                    if (c == 0) o += warm;
                    if (c == 2) o -= warm;
                    cube[i++] = static_cast<float>(std::clamp(o, 0.0, 1.0));
                }
                cube[i++] = 1.0f;
            }
    return cube;
}

void writeCubeFile(const std::string& path, const std::vector<float>& cube, int dim) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return;
    std::fprintf(f, "LUT_3D_SIZE %d\n", dim);
    for (std::size_t i = 0; i < cube.size(); i += 4) std::fprintf(f, "%.6f %.6f %.6f\n", cube[i], cube[i + 1], cube[i + 2]);
    std::fclose(f);
}

std::vector<float> readCubeFile(const std::string& path, int& dim) {
    std::ifstream in(path);
    std::string line;
    dim = 0;
    std::vector<float> cube;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        if (line.rfind("LUT_3D_SIZE", 0) == 0) {
            std::string key;
            words >> key >> dim;
            if (dim < 2 || dim > 256) return {};
            cube.reserve(static_cast<std::size_t>(dim) * dim * dim * 4);
            continue;
        }
        float r, g, b;
        if (dim > 0 && words >> r >> g >> b) cube.insert(cube.end(), {r, g, b, 1.0f});
    }
    if (dim == 0 || cube.size() != static_cast<std::size_t>(dim) * dim * dim * 4) return {};
    return cube;
}

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
    return CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
}

std::shared_ptr<CIImage> frameImage(std::vector<std::uint8_t> px, int w, int h) {
    return CIImage::imageWithBitmapData(std::move(px), static_cast<std::size_t>(w) * 4, w, h, CIFormat::RGBA8,
                                        CIAlphaMode::Premultiplied, nullptr);
}

std::shared_ptr<CIImage> shutterGeometry(const std::shared_ptr<CIImage>& frame) {
    const CGRect whole = frame->extent();
    const double cropW = whole.size.height * 4 / 3, x = (whole.size.width - cropW) / 2;
    auto cropped = frame->imageByCroppingToRect(CGRectMake(x, 0, cropW, whole.size.height));
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

Value cubeData(const std::vector<float>& cube) {
    Bytes data(cube.size() * sizeof(float));
    std::memcpy(data.data(), cube.data(), data.size());
    return Value::data(std::move(data));
}

PresetChain::PresetChain(const Value& data, int dim) {
    filters.push_back(CIFilter::filterWithName("CIFaceBalance"));
    filters.push_back(CIFilter::filterWithName(
        "CINoiseReduction", {{"inputNoiseLevel", Value(0.1)}, {"inputSharpness", Value(0)}}));
    filters.push_back(CIFilter::filterWithName("CIToneCurve", {{"inputPoint0", Value(CIVector::vectorWithX(0, 0))},
                                                               {"inputPoint1", Value(CIVector::vectorWithX(0.167, 0.215))},
                                                               {"inputPoint2", Value(CIVector::vectorWithX(0.436, 0.544))},
                                                               {"inputPoint3", Value(CIVector::vectorWithX(0.727, 0.822))},
                                                               {"inputPoint4", Value(CIVector::vectorWithX(1, 1))}}));
    filters.push_back(CIFilter::filterWithName("CIVignette", {{"inputIntensity", Value(0.5)}, {"inputRadius", Value(0.5)}}));
    filters.push_back(CIFilter::filterWithName(
        "CIColorCube", {{"inputCubeDimension", Value(dim)}, {"inputCubeData", data}}));
}

std::shared_ptr<CIImage> PresetChain::apply(const std::shared_ptr<CIImage>& source) const {
    std::shared_ptr<CIImage> image = source;
    for (const auto& f : filters) {
        f->setValue(Value(image), kCIInputImageKey);
        image = f->outputImage();
        if (!image) return nullptr;
    }
    return image;
}

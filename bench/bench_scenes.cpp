// Benchmark inputs.
#include "bench_scenes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "platform/image/ci_vector.h"
#include "platform/image/codec/image_property_keys.h"

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
    for (std::size_t i = 0; i < cube.size(); i += 4)
        std::fprintf(f, "%.6f %.6f %.6f\n", cube[i], cube[i + 1], cube[i + 2]);
    std::fclose(f);
}

std::vector<float> readCubeFile(const std::string& path, int& dim) {
    // The whole text at once, numbers read with from_chars (no stream per line, no locale).
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    dim = 0;
    std::vector<float> cube;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!eol) eol = end;
        if (std::strncmp(p, "LUT_3D_SIZE", 11) == 0) {
            dim = std::atoi(p + 11);
            if (dim < 2 || dim > 256) return {};
            cube.reserve(static_cast<std::size_t>(dim) * dim * dim * 4);
        } else if (dim > 0) {
            float v[3];
            int got = 0;
            const char* q = p;
            for (; got < 3; ++got) {
                while (q < eol && (*q == ' ' || *q == '\t')) ++q;
                const auto [after, error] = std::from_chars(q, eol, v[got]);
                if (error != std::errc()) break;
                q = after;
            }
            if (got == 3) cube.insert(cube.end(), {v[0], v[1], v[2], 1.0f});
        }
        p = eol + 1;
    }
    if (dim == 0 || cube.size() != static_cast<std::size_t>(dim) * dim * dim * 4) return {};
    return cube;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

std::shared_ptr<CIImage> mappedFrameImage(const std::string& path, int w, int h) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    const std::size_t size = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    void* map = MAP_FAILED;
    if (w > 0 && h > 0 && ::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) == size)
        map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return nullptr;
    std::shared_ptr<const std::uint8_t> pixels(static_cast<const std::uint8_t*>(map), [size](const std::uint8_t* p) {
        ::munmap(const_cast<std::uint8_t*>(p), size);
    });
    return CIImage::imageWithBitmapData(std::move(pixels), size, static_cast<std::size_t>(w) * 4, w, h, CIFormat::RGBA8,
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
    ValueDictionary gps{
        {kCGImagePropertyGPSLatitude, Value(33.9)},          {kCGImagePropertyGPSLatitudeRef, Value("S")},
        {kCGImagePropertyGPSLongitude, Value(18.4)},         {kCGImagePropertyGPSLongitudeRef, Value("E")},
        {kCGImagePropertyGPSAltitude, Value(5.0)},           {kCGImagePropertyGPSAltitudeRef, Value(1)},
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
    filters.push_back(
        CIFilter::filterWithName("CINoiseReduction", {{"inputNoiseLevel", Value(0.1)}, {"inputSharpness", Value(0)}}));
    filters.push_back(
        CIFilter::filterWithName("CIToneCurve", {{"inputPoint0", Value(CIVector::vectorWithX(0, 0))},
                                                 {"inputPoint1", Value(CIVector::vectorWithX(0.167, 0.215))},
                                                 {"inputPoint2", Value(CIVector::vectorWithX(0.436, 0.544))},
                                                 {"inputPoint3", Value(CIVector::vectorWithX(0.727, 0.822))},
                                                 {"inputPoint4", Value(CIVector::vectorWithX(1, 1))}}));
    filters.push_back(
        CIFilter::filterWithName("CIVignette", {{"inputIntensity", Value(0.5)}, {"inputRadius", Value(0.5)}}));
    filters.push_back(
        CIFilter::filterWithName("CIColorCube", {{"inputCubeDimension", Value(dim)}, {"inputCubeData", data}}));
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

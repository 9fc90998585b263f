// The synthetic scene of the contact sheet.
#include "tools/contact_sheet/synthetic_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Deterministic value noise for texture.
double hash(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double noise(double x, double y) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    double fx = x - xi, fy = y - yi;
    double a = hash(xi, yi), b = hash(xi + 1, yi), c = hash(xi, yi + 1), d = hash(xi + 1, yi + 1);
    double u = fx * fx * (3 - 2 * fx), v = fy * fy * (3 - 2 * fy);
    return a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v;
}

Rgb pixel(double u, double v) {  // u, v in 0..1, v = 0 at the top
    // Sky: deep blue at the top to pale haze at the horizon, with a warm sun glow.
    Rgb sky = mix({0.20, 0.42, 0.78}, {0.78, 0.86, 0.92}, std::pow(v / 0.5, 1.3));
    double sun = std::exp(-(std::pow(u - 0.78, 2) + std::pow(v - 0.18, 2)) * 60);
    sky = mix(sky, {1.0, 0.93, 0.78}, std::min(1.0, sun * 1.2));
    Rgb c = sky;
    // Hills of foliage with texture.
    double ridge = 0.48 + 0.05 * std::sin(u * 7.0) + 0.03 * std::sin(u * 17.0 + 1.0);
    if (v > ridge) {
        double n = noise(u * 60, v * 60) * 0.6 + noise(u * 180, v * 180) * 0.4;
        Rgb dark{0.10, 0.26, 0.08}, light{0.45, 0.62, 0.22};
        c = mix(dark, light, std::clamp(n * 0.9 + (v - ridge) * 0.6, 0.0, 1.0));
    }
    // Ground: warm earth at the bottom.
    if (v > 0.78) c = mix({0.52, 0.40, 0.28}, {0.36, 0.27, 0.20}, (v - 0.78) / 0.22 + 0.1 * noise(u * 90, v * 90));
    // A face-like oval with shading (skin tones).
    double fx = (u - 0.28) / 0.11, fy = (v - 0.50) / 0.17;
    double r2 = fx * fx + fy * fy;
    if (r2 < 1.0) {
        double shade = 0.75 + 0.25 * (1 - r2) - 0.12 * fx;
        c = {0.93 * shade, 0.72 * shade, 0.60 * shade};
        if (std::pow((u - 0.28) / 0.05, 2) + std::pow((v - 0.60) / 0.018, 2) < 1) c = {0.72, 0.36, 0.36};  // lips
    }
    // Skin-tone patches from light to deep.
    const Rgb skins[] = {
        {0.96, 0.82, 0.72}, {0.88, 0.68, 0.55}, {0.74, 0.52, 0.38}, {0.52, 0.34, 0.24}, {0.34, 0.22, 0.16}};
    if (v > 0.70 && v < 0.78 && u > 0.45 && u < 0.95) c = skins[std::min(4, static_cast<int>((u - 0.45) / 0.1))];
    // Grey ramp along the bottom.
    if (v > 0.93) {
        double g = std::floor(u * 11) / 10.0;
        c = {g, g, g};
    }
    // Saturated swatches in the top-left corner (red, yellow, cyan, magenta).
    const Rgb swatches[] = {{0.85, 0.12, 0.10}, {0.95, 0.82, 0.15}, {0.10, 0.70, 0.80}, {0.78, 0.20, 0.65}};
    if (v > 0.04 && v < 0.12 && u > 0.03 && u < 0.35) c = swatches[std::min(3, static_cast<int>((u - 0.03) / 0.08))];
    return c;
}

}  // namespace

RasterRGBA8 makeSyntheticScene(int width, int height) {
    RasterRGBA8 r = makeRaster(width, height, AlphaMode::Straight);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = pixel((x + 0.5) / width, (y + 0.5) / height);
            std::uint8_t* p = r.pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = static_cast<std::uint8_t>(std::lround(std::clamp(c.r, 0.0, 1.0) * 255));
            p[1] = static_cast<std::uint8_t>(std::lround(std::clamp(c.g, 0.0, 1.0) * 255));
            p[2] = static_cast<std::uint8_t>(std::lround(std::clamp(c.b, 0.0, 1.0) * 255));
            p[3] = 255;
        }
    }
    return r;
}

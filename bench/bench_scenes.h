// Shared inputs of the image benchmarks: a synthetic camera frame, colour cubes and preset chains.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/ci_filter.h"
#include "platform/image/ci_image.h"

// A camera-like RGBA8 frame: smooth gradients with sensor noise (rows top to bottom).
std::vector<std::uint8_t> syntheticFrame(int width, int height, unsigned seed);

// A smooth colour look as a dim^3 RGBA float cube, red fastest; `variant` picks one of many looks.
std::vector<float> lookCube(int dim, int variant);
// The same cube as a .cube text file for other programs.
void writeCubeFile(const std::string& path, const std::vector<float>& cube, int dim);

// A cube as the data value a colour cube filter takes (a preset's look, loaded once).
Value cubeData(const std::vector<float>& cube);

// The filters of one menu preset: face balance, noise reduction, tone curve, vignette, colour cube.
struct PresetChain {
    std::vector<std::shared_ptr<CIFilter>> filters;
    PresetChain(const Value& cubeData, int dim);
    // Feeds a new source through the chain, as the application does for every frame.
    std::shared_ptr<CIImage> apply(const std::shared_ptr<CIImage>& source) const;
};

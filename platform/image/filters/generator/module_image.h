// Images of generated codes: a matrix of dark and light modules drawn one pixel per module.
#pragma once

#include <memory>
#include <vector>

#include "platform/image/ci_image.h"
#include "platform/runtime/value.h"

// Modules row by row, the top row first; true is dark.
struct ModuleMatrix {
    int width = 0, height = 0;
    std::vector<bool> dark;

    ModuleMatrix() = default;
    ModuleMatrix(int w, int h) : width(w), height(h), dark(static_cast<std::size_t>(w) * h, false) {}
    bool at(int x, int y) const { return dark[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, bool v) { dark[static_cast<std::size_t>(y) * width + x] = v; }
};

// Opaque black modules on white, with `quiet` light modules around (quietY above and below),
// one pixel per module, the extent's origin at (0, 0).
std::shared_ptr<CIImage> imageOfModules(const ModuleMatrix& m, int quiet, int quietY);

// The bytes of a message input: data as it is, a string as UTF-8; none for other values.
bool messageBytes(const Value& v, std::vector<std::uint8_t>& out);

// Draws module matrices: a transparent plane coloured per pixel from the matrix, then cropped.
#include "platform/image/filters/generator/module_image.h"

#include <cmath>

#include "platform/image/filters/filter_kit.h"

std::shared_ptr<CIImage> imageOfModules(const ModuleMatrix& m, int quiet, int quietY) {
    if (m.width <= 0 || m.height <= 0) return nullptr;
    auto modules = std::make_shared<const ModuleMatrix>(m);
    const long w = m.width + 2L * quiet, h = m.height + 2L * quietY;
    auto plane = CIImage::imageWithColor(CIColor::colorWithRed(0, 0, 0, 0));
    auto op = positionOp(
        "modules",
        [modules, quiet, quietY, h](double x, double y, float& r, float& g, float& b, float& a) {
            const long mx = static_cast<long>(std::floor(x)) - quiet;
            const long my = h - 1 - static_cast<long>(std::floor(y)) - quietY;  // rows counted from the top
            const bool dark = mx >= 0 && my >= 0 && mx < modules->width && my < modules->height &&
                              modules->at(static_cast<int>(mx), static_cast<int>(my));
            r = g = b = dark ? 0.0f : 1.0f;
            a = 1;
        },
        true);
    return imageWithPointOp(plane, op)->imageByCroppingToRect(
        CGRectMake(0, 0, static_cast<double>(w), static_cast<double>(h)));
}

bool messageBytes(const Value& v, std::vector<std::uint8_t>& out) {
    if (const Bytes* b = v.bytes()) {
        out.assign(b->begin(), b->end());
        return true;
    }
    if (v.isString()) {
        const std::string& s = v.stringValue();
        out.assign(s.begin(), s.end());
        return true;
    }
    return false;
}

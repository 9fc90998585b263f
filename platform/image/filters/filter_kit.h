// Short forms for the many small filters: per-pixel steps from a lambda, and filters whose output
// is one function of their inputs.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "platform/image/filters/filter_support.h"

// A per-pixel step that calls f(r, g, b, a) on every pixel (references, changed in place).
// `straight`: f wants colour divided by alpha; `alpha`: f may change alpha.
template <class F>
class PixelOp final : public PointOp {
public:
    PixelOp(std::string label, F f, bool straight, bool alpha)
        : label_(std::move(label)), f_(std::move(f)), straight_(straight), alpha_(alpha) {}
    void apply(const PixelSpan& s) const override {
        for (std::size_t i = 0; i < s.n; ++i) f_(s.r[i], s.g[i], s.b[i], s.a[i]);
    }
    bool straightAlpha() const override { return straight_; }
    bool changesAlpha() const override { return alpha_; }
    std::string label() const override { return label_; }

private:
    std::string label_;
    F f_;
    bool straight_, alpha_;
};

template <class F>
std::shared_ptr<const PointOp> pixelOp(std::string label, F f, bool straight = true, bool alpha = false) {
    return std::make_shared<PixelOp<F>>(std::move(label), std::move(f), straight, alpha);
}

// A step that depends on where the pixel is: f(x, y, r, g, b, a) with (x, y) the pixel's centre
// in the image's space. Writes premultiplied values (no alpha division around it).
template <class F>
class PositionOp final : public PointOp {
public:
    PositionOp(std::string label, F f, bool alpha) : label_(std::move(label)), f_(std::move(f)), alpha_(alpha) {}
    void apply(const PixelSpan& s) const override {
        for (std::size_t i = 0; i < s.n; ++i) {
            const double k = static_cast<double>(i);
            f_(s.x0 + k * s.dx, s.y0 + k * s.dy, s.r[i], s.g[i], s.b[i], s.a[i]);
        }
    }
    bool straightAlpha() const override { return false; }
    bool changesAlpha() const override { return alpha_; }
    std::string label() const override { return label_; }

private:
    std::string label_;
    F f_;
    bool alpha_;
};

template <class F>
std::shared_ptr<const PointOp> positionOp(std::string label, F f, bool alpha) {
    return std::make_shared<PositionOp<F>>(std::move(label), std::move(f), alpha);
}

// A filter whose output is Output(filter): no state beyond its inputs.
using FilterOutput = std::shared_ptr<CIImage> (*)(const CIFilter&);

template <FilterOutput Output>
class FunctionFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override { return Output(*this); }

protected:
    explicit FunctionFilter(const FilterDescription& d) : CIFilter(d) {}
};

template <FilterOutput Output>
std::shared_ptr<CIFilter> makeFunctionFilter(const FilterDescription& d) {
    return makeFilter<FunctionFilter<Output>>(d);
}

// A vector input as four floats, missing components from the fallback.
inline std::array<float, 4> vector4(const CIFilter& f, const std::string& key, std::array<float, 4> fallback) {
    auto v = f.vectorInput(key);
    if (!v) return fallback;
    for (std::size_t i = 0; i < 4 && i < v->count(); ++i) fallback[i] = static_cast<float>(v->valueAtIndex(i));
    return fallback;
}

// A colour input: a colour, or a vector or array of numbers (r, g, b[, a]; alpha 1 when missing).
inline std::shared_ptr<CIColor> colorValue(const CIFilter& f, const std::string& key) {
    if (auto c = f.colorInput(key)) return c;
    auto v = f.vectorInput(key);
    if (!v || v->count() < 3) return nullptr;
    return CIColor::colorWithRed(v->X(), v->Y(), v->Z(), v->count() > 3 ? v->W() : 1.0);
}

// A colour input as four floats (straight colour); the fallback when missing.
inline std::array<float, 4> color4(const CIFilter& f, const std::string& key, std::array<float, 4> fallback) {
    auto c = colorValue(f, key);
    if (!c) return fallback;
    return {static_cast<float>(c->red()), static_cast<float>(c->green()), static_cast<float>(c->blue()),
            static_cast<float>(c->alpha())};
}

// Rec. 709 luma.
inline float luma709(float r, float g, float b) {
    return 0.2126f * r + 0.7152f * g + 0.0722f * b;
}

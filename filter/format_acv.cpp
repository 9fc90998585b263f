// Curve files: reading, spline preparation, lookup and colour cube.
#include "filter/format_acv.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "filter/color_table.h"
#include "foundation/numeric.h"

namespace {

// A reader that refuses to step past the end.
class BigEndianReader {
public:
    explicit BigEndianReader(const Bytes& data) : data_(data) {}
    std::optional<unsigned> u16() {
        if (at_ + 2 > data_.size()) return std::nullopt;
        unsigned v = (unsigned(data_[at_]) << 8) | data_[at_ + 1];
        at_ += 2;
        return v;
    }
    std::size_t remaining() const { return data_.size() - at_; }

private:
    const Bytes& data_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<std::vector<FormatACV::Curve>> FormatACV::parse0(const Bytes& data) {
    BigEndianReader r(data);
    auto version = r.u16();
    auto count = r.u16();
    if (!version || !count) return std::nullopt;
    std::vector<Curve> curves;
    for (unsigned c = 0; c < *count; ++c) {
        auto n = r.u16();
        if (!n || r.remaining() < std::size_t(*n) * 4) return std::nullopt;
        Curve curve;
        curve.reserve(*n);
        for (unsigned i = 0; i < *n; ++i) {
            unsigned out = *r.u16();
            unsigned in = *r.u16();
            // No sound writer puts a point past the last input level; such a point would stretch
            // the spline across the whole range and darken everything.
            if (in > 255) return std::nullopt;
            curve.push_back({static_cast<double>(in), static_cast<double>(out)});
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

std::optional<std::vector<double>> FormatACV::secondDerivative(const Curve& p) {
    std::size_t n = p.size();
    if (n < 2) return std::nullopt;
    std::vector<std::array<double, 3>> m(n, {0, 0, 0});
    std::vector<double> r(n, 0);
    m[0] = {0, 1, 0};
    m[n - 1] = {0, 1, 0};
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const CGPoint &a = p[i - 1], &b = p[i], &c = p[i + 1];
        m[i] = {(b.x - a.x) / 6, (c.x - a.x) / 3, (c.x - b.x) / 6};
        r[i] = (c.y - b.y) / (c.x - b.x) - (b.y - a.y) / (b.x - a.x);
    }
    for (std::size_t i = 1; i < n; ++i) {
        double k = -m[i][0] / m[i - 1][1];
        m[i][1] += k * m[i - 1][2];
        m[i][0] = 0;
        r[i] += k * r[i - 1];
    }
    for (std::size_t i = n - 1; i-- > 0;) {
        double k = -m[i][2] / m[i + 1][1];
        m[i][1] += k * m[i + 1][0];
        m[i][2] = 0;
        r[i] += k * r[i + 1];
    }
    std::vector<double> y2(n);
    for (std::size_t i = 0; i < n; ++i) y2[i] = r[i] / m[i][1];
    return y2;
}

std::optional<FormatACV::Curve> FormatACV::splineCurve(const Curve& p) {
    auto y2 = secondDerivative(p);
    if (!y2) return std::nullopt;
    Curve out;
    for (std::size_t k = 0; k + 1 < p.size(); ++k) {
        const CGPoint &a = p[k], &b = p[k + 1];
        double h = b.x - a.x;
        for (long x = static_cast<long>(std::trunc(a.x)); x < static_cast<long>(std::trunc(b.x)); ++x) {
            double t = (x - a.x) / h, s = 1 - t;
            double y = s * a.y + t * b.y + (h * h / 6) * ((s * s * s - s) * (*y2)[k] + (t * t * t - t) * (*y2)[k + 1]);
            out.push_back({static_cast<double>(x), std::clamp(y, 0.0, 255.0)});
        }
    }
    out.push_back(p.back());
    return out;
}

std::vector<float> FormatACV::getPreparedSplineCurve(const Curve& curve) {
    Curve points = curve;
    std::stable_sort(points.begin(), points.end(), [](const CGPoint& a, const CGPoint& b) {
        return static_cast<float>(a.x) < static_cast<float>(b.x);
    });
    // A repeated input would make a segment of zero width: the later point wins.
    Curve distinct;
    for (const CGPoint& pt : points) {
        if (!distinct.empty() && static_cast<float>(distinct.back().x) == static_cast<float>(pt.x))
            distinct.back() = pt;
        else
            distinct.push_back(pt);
    }
    auto samples = splineCurve(distinct);
    if (!samples || samples->size() < 2) return {};
    Curve full;
    double x0 = samples->front().x;
    for (long i = 0; i < static_cast<long>(std::trunc(x0)); ++i) full.push_back({static_cast<double>(i), 0});
    full.insert(full.end(), samples->begin(), samples->end());
    double xl = samples->back().x;
    if (xl < 255)
        for (long i = static_cast<long>(std::trunc(xl + 1)); i <= 255; ++i)
            full.push_back({static_cast<double>(i), 255});
    std::vector<float> deltas;
    deltas.reserve(full.size());
    for (const CGPoint& pt : full) {
        float x = static_cast<float>(pt.x), y = static_cast<float>(pt.y);
        float d = hypotFloat(x - x, x - y);
        deltas.push_back(x > y ? -d : d);
    }
    return deltas;
}

std::optional<std::vector<std::array<float, 3>>> FormatACV::lookup(const Bytes& data) {
    auto curves = parse0(data);
    if (!curves || curves->size() < 4) return std::nullopt;
    std::array<std::vector<float>, 4> d;
    for (int c = 0; c < 4; ++c) {
        d[c] = getPreparedSplineCurve((*curves)[c]);
        if (d[c].size() < 256) return std::nullopt;
    }
    std::vector<std::array<float, 3>> table(256);
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) {
            int v = static_cast<int>(std::trunc(clampFloat(static_cast<float>(i) + d[c + 1][i], 0, 255)));
            int w = static_cast<int>(std::trunc(clampFloat(static_cast<float>(v) + d[0][v], 0, 255)));
            table[i][c] = static_cast<float>(w) / 255.0f;
        }
    }
    return table;
}

int FormatACV::gridIndex(int k) {
    return static_cast<int>(std::trunc(static_cast<float>(k) / 19.0f * 255.0f));
}

Value FormatACV::cube(const std::vector<std::array<float, 3>>& table) {
    std::vector<std::array<float, 4>> entries;
    entries.reserve(kCubeDimension * kCubeDimension * kCubeDimension);
    for (int b = 0; b < kCubeDimension; ++b)
        for (int g = 0; g < kCubeDimension; ++g)
            for (int r = 0; r < kCubeDimension; ++r)
                entries.push_back({table[gridIndex(r)][0], table[gridIndex(g)][1], table[gridIndex(b)][2], 1.0f});
    return packedColorTable(entries);
}

Value FormatACV::parse0(const Bytes& data, const std::string& disp, const Value& pre) {
    auto table = lookup(data);
    if (!table) return {};
    ValueDictionary inputs{
        {"inputCubeDimension", Value::dictionary({{"value", Value(kCubeDimension)}})},
        {"inputCubeData", Value::dictionary({{"value", cube(*table)}})},
        {"inputImage", Value::dictionary({{"value", pre}, {"editable", Value(true)}})},
    };
    return Value::dictionary(
        {{"name", Value("CIColorCube")}, {"disp", Value(disp)}, {"value", Value(std::move(inputs))}});
}

namespace {

Value entry(Value value, bool editable) {
    return Value::dictionary({{"value", std::move(value)}, {"editable", Value(editable)}});
}

Value point(double x, double y) {
    return Value::array({Value(x), Value(y)});
}

}  // namespace

Value FormatACV::portraitPreChain() {
    Value face = Value::dictionary({{"name", Value("CIFaceBalance")}});
    Value noise = Value::dictionary({{"name", Value("CINoiseReduction")},
                                     {"value", Value::dictionary({{"inputNoiseLevel", entry(Value(0.1), false)},
                                                                  {"inputSharpness", entry(Value(0), false)},
                                                                  {"inputImage", entry(face, false)}})}});
    Value tone = Value::dictionary({{"name", Value("CIToneCurve")},
                                    {"value", Value::dictionary({{"inputPoint0", entry(point(0, 0), true)},
                                                                 {"inputPoint1", entry(point(0.167, 0.215), true)},
                                                                 {"inputPoint2", entry(point(0.436, 0.544), true)},
                                                                 {"inputPoint3", entry(point(0.727, 0.822), true)},
                                                                 {"inputPoint4", entry(point(1, 1), true)},
                                                                 {"inputImage", entry(noise, true)}})}});
    return Value::dictionary({{"name", Value("CIVignette")},
                              {"value", Value::dictionary({{"inputIntensity", entry(Value(0.5), true)},
                                                           {"inputRadius", entry(Value(0.5), false)},
                                                           {"inputImage", entry(tone, false)}})}});
}

Value FormatACV::alternativePreChain() {
    Value median = Value::dictionary({{"name", Value("CIMedianFilter")}});
    Value noise = Value::dictionary({{"name", Value("CINoiseReduction")},
                                     {"value", Value::dictionary({{"inputNoiseLevel", entry(Value(0.1), true)},
                                                                  {"inputSharpness", entry(Value(0), true)},
                                                                  {"inputImage", entry(median, true)}})}});
    return Value::dictionary({{"name", Value("CIVibrance")},
                              {"value", Value::dictionary({{"inputAmount", entry(Value(0.5), false)},
                                                           {"inputImage", entry(noise, true)}})}});
}

Value FormatACV::parseSelfie(const Bytes& data, const std::string& disp) {
    return parse0(data, disp, portraitPreChain());
}

Value FormatACV::parseSelfie1(const Bytes& data, const std::string& disp) {
    return parse0(data, disp, alternativePreChain());
}

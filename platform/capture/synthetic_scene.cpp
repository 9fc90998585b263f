// Rendering of the synthetic scene.
#include "platform/capture/synthetic_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr SyntheticSceneColor kBars[8] = {
    {0.90f, 0.90f, 0.90f}, {0.90f, 0.90f, 0.05f}, {0.05f, 0.90f, 0.90f}, {0.05f, 0.90f, 0.05f},
    {0.90f, 0.05f, 0.90f}, {0.90f, 0.05f, 0.05f}, {0.05f, 0.05f, 0.90f}, {0.02f, 0.02f, 0.02f},
};
constexpr SyntheticSceneColor kRamp[8] = {
    {0.02f, 0.02f, 0.02f}, {0.05f, 0.05f, 0.05f}, {0.09f, 0.09f, 0.09f}, {0.18f, 0.18f, 0.18f},
    {0.30f, 0.30f, 0.30f}, {0.45f, 0.45f, 0.45f}, {0.65f, 0.65f, 0.65f}, {0.90f, 0.90f, 0.90f},
};

std::uint32_t pack(const SyntheticSceneColor& c, const SyntheticSceneParams& p) {
    std::uint8_t r = syntheticEncode(c.r * p.exposure * p.channelGain[0]);
    std::uint8_t g = syntheticEncode(c.g * p.exposure * p.channelGain[1]);
    std::uint8_t b = syntheticEncode(c.b * p.exposure * p.channelGain[2]);
    // B G R A in memory.
    return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | 0xFF000000u;
}

// Separable box blur with running sums; edges repeat the border pixel.
void boxBlur(CVPixelBuffer& buf, int radius) {
    const int w = int(buf.width()), h = int(buf.height());
    const int n = 2 * radius + 1;
    std::vector<std::uint8_t> line(std::max(w, h) * 4);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = buf.row(y);
        std::memcpy(line.data(), row, std::size_t(w) * 4);
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += line[std::clamp(i, 0, w - 1) * 4 + c];
            for (int x = 0; x < w; ++x) {
                row[x * 4 + c] = std::uint8_t(sum / n);
                sum += line[std::min(x + radius + 1, w - 1) * 4 + c] - line[std::max(x - radius, 0) * 4 + c];
            }
        }
    }
    // Vertically, whole rows at a time (running column sums), which keeps memory access in order.
    std::vector<int> sums(std::size_t(w) * 3, 0);
    std::vector<std::uint8_t> copy(std::size_t(w) * 4 * std::size_t(h));
    for (int y = 0; y < h; ++y) std::memcpy(&copy[std::size_t(y) * w * 4], buf.row(y), std::size_t(w) * 4);
    auto src = [&](int y) { return &copy[std::size_t(std::clamp(y, 0, h - 1)) * w * 4]; };
    for (int i = -radius; i <= radius; ++i) {
        const std::uint8_t* r = src(i);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) sums[std::size_t(x) * 3 + c] += r[x * 4 + c];
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = buf.row(y);
        const std::uint8_t* add = src(y + radius + 1);
        const std::uint8_t* sub = src(y - radius);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int& sum = sums[std::size_t(x) * 3 + c];
                out[x * 4 + c] = std::uint8_t(sum / n);
                sum += add[x * 4 + c] - sub[x * 4 + c];
            }
    }
}

}  // namespace

const SyntheticSceneColor* syntheticBarColors() {
    return kBars;
}
const SyntheticSceneColor* syntheticRampColors() {
    return kRamp;
}

std::uint8_t syntheticEncode(double linear) {
    if (!(linear > 0)) return 0;
    if (linear >= 1) return 255;
    double s = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return std::uint8_t(std::lround(s * 255));
}

void renderSyntheticScene(CVPixelBuffer& out, const SyntheticSceneParams& p) {
    const int w = int(out.width()), h = int(out.height());
    if (w <= 0 || h <= 0) return;
    const double zoom = std::max(1.0, p.zoom);
    std::uint32_t bars[8], ramp[8];
    for (int i = 0; i < 8; ++i) bars[i] = pack(kBars[i], p), ramp[i] = pack(kRamp[i], p);
    const std::uint32_t square = pack(kSyntheticSquareColor, p);

    // Scene coordinates (0...1 both ways, y down) of a pixel, magnified about the centre.
    auto sceneX = [&](int x) { return 0.5 + ((x + 0.5) / w - 0.5) / zoom; };
    auto sceneY = [&](int y) { return 0.5 + ((y + 0.5) / h - 0.5) / zoom; };

    std::vector<std::uint32_t> barRow(w), rampRow(w);
    for (int x = 0; x < w; ++x) {
        int band = std::clamp(int(sceneX(x) * 8), 0, 7);
        barRow[x] = bars[band];
        rampRow[x] = ramp[band];
    }
    // The square travels left to right and back every 8 s, in the middle of the bars.
    double phase = std::fmod(std::max(0.0, p.time), 8.0) / 4.0;
    double travel = phase <= 1 ? phase : 2 - phase;
    double side = kSyntheticSquareShare;  // in scene heights
    double sideX = side * h / w;
    double sx0 = 0.05 + travel * (0.9 - sideX), sx1 = sx0 + sideX;
    double sy0 = kSyntheticBarsShare / 2 - side / 2, sy1 = sy0 + side;

    // The columns the square covers (the same test for every row it crosses).
    int squareX0 = w, squareX1 = w;
    for (int x = 0; x < w; ++x) {
        double u = sceneX(x);
        if (u >= sx0 && u < sx1) {
            if (squareX0 == w) squareX0 = x;
            squareX1 = x + 1;
        }
    }
    auto drawRow = [&](int y) {
        double v = sceneY(y);
        auto* row = reinterpret_cast<std::uint32_t*>(out.row(y));
        std::memcpy(row, (v < kSyntheticBarsShare ? barRow : rampRow).data(), std::size_t(w) * 4);
        if (v >= sy0 && v < sy1) std::fill(row + squareX0, row + squareX1, square);
    };
    int radius = int(std::lround(p.blurFraction * w));
    // The rows the square crosses.
    int squareY0 = h, squareY1 = h;
    for (int y = 0; y < h; ++y) {
        double v = sceneY(y);
        if (v >= sy0 && v < sy1) {
            if (squareY0 == h) squareY0 = y;
            squareY1 = y + 1;
        }
    }
    // A sharp frame drawn before with the same light, colour and zoom differs from this one only
    // where the square was and is: those rows are drawn again, the rest stay as they are (a pooled
    // frame comes back with its last picture, which says in an attachment how it was drawn).
    char look[160];
    std::snprintf(look, sizeof look, "%dx%d %a %a %a %a %a", w, h, p.exposure, p.channelGain[0], p.channelGain[1],
                  p.channelGain[2], zoom);
    const char* kDrawn = "korva.synthetic.drawn";
    Value drawn = out.attachment(kDrawn);
    if (radius == 0 && drawn.isArray() && drawn.count() == 3 && drawn[std::size_t(0)].isString() &&
        *drawn[std::size_t(0)].string() == look) {
        const int oldY0 = int(drawn[std::size_t(1)].integerValue()), oldY1 = int(drawn[std::size_t(2)].integerValue());
        for (int y = std::max(0, oldY0); y < std::min(h, oldY1); ++y) drawRow(y);
        for (int y = squareY0; y < squareY1; ++y) drawRow(y);
    } else {
        for (int y = 0; y < h; ++y) drawRow(y);
    }
    if (radius > 0) {
        boxBlur(out, std::min(radius, std::max(1, w / 4)));
        out.setAttachment(kDrawn, Value());
    } else {
        out.setAttachment(kDrawn, Value::array({Value(std::string(look)), Value(std::int64_t(squareY0)),
                                                Value(std::int64_t(squareY1))}));
    }
}

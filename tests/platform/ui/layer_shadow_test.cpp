// A layer's shadow measured against the Gaussian blur its radius stands for: a deviation of half
// the radius, in pixels at the scale drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "draw_test_support.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_renderer.h"

namespace {

// A white icon of thin strokes, as the camera's controls are: bars three pixels wide every twelve
// and one across.
std::shared_ptr<CGImage> strokes(int side) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side * 4, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (x % 12 < 3 || (y > side / 2 && y < side / 2 + 3))
                for (int c = 0; c < 4; ++c) pixels[(static_cast<std::size_t>(y) * side + x) * 4 + c] = 255;
    return CGImage::create(side, side, static_cast<std::size_t>(side) * 4, std::move(pixels));
}

// The plane convolved with a sampled, normalised Gaussian, one axis at a time; outside is zero.
std::vector<double> gaussianBlur(const std::vector<double>& plane, int w, int h, double sigma) {
    const int reach = static_cast<int>(std::ceil(4 * sigma));
    std::vector<double> kernel(2 * reach + 1);
    double sum = 0;
    for (int i = -reach; i <= reach; ++i) sum += kernel[i + reach] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& k : kernel) k /= sum;
    auto pass = [&](const std::vector<double>& in, bool vertical) {
        std::vector<double> out(in.size(), 0.0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int i = -reach; i <= reach; ++i) {
                    const int xx = vertical ? x : x + i, yy = vertical ? y + i : y;
                    if (xx >= 0 && xx < w && yy >= 0 && yy < h) out[y * w + x] += kernel[i + reach] * in[yy * w + xx];
                }
        return out;
    };
    return pass(pass(plane, false), true);
}

// Each picture shows the values just set, without implicit animations.
struct LayerShadow : ::testing::Test {
    void SetUp() override {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    void TearDown() override { CATransaction::commit(); }
};

}  // namespace

// The shadow of the toolkit's standard recipe (black, opacity 0.2, offset (1, 1), the default
// radius of 3) under a white icon on a white picture: every pixel within two levels of what the
// true Gaussian gives, at twice and three times the scale.
TEST_F(LayerShadow, AThinIconsShadowIsAsDarkAsTheGaussianOfItsRadius) {
    for (CGFloat scale : {2.0, 3.0}) {
        SCOPED_TRACE(scale);
        auto root = CALayer::make();
        root->setFrame(CGRectMake(0, 0, 80, 80));
        auto icon = CALayer::make();
        icon->setFrame(CGRectMake(20, 20, 40, 40));
        icon->setContents(strokes(80));
        icon->setContentsScale(2);
        root->addSublayer(icon);
        // The icon's coverage as drawn at this scale, without a shadow.
        auto bare = LayerRenderer::snapshot(*root, scale);
        ASSERT_TRUE(bare);
        const int w = bare->width(), h = bare->height();
        std::vector<double> cover(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) cover[y * w + x] = pixelAt(*bare, x, y).a / 255.0;
        const std::vector<double> blurred = gaussianBlur(cover, w, h, icon->shadowRadius() * scale / 2);

        root->setBackgroundColor(CGColor::rgb(1, 1, 1, 1));
        icon->setShadowOpacity(0.2f);
        icon->setShadowOffset({1, 1});
        auto shot = LayerRenderer::snapshot(*root, scale);
        ASSERT_TRUE(shot);
        const int offset = static_cast<int>(std::lround(scale));
        double darkest = 255, darkestWanted = 255;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = x - offset, sy = y - offset;
                const double shadow = sx >= 0 && sy >= 0 ? 0.2 * blurred[sy * w + sx] : 0;
                // White icon over the white picture darkened by the shadow it does not cover.
                const double wanted = 255 * (1 - (1 - cover[y * w + x]) * shadow);
                const int got = pixelAt(*shot, x, y).g;
                ASSERT_NEAR(got, wanted, 2) << "at (" << x << ", " << y << ")";
                darkest = std::min<double>(darkest, got);
                darkestWanted = std::min(darkestWanted, wanted);
            }
        EXPECT_NEAR(darkest, darkestWanted, 1) << "the outline is as dark as the shadow the radius gives";
    }
}

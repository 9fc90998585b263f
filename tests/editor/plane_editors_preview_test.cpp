// End to end through a stand-in filter host: hand-made presets with a tone curve, a crop
// rectangle and four corner positions are edited in their editors, the host renders the preset
// through the filter graph with a real context, and a new element made from the stored records
// renders the same. The full-frame editors move the filter pop-up out of the way while open.
#include <gtest/gtest.h>

#include "filter/filter_context.h"
#include "filter/filter_element.h"
#include "platform/image/cg_image.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_filter.h"
#include "tests/editor/plane_editors_support.h"
#include "tests/platform/ui/draw_test_support.h"

namespace {

using S = UIGestureRecognizerState;

constexpr int kW = 64, kH = 48;

// A picture whose red rises to the right and green upwards.
std::shared_ptr<CIImage> gradient() {
    std::vector<std::uint8_t> px(kW * kH * 4);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = &px[(y * kW + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>((kH - 1 - y) * 5);
            p[2] = 128;
            p[3] = 255;
        }
    }
    return CIImage::imageWithBitmapData(std::move(px), kW * 4, kW, kH, CIFormat::RGBA8, CIAlphaMode::Premultiplied,
                                        nullptr);
}

Value vectorRecord(const char* disp, int kind, Value value) {
    return Value::dictionary({{"type", Value("CIVector")},
                              {"disp", Value(disp)},
                              {"view", Value(kind)},
                              {"editable", Value(true)},
                              {"value", value},
                              {"def", value.deepCopy()}});
}

Value imageRecord() {
    return Value::dictionary({{"type", Value("CIImage")}, {"view", Value(14)}, {"editable", Value(false)}});
}

// Renders the preset as the preview would, and hides the pop-up while a full-frame editor shows.
struct PreviewHost : CountingHost {
    std::shared_ptr<FilterContext> context = FilterContext::make();
    std::string name;
    Value records;
    std::weak_ptr<PopAdjView> pop;

    std::shared_ptr<CGImage> render(const Value& rs) {
        auto f = FilterElement::refresh(image, name, rs, Value::dictionary());
        auto out = f ? f->outputImage() : nullptr;
        return out ? context->ciCPU()->createCGImage(out, out->extent()) : nullptr;
    }
    std::shared_ptr<CGImage> render() { return render(records); }
    void onPopAdjViewFullScreenRequested(PopAdjView& p) override {
        if (auto s = pop.lock()) s->setHidden(true);
        AdjHost::onPopAdjViewFullScreenRequested(p);
    }
    void onPopAdjViewFullScreenFinished(PopAdjView& p) override {
        if (auto s = pop.lock()) s->setHidden(false);
        AdjHost::onPopAdjViewFullScreenFinished(p);
    }
};

struct Preview : PlaneEditors {
    std::shared_ptr<PreviewHost> preview = std::make_shared<PreviewHost>();

    void SetUp() override {
        PlaneEditors::SetUp();
        host = preview;
        preview->image = gradient();
        preview->pop = pop;
        pop->setDelegate(preview);
    }
    void openPreset(const char* name, ValueDictionary records) {
        preview->name = name;
        preview->records = Value(std::move(records));
        pop->show(
            anchor, [] {}, [] {});
        advance(0.5);
        open(Value::dictionary({{"name", Value(name)}, {"value", preview->records}}));
    }
    // What a new element of the same preset renders: the stored records, read again.
    std::shared_ptr<CGImage> reread() {
        Value stored = preview->records.deepCopy();
        for (auto& [key, record] : *stored.dictionaryPtr()) {
            if (ValueDictionary* d = record.dictionaryPtr()) d->remove("instanceData");
        }
        return preview->render(stored);
    }
    static bool samePixels(const CGImage& a, const CGImage& b) {
        if (a.width() != b.width() || a.height() != b.height()) return false;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (!near(pixelAt(a, x, y), pixelAt(b, x, y), 1)) return false;
            }
        }
        return true;
    }
};

TEST_F(Preview, AToneCurveEditBrightensTheMiddle) {
    ValueDictionary rs{{"inputImage", imageRecord()}};
    for (int i = 0; i < 5; ++i) {
        rs.set("inputPoint" + std::to_string(i), vectorRecord("P", 11, numbers({i * 0.25, i * 0.25})));
    }
    openPreset("CIToneCurve", std::move(rs));
    auto before = preview->render();
    ASSERT_TRUE(before);
    auto& plane = *pop->popGraph2D()->plane();
    const CGSize s = plane.frame().size;
    plane.tap(S::Ended, {0.5 * s.width, 0.35 * s.height});
    ASSERT_NEAR(xy(preview->records["inputPoint2"]).y, 0.65, 1e-6);
    auto after = preview->render();
    ASSERT_TRUE(after);
    // The middle of the red ramp is lifted.
    EXPECT_GT(pixelAt(*after, kW / 2, kH / 2).r, pixelAt(*before, kW / 2, kH / 2).r + 5);
    auto again = reread();
    ASSERT_TRUE(again);
    EXPECT_TRUE(samePixels(*again, *after));
    EXPECT_FALSE(pop->hidden()) << "a small editor leaves the pop-up in place";
}

TEST_F(Preview, ACropEditShrinksThePreviewAndHidesThePopUpWhileOpen) {
    openPreset("CICrop", {{"inputImage", imageRecord()},
                          {"inputRectangle", vectorRecord("Rectangle", 3, numbers({0, 0, kW, kH}))}});
    ASSERT_NE(pop->popRect(), nullptr);
    EXPECT_TRUE(pop->hidden()) << "out of the way of the full-frame editor";
    auto before = preview->render();
    ASSERT_TRUE(before);
    EXPECT_EQ(before->width(), kW);
    auto& plane = *pop->popRect()->plane();
    const CGPoint corner = plane.pointers()[2]->center();
    const CGSize s = plane.frame().size;
    plane.pan(S::Began, corner);
    plane.pan(S::Changed, {corner.x - s.width / 2, corner.y + s.height / 2});
    auto after = preview->render();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->width(), kW / 2);
    EXPECT_EQ(after->height(), kH / 2);
    auto again = reread();
    ASSERT_TRUE(again);
    EXPECT_TRUE(samePixels(*again, *after));

    pop->popRect()->hide(PopView::Callback([] {}));
    advance(0.5);
    EXPECT_FALSE(pop->hidden()) << "back when the editor closes";
}

TEST_F(Preview, MovingACornerPositionChangesThePerspective) {
    openPreset("CIPerspectiveCorrection", {{"inputImage", imageRecord()},
                                           {"inputBottomLeft", vectorRecord("BL", 7, numbers({0, 0}))},
                                           {"inputBottomRight", vectorRecord("BR", 7, numbers({kW, 0}))},
                                           {"inputTopLeft", vectorRecord("TL", 7, numbers({0, kH}))},
                                           {"inputTopRight", vectorRecord("TR", 7, numbers({kW, kH}))}});
    ASSERT_NE(pop->popPositions(), nullptr);
    EXPECT_TRUE(pop->hidden());
    auto before = preview->render();
    ASSERT_TRUE(before);
    auto& plane = *pop->popPositions()->plane();
    const CGSize s = plane.frame().size;
    plane.tap(S::Ended, {0.6 * s.width, 0.3 * s.height});
    auto after = preview->render();
    ASSERT_TRUE(after);
    EXPECT_FALSE(samePixels(*before, *after));
    auto again = reread();
    ASSERT_TRUE(again);
    EXPECT_TRUE(samePixels(*again, *after));
}

}  // namespace

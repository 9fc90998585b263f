// The graph cache: built on the first frame, reused for later frames, rebuilt after a reset;
// size-dependent values are scaled to the source and converted once per size.
#include <gtest/gtest.h>

#include "filter/filter_element.h"
#include "filter/filter_on_main.h"
#include "filter/filter_record_values.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_vector.h"
#include "tests/filter/filter_test_support.h"

namespace {

Value desc(const char* name, ValueDictionary values = {}) {
    return Value::dictionary({{"name", Value(name)}, {"value", Value(std::move(values))}});
}
Value entry(Value v) {
    return Value::dictionary({{"value", std::move(v)}});
}

std::shared_ptr<CIFilter> builtFilter(const Value& cache) {
    return cache["f"].objectAs<CIFilter>();
}

}  // namespace

TEST(FilterGraph, ReusesFiltersFrameAfterFrameAndRebuildsAfterReset) {
    auto e = FilterElement::withDesc(desc("CIColorControls", {{"inputImage", entry(desc("CIVignette"))}}));
    ASSERT_NE(e, nullptr);
    auto context = unmanagedContext();
    auto red = solidImage(8, 8, 200, 0, 0), blue = solidImage(8, 8, 0, 0, 200);

    auto first = e->make(red);
    ASSERT_NE(first, nullptr);
    auto top = builtFilter(e->lastFilter());
    auto nested = builtFilter(e->lastFilter()["ks"][0ul]["d"]);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(nested, nullptr);
    // One slot at the top fed by the nested level, and one plain slot inside it.
    EXPECT_EQ(e->lastFilter()["ks"].count(), 1u);
    EXPECT_EQ(e->lastFilter()["ks"][0ul]["k"].stringValue(), "inputImage");
    EXPECT_TRUE(e->lastFilter()["ks"][0ul]["d"]["ks"][0ul]["d"].isNull());

    auto second = e->make(blue);
    EXPECT_EQ(builtFilter(e->lastFilter()), top);
    EXPECT_EQ(builtFilter(e->lastFilter()["ks"][0ul]["d"]), nested);
    auto px = firstPixel(*context, second);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_GT(px[2], px[0ul]);  // the new frame went through

    e->resetInstanceData();
    EXPECT_TRUE(e->lastFilter().isNull());
    e->make(red);
    EXPECT_NE(builtFilter(e->lastFilter()), top);
}

TEST(FilterGraph, UnknownTopFilterGivesNoImageUntilReset) {
    auto e = FilterElement::withDesc(desc("CIVignette"));
    ASSERT_NE(e, nullptr);
    e->mutableAttrsForTesting().set("name", Value("CINope"));
    EXPECT_EQ(e->make(solidImage(4, 4, 1, 2, 3)), nullptr);
    EXPECT_EQ(e->make(solidImage(4, 4, 1, 2, 3)), nullptr);  // an empty cache is reused without a crash
    EXPECT_EQ(FilterElement::reuse(solidImage(4, 4, 1, 2, 3), Value::dictionary()), nullptr);
}

TEST(FilterGraph, SizedValuesScaleToTheSourceAndAreKeptPerSize) {
    auto e = FilterElement::withDesc(
        desc("CIVignetteEffect",
             {{"inputRadius", entry(Value(10.0))}, {"inputCenter", entry(Value::array({Value(100), Value(50)}))}}));
    ASSERT_NE(e, nullptr);
    const Value& radius = recordOf(e->attrs(), "inputRadius");
    const Value& center = recordOf(e->attrs(), "inputCenter");
    radius.set("editingBaseSize", sizeValue({1000, 1000}));
    center.set("editingBaseSize", sizeValue({1000, 500}));

    e->make(solidImage(2000, 2000, 0, 0, 0));
    auto f = builtFilter(e->lastFilter());
    EXPECT_NEAR(f->valueForKey("inputRadius").doubleValue(), 20.0, 1e-4);
    auto c = f->valueForKey("inputCenter").objectAs<CIVector>();
    ASSERT_NE(c, nullptr);
    EXPECT_DOUBLE_EQ(c->X(), 200);
    EXPECT_DOUBLE_EQ(c->Y(), 200);

    // Reuse for another size keeps the build's values.
    e->make(solidImage(1000, 1000, 0, 0, 0));
    EXPECT_NEAR(builtFilter(e->lastFilter())->valueForKey("inputRadius").doubleValue(), 20.0, 1e-4);

    // A second element over the same records takes the stored conversion for a size already seen.
    radius["instanceData"].set(sizeKeyText(solidImage(2000, 2000, 0, 0, 0)), Value(77.0));
    auto other = FilterElement::withDesc(e->desc());
    other->mutableAttrsForTesting().set("value", e->attrs()["value"]);
    other->make(solidImage(2000, 2000, 0, 0, 0));
    EXPECT_DOUBLE_EQ(builtFilter(other->lastFilter())->valueForKey("inputRadius").doubleValue(), 77.0);
}

TEST(FilterGraph, RectangleWithoutBaseTakesTheFirstSourceSize) {
    auto e = FilterElement::withDesc(
        desc("CICrop", {{"inputRectangle", entry(Value::array({Value(100), Value(50), Value(200), Value(100)}))}}));
    ASSERT_NE(e, nullptr);
    const Value& rect = recordOf(e->attrs(), "inputRectangle");
    auto out = e->make(solidImage(400, 300, 9, 9, 9));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->extent(), CGRectMake(100, 50, 200, 100));
    auto base = sizeFromValue(rect["editingBaseSize"]);
    ASSERT_TRUE(base.has_value());
    EXPECT_EQ(base->width, 400);

    rect.set("editingBaseSize", sizeValue({1000, 500}));
    rect.set("instanceData", Value());
    e->resetInstanceData();
    EXPECT_EQ(e->make(solidImage(2000, 1000, 9, 9, 9))->extent(), CGRectMake(200, 100, 400, 200));
}

TEST(FilterGraph, EmptySourceSizeNeverBecomesTheBase) {
    auto e = FilterElement::withDesc(desc("CIVignetteEffect", {{"inputRadius", entry(Value(10.0))}}));
    const Value& radius = recordOf(e->attrs(), "inputRadius");
    e->make(CIImage::emptyImage());
    EXPECT_TRUE(radius["editingBaseSize"].isNull());
    EXPECT_DOUBLE_EQ(builtFilter(e->lastFilter())->valueForKey("inputRadius").doubleValue(), 150.0);  // default kept
    e->make(nullptr);

    // A zero base (say, from an old record) is not divided by either.
    radius.set("editingBaseSize", sizeValue({0, 0}));
    e->resetInstanceData();
    e->make(solidImage(10, 10, 0, 0, 0));
    EXPECT_DOUBLE_EQ(builtFilter(e->lastFilter())->valueForKey("inputRadius").doubleValue(), 150.0);
}

TEST(FilterGraph, UserImagesAreScaledToTheSourceOnce) {
    auto e = FilterElement::withDesc(desc("CISourceOverCompositing"));
    ASSERT_NE(e, nullptr);
    auto user = solidImage(500, 500, 0, 255, 0);
    FilterElement::setAttrValueImage(recordOf(e->attrs(), "inputImage"), user);
    auto out = e->make(solidImage(1000, 1000, 255, 0, 0));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->extent().size.width, 1000);
    const Value& slots = e->lastFilter()["ks"];
    ASSERT_EQ(slots.count(), 2u);  // the scaled user image and the background fed by the source
    EXPECT_TRUE(slots[0ul]["d"]["f"].isObject());
    EXPECT_EQ(recordOf(e->attrs(), "inputImage")["instanceData"].count(), 1u);
    auto px = pixelAt(*unmanagedContext(), e->make(solidImage(1000, 1000, 0, 0, 255)), 500, 500);
    EXPECT_EQ(px, (std::vector<int>{0, 255, 0, 255}));

    // A user image of the source's own size is used as it is.
    auto same = FilterElement::withDesc(desc("CISourceOverCompositing"));
    auto full = solidImage(1000, 1000, 0, 255, 0);
    FilterElement::setAttrValueImage(recordOf(same->attrs(), "inputImage"), full);
    same->make(solidImage(1000, 1000, 255, 0, 0));
    EXPECT_EQ(builtFilter(same->lastFilter())->imageInput("inputImage"), full);
    EXPECT_EQ(same->lastFilter()["ks"].count(), 1u);
}

TEST(FilterGraph, FilteringFromAnotherThreadRunsOnTheMainThread) {
    auto e = FilterElement::withDesc(desc("CIVignette"));
    auto queue = dispatch_queue_create("photo");
    bool onMain = false;
    std::shared_ptr<CIImage> result;
    dispatch_async(queue, [&] {
        filterOnMainThread(e, solidImage(4, 4, 9, 9, 9), [&](std::shared_ptr<CIImage> out) {
            onMain = RunLoop::isMainThread();
            result = std::move(out);
        });
    });
    RunLoop::main().drainAll();
    EXPECT_TRUE(onMain);
    EXPECT_NE(result, nullptr);
}

// A filter description's image named by a web address: the graph built while the picture is still
// downloading takes it on a later frame, once the picture cache holds it.
#include <gtest/gtest.h>

#include <atomic>

#include "filter/filter_element.h"
#include "foundation/pics.h"
#include "foundation/string_custom_values.h"
#include "platform/dispatch/notification_center.h"
#include "platform/image/ci_filter.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/filter/filter_test_support.h"
#include "tests/foundation/held_picture_test.h"

namespace {

// The picture answers only after the first frame.
class WebImageGraphTest : public HeldPictureTest {};

TEST_F(WebImageGraphTest, ALateWebImageReachesTheBuiltGraph) {
    const std::string address = server_.url("/picture.png");
    Value record = Value::dictionary({{"value", Value(address)}});
    auto e =
        FilterElement::withDesc(Value::dictionary({{"name", Value("CISourceOverCompositing")},
                                                   {"value", Value::dictionary({{"inputBackgroundImage", record}})}}));
    ASSERT_NE(e, nullptr);
    auto source = solidImage(8, 8, 200, 0, 0);
    int arrivals = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        kWebImageDidArriveNotification, nullptr, nullptr, [&](const std::shared_ptr<NSNotification>& n) {
            EXPECT_EQ(n->userInfo()["address"].stringValue(), address);
            ++arrivals;
        });

    e->make(source);
    auto built = e->lastFilter()["f"].objectAs<CIFilter>();
    ASSERT_NE(built, nullptr);
    EXPECT_TRUE(built->valueForKey("inputBackgroundImage").isNull());  // still downloading

    released_ = true;
    loop().drainAll();
    EXPECT_EQ(arrivals, 1);
    auto output = e->make(source);
    EXPECT_EQ(e->lastFilter()["f"].objectAs<CIFilter>(), built) << "the graph is fed, not rebuilt";
    auto background = built->valueForKey("inputBackgroundImage").objectAs<CIImage>();
    ASSERT_NE(background, nullptr) << "the landed picture never reached the graph";
    EXPECT_EQ(background->extent(), CGRectMake(0, 0, 5, 2));
    // Later frames keep it without reading the cache again.
    e->make(source);
    EXPECT_EQ(built->valueForKey("inputBackgroundImage").objectAs<CIImage>(), background);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

}  // namespace

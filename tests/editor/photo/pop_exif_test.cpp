// The metadata pop-up: its sections from a JPEG's properties read back by the decoder, key order
// and the digit rule at both levels, hostile values kept on one bounded line, and taps inside and
// outside the open pop-up.
#include <gtest/gtest.h>

#include "editor/photo/pop_exif_view.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "tests/ui/ui_test_support.h"

namespace {

std::vector<std::string> keysOf(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.first);
    return out;
}

const std::string* valueOf(const ExifSections& s, std::size_t section, const std::string& key) {
    for (const auto& r : s.arr[section])
        if (r.first == key) return &r.second;
    return nullptr;
}

}  // namespace

TEST(ExifSections, APhotosPropertiesReadBackFromItsJpeg) {
    RasterRGBA8 r = makeRaster(32, 24);
    for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = 128;
    JpegEncodeOptions o;
    o.properties = Value::dictionary(
        {{"Orientation", 6},
         {"{TIFF}",
          Value::dictionary({{"Make", "Korva"}, {"Software", "Korva 1.0"}, {"DateTime", "2026:12:07 02:30:00"}})},
         {"{Exif}", Value::dictionary({{"ExposureTime", 0.01}, {"ISOSpeedRatings", Value::array({100})}})},
         {"{GPS}", Value::dictionary({{"Latitude", 60.17}, {"LatitudeRef", "N"}})}});
    auto jpeg = encodeJpeg(r, o);
    ASSERT_TRUE(jpeg);
    auto properties = readImageProperties(*jpeg);
    ASSERT_TRUE(properties);

    auto s = buildExifSections(*properties);
    ASSERT_GE(s.secLabels.size(), 4u);
    EXPECT_EQ(s.secLabels[0], "General");
    // Sub-dictionaries in case-insensitive order, each its own section.
    std::vector<std::string> subs(s.secLabels.begin() + 1, s.secLabels.end());
    EXPECT_NE(std::find(subs.begin(), subs.end(), "{Exif}"), subs.end());
    EXPECT_LT(std::find(subs.begin(), subs.end(), "{Exif}"), std::find(subs.begin(), subs.end(), "{GPS}"));
    EXPECT_LT(std::find(subs.begin(), subs.end(), "{GPS}"), std::find(subs.begin(), subs.end(), "{TIFF}"));
    ASSERT_TRUE(valueOf(s, 0, "Orientation"));
    EXPECT_EQ(*valueOf(s, 0, "Orientation"), "6");
    auto tiff = std::size_t(std::find(s.secLabels.begin(), s.secLabels.end(), "{TIFF}") - s.secLabels.begin());
    ASSERT_TRUE(valueOf(s, tiff, "Make"));
    EXPECT_EQ(*valueOf(s, tiff, "Make"), "Korva");
    for (const auto& rows : s.arr)
        for (const auto& [k, v] : rows) EXPECT_EQ(v.find('\n'), std::string::npos) << k;
}

TEST(ExifSections, OrderDigitKeysAndEmptyOrOddInput) {
    auto s = buildExifSections(Value::dictionary({{"b", 1},
                                                  {"A", 2},
                                                  {"a2", 3},
                                                  {"C", 4},
                                                  {"1Plain", 5},
                                                  {"", 6},
                                                  {"2Section", Value::dictionary({{"3x", 1}})},
                                                  {"{Exif}", Value::dictionary({{"z", 1}, {"9Skip", 2}, {"Y", 3}})}}));
    EXPECT_EQ(s.secLabels, (std::vector<std::string>{"General", "2Section", "{Exif}"}));
    EXPECT_EQ(keysOf(s.arr[0]), (std::vector<std::string>{"", "A", "a2", "b", "C"}));
    EXPECT_TRUE(s.arr[1].empty()) << "a section of invalid keys keeps its title and no rows";
    EXPECT_EQ(keysOf(s.arr[2]), (std::vector<std::string>{"Y", "z"}));
    EXPECT_FALSE(isInvalid(""));
    EXPECT_TRUE(isInvalid("0"));

    for (const Value& odd : {Value::dictionary(), Value(), Value::array({1, 2}), Value(std::string("text"))}) {
        auto e = buildExifSections(odd);
        EXPECT_EQ(e.secLabels, std::vector<std::string>{"General"});
        ASSERT_EQ(e.arr.size(), 1u);
        EXPECT_TRUE(e.arr[0].empty());
    }
}

TEST(ExifSections, ArraysDataAndHugeStringsStayOnOneBoundedLine) {
    std::string umlauts;
    for (int i = 0; i < 900; ++i) umlauts += "ä";  // two bytes each
    auto s = buildExifSections(
        Value::dictionary({{"Array", Value::array({Value::array({1, 2}), Value::array({3, Value::array({4})})})},
                           {"Binary", Value::data(Bytes(5000, 0xAB))},
                           {"Huge", umlauts}}));
    ASSERT_EQ(s.arr[0].size(), 3u);
    for (const auto& [key, text] : s.arr[0]) {
        SCOPED_TRACE(key);
        EXPECT_EQ(text.find('\n'), std::string::npos);
        EXPECT_LE(text.size(), kExifMaxValueText + std::string("…").size());
    }
    const std::string& arrayText = s.arr[0][0].second;
    EXPECT_NE(arrayText.find('4'), std::string::npos);
    // The cut keeps whole characters: what precedes the ellipsis is a run of complete "ä".
    const std::string& huge = s.arr[0][2].second;
    std::string body = huge.substr(0, huge.size() - std::string("…").size());
    EXPECT_EQ(body.size() % 2, 0u);
    EXPECT_EQ(body.substr(body.size() - 2), "ä");
}

struct PopExifTest : ToolkitTest {};

TEST_F(PopExifTest, ASquarePanelThatClosesOnlyOnATapOutside) {
    auto vc = UIViewController::make();
    window->setRootViewController(vc);
    settle();
    auto sender = UIView::make(CGRectMake(20, 40, 30, 30));
    vc->view()->addSubview(sender);

    auto pop = PopExifView::initWithVC(vc);
    CGSize v = vc->view()->bounds().size;
    CGFloat side = std::floor(std::min(std::min(v.width, v.height) * 0.9, 500.0));
    EXPECT_EQ(pop->size(), (CGSize{side, side}));

    int shown = 0;
    std::string longText(300, 'x');
    pop->show(sender, Value::dictionary({{"Comment", longText}, {"{Exif}", Value::dictionary({{"FNumber", 1.8}})}}),
              [&] { ++shown; });
    advance(1);
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(pop->phase(), PopPhase::Shown);
    EXPECT_EQ(pop->tableView()->numberOfSections(), 2u);
    // The long comment wraps into a higher row instead of being cut.
    EXPECT_GT(pop->tableView()->rectForRowAtIndexPath({0, 0}).size.height, UITableView::kDefaultRowHeight);

    CGRect panel = pop->container()->convertRectToView(pop->container()->bounds(), nullptr);
    tap(CGPointMake(CGRectGetMidX(panel), CGRectGetMidY(panel)));
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Shown);

    CGRect screenBounds = window->bounds();
    CGPoint outside = CGRectGetMaxY(panel) + 20 < CGRectGetMaxY(screenBounds)
                          ? CGPointMake(CGRectGetMidX(panel), CGRectGetMaxY(panel) + 10)
                          : CGPointMake(CGRectGetMidX(panel), CGRectGetMinY(panel) - 10);
    tap(outside);
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Hidden);
}

// Visual-format constraints: edges, spacings, metrics, sizes and priorities laid out for real,
// and malformed formats that install nothing.
#include <gtest/gtest.h>

#include "platform/runtime/log.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/view/ui_view.h"

namespace {

struct VisualFormat : ::testing::Test {
    std::shared_ptr<UIView> root = UIView::make(CGRectMake(0, 0, 300, 100));
    std::shared_ptr<UIView> a = UIView::make(), b = UIView::make();
    std::map<std::string, std::shared_ptr<UIView>> views{{"a", a}, {"b", b}};
    void SetUp() override {
        for (auto& v : {a, b}) {
            v->setTranslatesAutoresizingMaskIntoConstraints(false);
            root->addSubview(v);
        }
    }
    void install(const char* format, std::map<std::string, CGFloat> metrics = {}) {
        auto c = NSLayoutConstraint::constraintsWithVisualFormat(format, 0, metrics, views);
        ASSERT_FALSE(c.empty()) << format;
        root->addConstraints(c);
    }
};

TEST_F(VisualFormat, EdgesSpacingsAndSizesLayTheViewsOut) {
    install("H:|-pad-[a(>=40)]-[b(==60)]-|", {{"pad", 7}});
    install("V:|[a]-2-|");
    install("V:|-10-[b(30@750)]");
    root->layoutIfNeeded();
    EXPECT_EQ(a->frame().origin.x, 7);
    EXPECT_EQ(b->frame().size.width, 60);
    EXPECT_EQ(CGRectGetMaxX(b->frame()), 300 - 20) << "a standard gap to the edge";
    EXPECT_EQ(b->frame().origin.x - CGRectGetMaxX(a->frame()), 8) << "a standard gap between views";
    EXPECT_EQ(a->frame().origin.y, 0);
    EXPECT_EQ(CGRectGetMaxY(a->frame()), 98);
    EXPECT_EQ(b->frame().origin.y, 10);
    EXPECT_EQ(b->frame().size.height, 30);
}

TEST_F(VisualFormat, MalformedFormatsGiveNoConstraints) {
    Log::setQuiet(true);
    for (const char* bad : {"", "H:", "H:|-[a", "H:|-(>=8-[a]|", "[nobody]", "H:|-unknownMetric-[a]", "H:[a]-",
                            "H:[a(abc)]", "V:|-10-[a]junk"}) {
        EXPECT_TRUE(NSLayoutConstraint::constraintsWithVisualFormat(bad, 0, {}, views).empty()) << bad;
    }
    auto orphan = UIView::make();
    EXPECT_TRUE(NSLayoutConstraint::constraintsWithVisualFormat("H:|[o]|", 0, {}, {{"o", orphan}}).empty())
        << "an edge needs a superview";
    Log::setQuiet(false);
}

}  // namespace

// The stack view shares its length out equally between its arranged views.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/view/ui_stack_view.h"

namespace {

struct StackViewTest : ::testing::Test {
    void SetUp() override {
        stack = UIStackView::make(CGRectMake(0, 0, 300, 46));
        for (int i = 0; i < 3; ++i) {
            views.push_back(UIView::make(CGRectMake(0, 0, 40, 65)));
            stack->addArrangedSubview(views.back());
        }
    }
    std::vector<CGRect> frames() const {
        stack->layoutIfNeeded();
        std::vector<CGRect> out;
        for (const auto& v : views) out.push_back(v->frame());
        return out;
    }
    std::shared_ptr<UIStackView> stack;
    std::vector<std::shared_ptr<UIView>> views;
};

TEST_F(StackViewTest, EqualSharesFillTheStackWithTheSpacingBetween) {
    EXPECT_EQ(frames(), (std::vector<CGRect>{CGRectMake(0, 0, 100, 46), CGRectMake(100, 0, 100, 46),
                                             CGRectMake(200, 0, 100, 46)}));
    stack->setSpacing(6);
    EXPECT_EQ(frames(),
              (std::vector<CGRect>{CGRectMake(0, 0, 96, 46), CGRectMake(102, 0, 96, 46), CGRectMake(204, 0, 96, 46)}));
    stack->setSpacing(NAN);
    stack->setFrame(CGRectMake(0, 0, 150, 30));
    EXPECT_EQ(frames()[2], CGRectMake(100, 0, 50, 30)) << "a new size shares out again; bad spacing is none";

    stack->setAxis(UILayoutConstraintAxis::Vertical);
    EXPECT_EQ(frames()[1], CGRectMake(0, 10, 150, 10));
}

TEST_F(StackViewTest, OnlyArrangedViewsInTheStackTakeRoom) {
    views[1]->setHidden(true);
    stack->setNeedsLayout();
    EXPECT_EQ(frames()[2], CGRectMake(150, 0, 150, 46));

    views[1]->setHidden(false);
    views[0]->removeFromSuperview();
    ASSERT_EQ(stack->arrangedSubviews().size(), 2u);
    EXPECT_EQ(stack->arrangedSubviews()[0], views[1]);
    EXPECT_EQ(frames()[2], CGRectMake(150, 0, 150, 46));

    // Arranging a view again moves it to the end; a plain subview is not arranged.
    stack->addArrangedSubview(views[1]);
    stack->addSubview(UIView::make(CGRectMake(1, 2, 3, 4)));
    EXPECT_EQ(stack->arrangedSubviews().back(), views[1]);
    EXPECT_EQ(stack->arrangedSubviews().size(), 2u);
    EXPECT_EQ(frames()[1], CGRectMake(150, 0, 150, 46));
    EXPECT_EQ(stack->subviews().back()->frame(), CGRectMake(1, 2, 3, 4));
}

}  // namespace

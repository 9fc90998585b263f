// View geometry, coordinate conversion through transforms, subview order and hit testing.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/view/ui_view.h"

namespace {

void expectPoint(CGPoint p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

void expectRect(CGRect r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.origin.x, x, 1e-9);
    EXPECT_NEAR(r.origin.y, y, 1e-9);
    EXPECT_NEAR(r.size.width, w, 1e-9);
    EXPECT_NEAR(r.size.height, h, 1e-9);
}

}  // namespace

TEST(ViewGeometry, FrameBoundsAndCenterStayConsistent) {
    auto v = UIView::make(CGRectMake(10, 20, 100, 50));
    expectRect(v->bounds(), 0, 0, 100, 50);
    expectPoint(v->center(), 60, 45);
    v->setCenter({0, 0});
    expectRect(v->frame(), -50, -25, 100, 50);
    v->setBounds(CGRectMake(5, 5, 40, 30));
    expectRect(v->frame(), -20, -15, 40, 30);
    // Negative sizes are standardised.
    v->setFrame(CGRectMake(100, 100, -20, -10));
    expectRect(v->frame(), 80, 90, 20, 10);
}

TEST(ViewGeometry, TransformActsAboutTheCentreAndFrameIsItsBoundingBox) {
    auto v = UIView::make(CGRectMake(0, 0, 100, 50));
    v->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    expectPoint(v->center(), 50, 25);
    expectRect(v->frame(), 25, -25, 50, 100);
    expectRect(v->bounds(), 0, 0, 100, 50);
    v->setTransform(CGAffineTransformMakeScale(2, 2));
    expectRect(v->frame(), -50, -25, 200, 100);
    // Setting the frame of a transformed view keeps the transform and moves the centre.
    v->setFrame(CGRectMake(0, 0, 200, 100));
    expectPoint(v->center(), 100, 50);
    EXPECT_EQ(v->transform(), CGAffineTransformMakeScale(2, 2));
}

TEST(ViewGeometry, ConvertsPointsAndRectsThroughTransformsAndBoundsOrigins) {
    auto root = UIView::make(CGRectMake(0, 0, 400, 400));
    auto a = UIView::make(CGRectMake(100, 100, 100, 100));
    auto b = UIView::make(CGRectMake(10, 10, 20, 20));
    root->addSubview(a);
    a->addSubview(b);
    expectPoint(b->convertPointToView({0, 0}, root), 110, 110);
    expectPoint(root->convertPointToView({110, 110}, b), 0, 0);
    expectPoint(b->convertPointToView({0, 0}, nullptr), 110, 110);

    // Scrolling a's bounds moves its content the other way.
    a->setBounds(CGRectMake(5, 0, 100, 100));
    expectPoint(b->convertPointToView({0, 0}, root), 105, 110);
    a->setBounds(CGRectMake(0, 0, 100, 100));

    // A quarter turn of a about its centre (150, 150): b's origin (110, 110) turns to (190, 110).
    a->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    expectPoint(b->convertPointToView({0, 0}, root), 190, 110);
    expectPoint(b->convertPointFromView({190, 110}, root), 0, 0);
    expectRect(b->convertRectToView(b->bounds(), root), 170, 110, 20, 20);

    // Between siblings in different branches.
    auto c = UIView::make(CGRectMake(300, 300, 50, 50));
    root->addSubview(c);
    a->setTransform(CGAffineTransformIdentity);
    expectPoint(b->convertPointToView({0, 0}, c), -190, -190);
    expectRect(c->convertRectFromView(CGRectMake(0, 0, 10, 10), b), -190, -190, 10, 10);
}

TEST(ViewHierarchy, SubviewOrderOperationsKeepLayersInStep) {
    auto root = UIView::make();
    auto a = UIView::make(), b = UIView::make(), c = UIView::make();
    root->addSubview(a);
    root->addSubview(b);
    root->addSubview(c);
    auto order = [&] {
        std::string s;
        for (const auto& v : root->subviews()) s += v == a ? "a" : v == b ? "b" : "c";
        std::string l;
        for (const auto& layer : root->layer()->sublayers())
            l += layer == a->layer() ? "a" : layer == b->layer() ? "b" : "c";
        EXPECT_EQ(s, l) << "layers out of step with subviews";
        return s;
    };
    EXPECT_EQ(order(), "abc");
    root->addSubview(a);  // re-adding moves to the top
    EXPECT_EQ(order(), "bca");
    root->sendSubviewToBack(a);
    EXPECT_EQ(order(), "abc");
    root->bringSubviewToFront(b);
    EXPECT_EQ(order(), "acb");
    root->insertSubviewAtIndex(b, 0);
    EXPECT_EQ(order(), "bac");
    root->insertSubviewBelow(c, a);
    EXPECT_EQ(order(), "bca");
    root->insertSubviewAbove(b, a);
    EXPECT_EQ(order(), "cab");
    root->exchangeSubviewAtIndex(0, 2);
    EXPECT_EQ(order(), "bac");
    a->removeFromSuperview();
    EXPECT_EQ(order(), "bc");
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(a->layer()->superlayer(), nullptr);

    // Moving to another parent takes the view out of the first one.
    auto other = UIView::make();
    other->addSubview(b);
    EXPECT_EQ(order(), "c");
    EXPECT_EQ(b->superview(), other);
}

TEST(ViewHierarchy, RefusesCyclesAndFindsTags) {
    auto root = UIView::make(), child = UIView::make(), grandchild = UIView::make();
    root->addSubview(child);
    child->addSubview(grandchild);
    grandchild->addSubview(root);
    child->addSubview(child);
    EXPECT_EQ(root->superview(), nullptr);
    EXPECT_EQ(child->superview(), root);
    grandchild->setTag(7);
    EXPECT_EQ(root->viewWithTag(7), grandchild);
    EXPECT_EQ(root->viewWithTag(8), nullptr);
    EXPECT_TRUE(grandchild->isDescendantOfView(root.get()));
    EXPECT_FALSE(root->isDescendantOfView(grandchild.get()));
}

TEST(ViewHitTesting, FindsTheFrontmostInteractiveViewAndSkipsTheRest) {
    auto root = UIView::make(CGRectMake(0, 0, 300, 300));
    auto back = UIView::make(CGRectMake(0, 0, 200, 200));
    auto front = UIView::make(CGRectMake(100, 100, 100, 100));
    root->addSubview(back);
    root->addSubview(front);
    EXPECT_EQ(root->hitTest({150, 150}), front);
    EXPECT_EQ(root->hitTest({50, 50}), back);
    EXPECT_EQ(root->hitTest({250, 250}), root);
    EXPECT_EQ(root->hitTest({350, 10}), nullptr);

    front->setHidden(true);
    EXPECT_EQ(root->hitTest({150, 150}), back);
    front->setHidden(false);
    front->setAlpha(0.01);
    EXPECT_EQ(root->hitTest({150, 150}), back);
    front->setAlpha(0.02);
    EXPECT_EQ(root->hitTest({150, 150}), front);
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({150, 150}), back);

    // A subview sticking out of its parent is not hit outside the parent's bounds.
    auto stray = UIView::make(CGRectMake(180, 180, 100, 100));
    back->addSubview(stray);
    EXPECT_EQ(root->hitTest({250, 250}), root);
    EXPECT_EQ(root->hitTest({190, 190}), stray);

    // Hit testing follows transforms: a view scaled by 2 about its centre covers more.
    auto scaled = UIView::make(CGRectMake(250, 0, 20, 20));
    root->addSubview(scaled);
    scaled->setTransform(CGAffineTransformMakeScale(2, 2));
    EXPECT_EQ(root->hitTest({245, 5}), scaled);
}

TEST(ViewResponders, ChainRunsThroughControllerSlotAndSuperviews) {
    auto root = UIView::make(), child = UIView::make();
    root->addSubview(child);
    EXPECT_EQ(child->nextResponder(), root);
    EXPECT_EQ(root->nextResponder(), nullptr);
    struct Controller : UIResponder {};
    auto controller = make<Controller>();
    child->setOwningController(controller);
    EXPECT_EQ(child->nextResponder(), controller);
}

TEST(ViewAutoresizing, FlexiblePartsShareTheChangeOfTheSuperviewSize) {
    auto root = UIView::make(CGRectMake(0, 0, 100, 100));
    auto fill = UIView::make(CGRectMake(10, 10, 80, 80));
    fill->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto pinnedRight = UIView::make(CGRectMake(70, 0, 20, 20));
    pinnedRight->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    auto fixed = UIView::make(CGRectMake(5, 5, 10, 10));
    auto centred = UIView::make(CGRectMake(40, 40, 20, 20));
    centred->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin |
                                 UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin);
    for (auto& v : {fill, pinnedRight, fixed, centred}) root->addSubview(v);
    root->setFrame(CGRectMake(0, 0, 200, 300));
    expectRect(fill->frame(), 10, 10, 180, 280);
    expectRect(pinnedRight->frame(), 170, 0, 20, 20);
    expectRect(fixed->frame(), 5, 5, 10, 10);
    expectRect(centred->frame(), 90, 140, 20, 20);
}

TEST(ViewHierarchy, RecursiveDescriptionListsTheTreeInOrder) {
    auto root = UIView::make(CGRectMake(0, 0, 100, 50));
    auto child = UIView::make(CGRectMake(1, 2, 3, 4));
    child->setTag(5);
    child->setHidden(true);
    root->addSubview(child);
    std::string dump = root->recursiveDescription();
    auto rootLine = dump.find("frame = (0 0; 100 50)");
    auto childLine = dump.find("   | <UIView");
    ASSERT_NE(rootLine, std::string::npos) << dump;
    ASSERT_NE(childLine, std::string::npos) << dump;
    EXPECT_LT(rootLine, childLine);
    EXPECT_NE(dump.find("frame = (1 2; 3 4); tag = 5; hidden"), std::string::npos) << dump;
}

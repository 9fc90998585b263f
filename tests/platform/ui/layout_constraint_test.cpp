// Constraint layouts of the shapes the toolkit builds, and what happens to constraints as views
// come and go.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "platform/runtime/log.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/layout/linear_solver.h"
#include "platform/ui/view/ui_view.h"

namespace {

using A = NSLayoutAttribute;
using R = NSLayoutRelation;

std::shared_ptr<NSLayoutConstraint> add(const std::shared_ptr<UIView>& holder, const std::shared_ptr<NSObject>& item1,
                                        A a1, const std::shared_ptr<NSObject>& item2, A a2, CGFloat constant,
                                        CGFloat multiplier = 1, R relation = R::Equal) {
    auto c = NSLayoutConstraint::constraintWithItem(item1, a1, relation, item2, a2, multiplier, constant);
    holder->addConstraint(c);
    return c;
}

// The edges-of-a-container arrangement: receiver inset by the offsets, held by the container.
void pinFull(const std::shared_ptr<UIView>& r, const std::shared_ptr<UIView>& v, CGFloat dl, CGFloat dt, CGFloat dr,
             CGFloat db) {
    r->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(v, r, A::Top, v, A::Top, dt);
    add(v, r, A::Right, v, A::Right, dr);
    add(v, r, A::Bottom, v, A::Bottom, db);
    add(v, r, A::Left, v, A::Left, dl);
}

// Fixed size held by the receiver, centre offsets held by the container.
void pinCenter(const std::shared_ptr<UIView>& r, const std::shared_ptr<UIView>& v, CGFloat dx, CGFloat dy, CGFloat w,
               CGFloat h) {
    r->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(r, r, A::Width, nullptr, A::NotAnAttribute, w);
    add(r, r, A::Height, nullptr, A::NotAnAttribute, h);
    add(v, r, A::CenterX, v, A::CenterX, dx);
    add(v, r, A::CenterY, v, A::CenterY, dy);
}

std::shared_ptr<NSLayoutConstraint> find(const std::shared_ptr<UIView>& holder, const std::string& id) {
    for (const auto& c : holder->constraints())
        if (c->identifier() == id) return c;
    return nullptr;
}

void expectFrame(const std::shared_ptr<UIView>& v, double x, double y, double w, double h) {
    CGRect f = v->frame();
    EXPECT_NEAR(f.origin.x, x, 1e-6);
    EXPECT_NEAR(f.origin.y, y, 1e-6);
    EXPECT_NEAR(f.size.width, w, 1e-6);
    EXPECT_NEAR(f.size.height, h, 1e-6);
}

struct Layout : ::testing::Test {
    std::shared_ptr<UIView> root = UIView::make(CGRectMake(0, 0, 300, 200));
    LogCapture log;
};

}  // namespace

TEST(LinearSolverTest, RequiredWinsOverStrongAndAFailedRequiredLeavesTheSolutionIntact) {
    LinearSolver s;
    auto x = s.newVariable(), y = s.newVariable();
    using Rel = LinearSolver::Relation;
    ASSERT_TRUE(s.addConstraint({{{x, 1}, {y, 1}}, -100, Rel::Equal, LinearSolver::kRequired}));
    ASSERT_TRUE(s.addConstraint({{{x, 1}}, -30, Rel::Equal, 1000}));
    ASSERT_TRUE(s.addConstraint({{{x, 1}}, -80, Rel::Equal, 10}));
    EXPECT_NEAR(s.value(x), 30, 1e-9);
    EXPECT_NEAR(s.value(y), 70, 1e-9);
    ASSERT_TRUE(s.addConstraint({{{y, 1}}, -60, Rel::LessOrEqual, LinearSolver::kRequired}));
    EXPECT_NEAR(s.value(x), 40, 1e-9);
    EXPECT_FALSE(s.addConstraint({{{y, 1}}, -90, Rel::GreaterOrEqual, LinearSolver::kRequired}));
    EXPECT_NEAR(s.value(x), 40, 1e-9);
    EXPECT_NEAR(s.value(y), 60, 1e-9);
}

TEST(LinearSolverTest, EveryAcceptedRequiredConstraintHoldsInLargeSystemsWithManyPivots) {
    // Variables pulled by optional constraints of many strengths, and required equalities and
    // inequalities that pivot rows sharing symbols: each required constraint the solver took
    // must hold in the end, whatever came after it.
    using Rel = LinearSolver::Relation;
    std::mt19937 random(37);
    for (int round = 0; round < 10; ++round) {
        LinearSolver s;
        const int count = 40;
        for (int i = 0; i < count; ++i) s.newVariable();
        std::vector<LinearSolver::Constraint> required;
        for (int k = 0; k < 120; ++k) {
            LinearSolver::Constraint c;
            int terms = 1 + int(random() % 3);
            for (int t = 0; t < terms; ++t) c.terms.push_back({random() % count, double(int(random() % 5) - 2) + 0.5});
            c.constant = double(int(random() % 400) - 200);
            c.relation = Rel(random() % 3);
            const bool isRequired = random() % 3 == 0;
            c.strength = isRequired ? LinearSolver::kRequired : std::pow(10.0, double(random() % 6)) * 1e-3;
            if (s.addConstraint(c) && isRequired) required.push_back(c);
        }
        ASSERT_GT(required.size(), 20u);
        for (const auto& c : required) {
            double sum = c.constant;
            for (const auto& t : c.terms) sum += t.coefficient * s.value(t.variable);
            switch (c.relation) {
                case Rel::Equal: EXPECT_NEAR(sum, 0, 1e-4) << "round " << round; break;
                case Rel::LessOrEqual: EXPECT_LE(sum, 1e-4) << "round " << round; break;
                case Rel::GreaterOrEqual: EXPECT_GE(sum, -1e-4) << "round " << round; break;
            }
        }
    }
}

TEST_F(Layout, EdgePinsFollowTheInsetSigns) {
    auto inside = UIView::make(), exact = UIView::make(), outside = UIView::make();
    for (auto& v : {inside, exact, outside}) root->addSubview(v);
    pinFull(exact, root, 0, 0, 0, 0);
    pinFull(inside, root, 1, 1, -1, -1);
    pinFull(outside, root, 0, 0, 10, 5);
    root->layoutIfNeeded();
    expectFrame(exact, 0, 0, 300, 200);
    expectFrame(inside, 1, 1, 298, 198);
    expectFrame(outside, 0, 0, 310, 205);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Layout, CentredFixedSizeAndWhereEachConstraintIsHeld) {
    auto v = UIView::make();
    root->addSubview(v);
    pinCenter(v, root, 10, -20, 50, 40);
    EXPECT_EQ(root->constraints().size(), 2u);
    EXPECT_EQ(v->constraints().size(), 2u);
    root->layoutIfNeeded();
    expectFrame(v, 135, 60, 50, 40);

    // Changing a constant lays out again at the next pass.
    v->constraints()[0]->setConstant(100);
    root->layoutIfNeeded();
    expectFrame(v, 110, 60, 100, 40);
}

TEST_F(Layout, MultipliersAndSiblingChains) {
    auto top = UIView::make(), below = UIView::make();
    root->addSubview(top);
    root->addSubview(below);
    for (auto& v : {top, below}) v->setTranslatesAutoresizingMaskIntoConstraints(false);
    // top: full width, a quarter of the height; below: under it with a gap of 5, to the bottom.
    add(root, top, A::Left, root, A::Left, 0);
    add(root, top, A::Right, root, A::Right, 0);
    add(root, top, A::Top, root, A::Top, 0);
    add(root, top, A::Height, root, A::Height, 0, 0.25);
    add(root, below, A::Left, root, A::Left, 20);
    add(root, below, A::Width, top, A::Width, -40);
    add(root, below, A::Top, top, A::Bottom, 5);
    add(root, below, A::Bottom, root, A::Bottom, 0);
    root->layoutIfNeeded();
    expectFrame(top, 0, 0, 300, 50);
    expectFrame(below, 20, 55, 260, 145);

    // The chain follows the root when it changes size.
    root->setFrame(CGRectMake(0, 0, 400, 400));
    root->layoutIfNeeded();
    expectFrame(top, 0, 0, 400, 100);
    expectFrame(below, 20, 105, 360, 295);
}

TEST_F(Layout, MultipliersAndConstantsThatAreNotFiniteAreRefused) {
    auto v = UIView::make();
    root->addSubview(v);
    pinCenter(v, root, 0, 0, 50, 40);
    const std::size_t held = root->constraints().size();
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    for (auto [multiplier, constant] : {std::pair{inf, 0.0}, {nan, 0.0}, {1.0, inf}, {1.0, -inf}, {1.0, nan}}) {
        auto c =
            NSLayoutConstraint::constraintWithItem(v, A::CenterX, R::Equal, root, A::CenterX, multiplier, constant);
        root->addConstraint(c);
        EXPECT_FALSE(c->isActive());
        c->setActive(true);
        EXPECT_FALSE(c->isActive());
    }
    EXPECT_EQ(root->constraints().size(), held);
    // A held constraint keeps its constant when given one that is not finite.
    v->constraints()[0]->setConstant(inf);
    EXPECT_EQ(v->constraints()[0]->constant(), 50);
    root->layoutIfNeeded();
    expectFrame(v, 125, 80, 50, 40);
    EXPECT_TRUE(log.contains("not installed"));
    EXPECT_TRUE(log.contains("must be finite"));
}

TEST_F(Layout, NestedViewsAreSolvedInTheirOwnSuperviewsSpace) {
    auto outer = UIView::make(), inner = UIView::make();
    root->addSubview(outer);
    outer->addSubview(inner);
    pinFull(outer, root, 10, 20, -10, -20);
    pinFull(inner, outer, 5, 5, -5, -5);
    root->layoutIfNeeded();
    expectFrame(outer, 10, 20, 280, 160);
    expectFrame(inner, 5, 5, 270, 150);
}

TEST_F(Layout, IdentifiedConstraintsAreFoundOnTheirHolderAndReplaced) {
    auto holder = UIView::make();
    root->addSubview(holder);
    holder->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(root, holder, A::Left, root, A::Left, 0)->setIdentifier("hContHolderX-0");
    add(root, holder, A::Top, root, A::Top, 0)->setIdentifier("hContHolderY-0");
    add(holder, holder, A::Width, nullptr, A::NotAnAttribute, 500)->setIdentifier("hContHolderW-0");
    add(holder, holder, A::Height, nullptr, A::NotAnAttribute, 500)->setIdentifier("hContHolderH-0");
    EXPECT_EQ(find(root, "hContHolderW-0"), nullptr);  // held by the child, not the parent
    ASSERT_NE(find(holder, "hContHolderW-0"), nullptr);

    find(root, "hContHolderX-0")->setConstant(40);
    find(root, "hContHolderY-0")->setConstant(30 - 10);
    find(holder, "hContHolderW-0")->setConstant(120);
    find(holder, "hContHolderH-0")->setConstant(60 + 20);
    root->layoutIfNeeded();
    expectFrame(holder, 40, 20, 120, 80);

    // Replace the width constraint with one of another multiplier, keeping its identity data.
    auto old = find(holder, "hContHolderW-0");
    old->setPriority(999);  // required -> optional on a held constraint is refused
    EXPECT_EQ(old->priority(), UILayoutPriorityRequired);
    EXPECT_TRUE(log.contains("required and optional"));
    NSLayoutConstraint::deactivateConstraints({old});
    holder->removeConstraint(old);
    EXPECT_FALSE(old->isActive());
    auto repl = NSLayoutConstraint::constraintWithItem(holder, A::Width, R::Equal, root, A::Width, 0.5, 10);
    repl->setIdentifier(old->identifier());
    repl->setPriority(old->priority());
    NSLayoutConstraint::activateConstraints({repl});
    EXPECT_EQ(repl->holder(), root);  // the closest common ancestor
    root->layoutIfNeeded();
    expectFrame(holder, 40, 20, 160, 80);
    int count = 0;
    for (auto& v : {root, holder})
        for (auto& c : v->constraints()) count += c->identifier() == "hContHolderW-0";
    EXPECT_EQ(count, 1);
}

TEST_F(Layout, RemovingAViewDropsEveryConstraintThatMentionsItOrItsSubviews) {
    auto container = UIView::make(), child = UIView::make(), sibling = UIView::make();
    root->addSubview(container);
    root->addSubview(sibling);
    container->addSubview(child);
    pinFull(container, root, 0, 0, 0, 0);
    pinCenter(child, container, 0, 0, 10, 10);
    sibling->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(root, sibling, A::Left, child, A::Right, 0);  // sibling tied to the child, held by root
    add(root, sibling, A::Top, root, A::Top, 0);
    add(sibling, sibling, A::Width, nullptr, A::NotAnAttribute, 5);
    add(sibling, sibling, A::Height, nullptr, A::NotAnAttribute, 5);
    EXPECT_EQ(root->constraints().size(), 6u);
    auto tie = root->constraints()[4];
    container->removeFromSuperview();
    EXPECT_EQ(root->constraints().size(), 1u);  // only sibling.top remains
    EXPECT_FALSE(tie->isActive());
    // Constraints inside the removed subtree stay with it.
    EXPECT_EQ(container->constraints().size(), 2u);
    EXPECT_EQ(child->constraints().size(), 2u);
    root->layoutIfNeeded();
    EXPECT_FALSE(log.contains("Unable"));
}

TEST_F(Layout, SafeAreaPinsOnANotchedScreenCentreOnTheFullView) {
    auto screen = UIScreen::make(*DeviceModel::named("notched"));
    UIScreen::setMainScreen(screen);
    auto window = UIWindow::make();
    auto rootView = UIView::make(window->bounds());
    window->addSubview(rootView);
    auto bar = UIView::make(), badge = UIView::make();
    rootView->addSubview(bar);
    rootView->addSubview(badge);
    auto guide = rootView->safeAreaLayoutGuide();
    for (auto& v : {bar, badge}) v->setTranslatesAutoresizingMaskIntoConstraints(false);
    // A bar across the safe area at its bottom, 60 high.
    add(rootView, bar, A::Bottom, guide, A::Bottom, 0);
    add(rootView, bar, A::Left, guide, A::Left, 0);
    add(rootView, bar, A::Right, guide, A::Right, 0);
    add(bar, bar, A::Height, nullptr, A::NotAnAttribute, 60);
    // A badge below the safe area's top, centred on the whole view.
    add(rootView, badge, A::Top, guide, A::Top, 8);
    add(badge, badge, A::Width, nullptr, A::NotAnAttribute, 100);
    add(badge, badge, A::Height, nullptr, A::NotAnAttribute, 30);
    add(rootView, badge, A::CenterX, rootView, A::CenterX, 0);
    window->layoutIfNeeded();
    UIEdgeInsets in = rootView->safeAreaInsets();
    EXPECT_EQ(in.top, 47);
    EXPECT_EQ(in.bottom, 34);
    expectFrame(bar, 0, 844 - 34 - 60, 390, 60);
    expectFrame(badge, 145, 55, 100, 30);

    // Turning the screen moves everything to the landscape safe area.
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    rootView->setFrame(window->bounds());
    window->layoutIfNeeded();
    expectFrame(bar, 47, 390 - 21 - 60, 844 - 94, 60);
    expectFrame(badge, 372, 8, 100, 30);
    UIScreen::setMainScreen(UIScreen::make());
}

TEST_F(Layout, IntrinsicSizeHugsUnlessStrongerConstraintsStretchIt) {
    struct Label : UIView {
        CGSize intrinsicContentSize() const override { return {80, 20}; }
    };
    auto label = make<Label>();
    root->addSubview(label);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(root, label, A::Left, root, A::Left, 10);
    add(root, label, A::Top, root, A::Top, 10);
    root->layoutIfNeeded();
    expectFrame(label, 10, 10, 80, 20);
    EXPECT_FALSE(log.contains("Ambiguous"));
    // A wish to be wider at 300 beats hugging at 250, and loses to hugging at 400.
    auto wide = NSLayoutConstraint::constraintWithItem(label, A::Width, R::Equal, nullptr, A::NotAnAttribute, 1, 200);
    wide->setPriority(300);
    root->addConstraint(wide);
    root->layoutIfNeeded();
    expectFrame(label, 10, 10, 200, 20);
    label->setContentHuggingPriority(400, UILayoutConstraintAxis::Horizontal);
    root->layoutIfNeeded();
    expectFrame(label, 10, 10, 80, 20);
}

TEST_F(Layout, UnsatisfiableAndAmbiguousLayoutsAreLoggedAndLayoutCompletes) {
    auto a = UIView::make(), b = UIView::make();
    root->addSubview(a);
    root->addSubview(b);
    pinCenter(a, root, 0, 0, 50, 50);
    add(a, a, A::Width, nullptr, A::NotAnAttribute, 70);  // contradicts width 50
    b->setFrame(CGRectMake(1, 2, 3, 4));
    b->setTranslatesAutoresizingMaskIntoConstraints(false);
    add(root, b, A::Left, root, A::Left, 9);  // nothing fixes b's top or size
    root->layoutIfNeeded();
    expectFrame(a, 125, 75, 50, 50);
    EXPECT_TRUE(log.contains("Unable to simultaneously satisfy"));
    EXPECT_TRUE(log.contains("Ambiguous layout"));
    // The free parts of b keep their values.
    expectFrame(b, 9, 2, 3, 4);
}

TEST_F(Layout, AutoresizingViewsInAConstrainedTreeFollowTheirMask) {
    auto panel = UIView::make(), autoChild = UIView::make(CGRectMake(10, 10, 30, 30)), pinned = UIView::make();
    root->addSubview(panel);
    panel->addSubview(autoChild);
    autoChild->addSubview(pinned);
    pinFull(panel, root, 0, 0, 0, 0);
    pinFull(pinned, autoChild, 2, 2, -2, -2);
    autoChild->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    root->layoutIfNeeded();
    // The panel grew from nothing to 300 wide; the child kept its right margin and its size.
    expectFrame(panel, 0, 0, 300, 200);
    expectFrame(autoChild, 310, 10, 30, 30);
    expectFrame(pinned, 2, 2, 26, 26);
    root->setFrame(CGRectMake(0, 0, 400, 200));
    root->layoutIfNeeded();
    expectFrame(autoChild, 410, 10, 30, 30);
    expectFrame(pinned, 2, 2, 26, 26);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Layout, ConstraintWithoutCommonAncestorIsRefused) {
    auto loose = UIView::make();
    auto child = UIView::make();
    root->addSubview(child);
    auto c = NSLayoutConstraint::constraintWithItem(child, A::Left, R::Equal, loose, A::Left, 1, 0);
    c->setActive(true);
    EXPECT_FALSE(c->isActive());
    EXPECT_TRUE(log.contains("no common ancestor"));
}

TEST_F(Layout, FreeLayoutGuidesSpaceViewsAndIntrinsicSizesCanChange) {
    struct Label : UIView {
        CGSize size{50, 20};
        CGSize intrinsicContentSize() const override { return size; }
    };
    auto label = make<Label>();
    auto spacer = UILayoutGuide::make();
    root->addSubview(label);
    root->addLayoutGuide(spacer);
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    // The guide fills the space left of the label; the label sits at the right edge.
    add(root, spacer, A::Left, root, A::Left, 0);
    add(root, spacer, A::Top, root, A::Top, 0);
    add(root, spacer, A::Height, nullptr, A::NotAnAttribute, 10);
    add(root, spacer, A::Right, label, A::Left, 0);
    add(root, label, A::Right, root, A::Right, 0);
    add(root, label, A::Top, root, A::Top, 0);
    root->layoutIfNeeded();
    expectFrame(label, 250, 0, 50, 20);
    EXPECT_EQ(spacer->layoutFrame(), CGRectMake(0, 0, 250, 10));
    label->size = {120, 20};
    label->invalidateIntrinsicContentSize();
    root->layoutIfNeeded();
    expectFrame(label, 180, 0, 120, 20);
    EXPECT_EQ(spacer->layoutFrame().size.width, 180);
    // Removing the guide drops its constraints.
    root->removeLayoutGuide(spacer);
    EXPECT_EQ(root->constraints().size(), 2u);
    EXPECT_FALSE(log.contains("Unable"));
}

TEST_F(Layout, LongChainsOfRowsSolveCorrectly) {
    // A list of 200 rows, each 30 high and 2 below the one before, inside a 300-wide root.
    std::shared_ptr<UIView> previous;
    std::vector<std::shared_ptr<UIView>> rows;
    for (int i = 0; i < 200; ++i) {
        auto row = UIView::make();
        root->addSubview(row);
        row->setTranslatesAutoresizingMaskIntoConstraints(false);
        add(root, row, A::Left, root, A::Left, 8);
        add(root, row, A::Right, root, A::Right, -8);
        add(row, row, A::Height, nullptr, A::NotAnAttribute, 30);
        if (previous)
            add(root, row, A::Top, previous, A::Bottom, 2);
        else
            add(root, row, A::Top, root, A::Top, 0);
        rows.push_back(row);
        previous = row;
    }
    root->layoutIfNeeded();
    expectFrame(rows.back(), 8, 199 * 32, 284, 30);
    EXPECT_TRUE(log.lines().empty());
}

TEST(LayoutInWindow, ChangedConstantMovesANestedViewOnTheNextLayout) {
    auto window = UIWindow::make();
    auto panel = UIView::make(CGRectMake(0, 0, 200, 200));
    window->addSubview(panel);
    auto dot = UIView::make();
    panel->addSubview(dot);
    pinCenter(dot, panel, 0, 0, 20, 20);
    std::shared_ptr<NSLayoutConstraint> centerX;
    window->layoutIfNeeded();
    CGFloat before = dot->frame().origin.x;
    for (const auto& c : panel->constraints())
        if (c->firstAttribute() == A::CenterX) centerX = c;
    ASSERT_NE(centerX, nullptr);
    centerX->setConstant(30);
    dot->layoutIfNeeded();
    EXPECT_NEAR(dot->frame().origin.x, before + 30, 1e-6);
}

// The layout recipes: which constraints each installs, on which holder and in which order; solved
// frames; identified constraints; and the sender look-up pop-ups anchor on.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/table/ui_table_view_cell.h"
#include "tests/platform/ui/controller_test_support.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_hierarchy.h"
#include "ui/layout/view_custom_identified.h"

namespace {

using A = NSLayoutAttribute;

const char* attr(A a) {
    switch (a) {
        case A::Left: return "left";
        case A::Right: return "right";
        case A::Top: return "top";
        case A::Bottom: return "bottom";
        case A::Width: return "width";
        case A::Height: return "height";
        case A::CenterX: return "centerX";
        case A::CenterY: return "centerY";
        default: return "?";
    }
}

// The receiver is R; other items by name. "R.top=v.top+2 @v" is one constraint and its holder.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> root = vc->view();
    std::shared_ptr<UIView> v = UIView::make();
    std::shared_ptr<UIView> s = UIView::make();
    std::shared_ptr<UIView> s2 = UIView::make();
    std::shared_ptr<UIView> r = UIView::make();
    Scene() {
        root->addSubview(v);
        v->addSubview(r);
        v->addSubview(s);
        v->addSubview(s2);
    }
    std::string name(const std::shared_ptr<NSObject>& item) const {
        if (!item) return "";
        if (item == r) return "R";
        if (item == v) return "v";
        if (item == s) return "s";
        if (item == s2) return "s2";
        if (item == root) return "root";
        if (item == root->safeAreaLayoutGuide()) return "G";
        return "?";
    }
    std::string dump() const {
        std::ostringstream out;
        for (const auto& holder : {v, r, root}) {
            for (const auto& c : holder->constraints()) {
                out << name(c->firstItem()) << "." << attr(c->firstAttribute()) << "=";
                if (c->secondItem()) {
                    out << name(c->secondItem()) << "." << attr(c->secondAttribute());
                    if (c->multiplier() != 1) out << "*" << c->multiplier();
                    out << "+";
                }
                out << c->constant() << " @" << name(holder) << "; ";
            }
        }
        return out.str();
    }
};

struct Recipe {
    const char* name;
    std::function<void(Scene&)> apply;
    const char* expected;
};

// Holders are listed v, R, root in turn, each in its own install order.
const std::vector<Recipe>& recipes() {
    static const std::vector<Recipe> all = {
        {"Full", [](Scene& x) { addConstraintsFull(x.r, x.v, 1, 2, 3, 4); },
         "R.top=v.top+2 @v; R.right=v.right+3 @v; R.bottom=v.bottom+4 @v; R.left=v.left+1 @v; "},
        {"LT", [](Scene& x) { addConstraintsLT(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.top=v.top+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"RT", [](Scene& x) { addConstraintsRT(x.r, x.v, 1, 2, 3, 4); },
         "R.right=v.right+1 @v; R.top=v.top+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"LB", [](Scene& x) { addConstraintsLB(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.bottom=v.bottom+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"RB", [](Scene& x) { addConstraintsRB(x.r, x.v, 1, 2, 3, 4); },
         "R.right=v.right+1 @v; R.bottom=v.bottom+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"Center", [](Scene& x) { addConstraintsCenter(x.r, x.v, 1, 2, 3, 4); },
         "R.centerX=v.centerX+1 @v; R.centerY=v.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"LRC", [](Scene& x) { addConstraintsLRC(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.right=v.right+2 @v; R.centerY=v.centerY+3 @v; R.height=4 @R; "},
        {"CTB", [](Scene& x) { addConstraintsCTB(x.r, x.v, 1, 2, 3, 4); },
         "R.centerX=v.centerX+3 @v; R.bottom=v.bottom+2 @v; R.top=v.top+1 @v; R.width=4 @R; "},
        {"CT", [](Scene& x) { addConstraintsCT(x.r, x.v, 1, 2, 3, 4); },
         "R.centerX=v.centerX+1 @v; R.top=v.top+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"CB", [](Scene& x) { addConstraintsCB(x.r, x.v, 1, 2, 3, 4); },
         "R.centerX=v.centerX+1 @v; R.bottom=v.bottom+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"LC", [](Scene& x) { addConstraintsLC(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.centerY=v.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"RC", [](Scene& x) { addConstraintsRC(x.r, x.v, 1, 2, 3, 4); },
         "R.right=v.right+1 @v; R.centerY=v.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"B", [](Scene& x) { addConstraintsB(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.right=v.right+2 @v; R.bottom=v.bottom+3 @v; R.height=4 @R; "},
        {"T", [](Scene& x) { addConstraintsT(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+1 @v; R.right=v.right+2 @v; R.top=v.top+3 @v; R.height=4 @R; "},
        {"L", [](Scene& x) { addConstraintsL(x.r, x.v, 1, 2, 3, 4); },
         "R.left=v.left+3 @v; R.bottom=v.bottom+2 @v; R.top=v.top+1 @v; R.width=4 @R; "},
        {"R", [](Scene& x) { addConstraintsR(x.r, x.v, 1, 2, 3, 4); },
         "R.right=v.right+3 @v; R.bottom=v.bottom+2 @v; R.top=v.top+1 @v; R.width=4 @R; "},
        {"VCFull", [](Scene& x) { addConstraintsVCFull(x.r, x.vc, 1, 2, 3, 4); },
         "R.top=G.top+2 @root; R.bottom=G.bottom+4 @root; R.left=G.left+1 @root; R.right=G.right+3 @root; "},
        {"VCLT", [](Scene& x) { addConstraintsVCLT(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.top=G.top+2 @root; R.left=G.left+1 @root; "},
        {"VCRT", [](Scene& x) { addConstraintsVCRT(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.top=G.top+2 @root; R.right=G.right+1 @root; "},
        {"VCLB", [](Scene& x) { addConstraintsVCLB(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.bottom=G.bottom+2 @root; R.left=G.left+1 @root; "},
        {"VCRB", [](Scene& x) { addConstraintsVCRB(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.bottom=G.bottom+2 @root; R.right=G.right+1 @root; "},
        {"VCCTB", [](Scene& x) { addConstraintsVCCTB(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=4 @R; R.top=G.top+1 @root; R.bottom=G.bottom+2 @root; R.centerX=root.centerX+3 @root; "},
        {"VCCT", [](Scene& x) { addConstraintsVCCT(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.top=G.top+2 @root; R.centerX=root.centerX+1 @root; "},
        {"VCCB", [](Scene& x) { addConstraintsVCCB(x.r, x.vc, 1, 2, 3, 4); },
         "R.width=3 @R; R.height=4 @R; R.bottom=G.bottom+2 @root; R.centerX=root.centerX+1 @root; "},
        {"VCB", [](Scene& x) { addConstraintsVCB(x.r, x.vc, 1, 2, 3, 4); },
         "R.height=4 @R; R.bottom=G.bottom+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; "},
        {"VCBRh", [](Scene& x) { addConstraintsVCBRh(x.r, x.vc, 1, 2, 3, 0.5); },
         "R.bottom=G.bottom+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; R.height=root.height*0.5+0 "
         "@root; "},
        {"VCT", [](Scene& x) { addConstraintsVCT(x.r, x.vc, 1, 2, 3, 4); },
         "R.height=4 @R; R.top=G.top+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; "},
        {"VCTRh", [](Scene& x) { addConstraintsVCTRh(x.r, x.vc, 1, 2, 3, 0.25); },
         "R.top=G.top+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; R.height=root.height*0.25+0 @root; "},
        {"VCBV", [](Scene& x) { addConstraintsVCBV(x.r, x.vc, 1, 2, 3, x.s, 4); },
         "R.bottom=G.bottom+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; R.top=s.bottom+4 @root; "},
        {"VCTV", [](Scene& x) { addConstraintsVCTV(x.r, x.vc, 1, 2, 3, x.s, 4); },
         "R.top=G.top+3 @root; R.left=G.left+1 @root; R.right=G.right+2 @root; R.bottom=s.top+4 @root; "},
        {"ByViewCC", [](Scene& x) { addConstraintsByViewCC(x.r, x.v, x.s, 1, 2); },
         "R.centerX=s.centerX+1 @v; R.centerY=s.centerY+2 @v; R.width=s.width+0 @v; R.height=s.height+0 @v; "},
        {"ByViewCCW", [](Scene& x) { addConstraintsByViewCCW(x.r, x.v, x.s, 1, 2, 3); },
         "R.centerX=s.centerX+1 @v; R.centerY=s.centerY+2 @v; R.height=s.height+0 @v; R.width=3 @R; "},
        {"ByViewCCH", [](Scene& x) { addConstraintsByViewCCH(x.r, x.v, x.s, 1, 2, 3); },
         "R.centerX=s.centerX+1 @v; R.centerY=s.centerY+2 @v; R.width=s.width+0 @v; R.height=3 @R; "},
        {"ByViewCCWH", [](Scene& x) { addConstraintsByViewCCWH(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.centerX=s.centerX+1 @v; R.centerY=s.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"ByViewLC", [](Scene& x) { addConstraintsByViewLC(x.r, x.v, x.s, 1, 2); },
         "R.left=s.right+1 @v; R.centerY=s.centerY+2 @v; R.width=s.width+0 @v; R.height=s.height+0 @v; "},
        {"ByViewRC", [](Scene& x) { addConstraintsByViewRC(x.r, x.v, x.s, 1, 2); },
         "R.right=s.left+1 @v; R.centerY=s.centerY+2 @v; R.width=s.width+0 @v; R.height=s.height+0 @v; "},
        {"ByViewCT", [](Scene& x) { addConstraintsByViewCT(x.r, x.v, x.s, 1, 2); },
         "R.centerX=s.centerX+1 @v; R.top=s.bottom+2 @v; R.width=s.width+0 @v; R.height=s.height+0 @v; "},
        {"ByViewCB", [](Scene& x) { addConstraintsByViewCB(x.r, x.v, x.s, 1, 2); },
         "R.centerX=s.centerX+1 @v; R.bottom=s.top+2 @v; R.width=s.width+0 @v; R.height=s.height+0 @v; "},
        {"ByViewLCW", [](Scene& x) { addConstraintsByViewLCW(x.r, x.v, x.s, 1, 2, 3); },
         "R.left=s.right+1 @v; R.centerY=s.centerY+2 @v; R.height=s.height+0 @v; R.width=3 @R; "},
        {"ByViewRCW", [](Scene& x) { addConstraintsByViewRCW(x.r, x.v, x.s, 1, 2, 3); },
         "R.right=s.left+1 @v; R.centerY=s.centerY+2 @v; R.height=s.height+0 @v; R.width=3 @R; "},
        {"ByViewCTH", [](Scene& x) { addConstraintsByViewCTH(x.r, x.v, x.s, 1, 2, 3); },
         "R.centerX=s.centerX+1 @v; R.top=s.bottom+2 @v; R.width=s.width+0 @v; R.height=3 @R; "},
        {"ByViewCBH", [](Scene& x) { addConstraintsByViewCBH(x.r, x.v, x.s, 1, 2, 3); },
         "R.centerX=s.centerX+1 @v; R.bottom=s.top+2 @v; R.width=s.width+0 @v; R.height=3 @R; "},
        {"ByViewLCWH", [](Scene& x) { addConstraintsByViewLCWH(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.left=s.right+1 @v; R.centerY=s.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"ByViewRCWH", [](Scene& x) { addConstraintsByViewRCWH(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.right=s.left+1 @v; R.centerY=s.centerY+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"ByViewCTWH", [](Scene& x) { addConstraintsByViewCTWH(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.centerX=s.centerX+1 @v; R.top=s.bottom+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"ByViewCBWH", [](Scene& x) { addConstraintsByViewCBWH(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.centerX=s.centerX+1 @v; R.bottom=s.top+2 @v; R.width=3 @R; R.height=4 @R; "},
        {"ByViewFull", [](Scene& x) { addConstraintsByViewFull(x.r, x.v, x.s, 1, 2, 3, 4); },
         "R.left=s.left+1 @v; R.right=s.right+3 @v; R.top=s.top+2 @v; R.bottom=s.bottom+4 @v; "},
        {"FullByViewsX", [](Scene& x) { addConstraintsFullByViewsX(x.r, x.v, x.s, 1, x.s2, 2, 3, 4); },
         "R.left=s.right+1 @v; R.right=s2.left+2 @v; R.top=v.top+3 @v; R.bottom=v.bottom+4 @v; "},
    };
    return all;
}

TEST(LayoutRecipes, EveryRecipeInstallsItsConstraintsOnTheRightHolderInOrder) {
    for (const auto& recipe : recipes()) {
        Scene scene;
        recipe.apply(scene);
        EXPECT_EQ(scene.dump(), recipe.expected) << recipe.name;
        EXPECT_FALSE(scene.r->translatesAutoresizingMaskIntoConstraints()) << recipe.name;
        EXPECT_TRUE(scene.v->translatesAutoresizingMaskIntoConstraints())
            << recipe.name << ": the reference is untouched";
    }
}

TEST(LayoutRecipes, MissingReferencesLayOutNothing) {
    Scene scene;
    addConstraintsFull(scene.r, nullptr, 0, 0, 0, 0);
    addConstraintsVCFull(scene.r, nullptr, 0, 0, 0, 0);
    addConstraintsByViewCC(scene.r, scene.v, nullptr, 0, 0);
    addConstraintsFull(nullptr, scene.v, 0, 0, 0, 0);
    EXPECT_EQ(scene.dump(), "");
    EXPECT_TRUE(scene.r->translatesAutoresizingMaskIntoConstraints());
}

struct SolvedLayout : UIHarness {
    std::shared_ptr<UIView> container = UIView::make(CGRectMake(10, 20, 200, 100));
    std::shared_ptr<UIView> r = UIView::make();
    void SetUp() override {
        UIHarness::SetUp();
        window->addSubview(container);
        container->addSubview(r);
    }
    CGRect solve() {
        window->layoutIfNeeded();
        return r->frame();
    }
};

TEST_F(SolvedLayout, FullCoversInsetsOrOverhangsTheContainer) {
    addConstraintsFull(r, container, 0, 0, 0, 0);
    EXPECT_EQ(solve(), CGRectMake(0, 0, 200, 100));
    auto other = UIView::make();
    container->addSubview(other);
    addConstraintsFull(other, container, 1, 1, -1, -1);
    window->layoutIfNeeded();
    EXPECT_EQ(other->frame(), CGRectMake(1, 1, 198, 98));
    auto overhang = UIView::make();
    container->addSubview(overhang);
    addConstraintsFull(overhang, container, 0, 0, 5, 7);
    window->layoutIfNeeded();
    EXPECT_EQ(overhang->frame(), CGRectMake(0, 0, 205, 107));
}

TEST_F(SolvedLayout, RemoveMyConstraintsAfterCenterTakesOnlyTheSizes) {
    addConstraintsCenter(r, container, 0, 0, 40, 30);
    EXPECT_EQ(container->constraints().size(), 2u);
    EXPECT_EQ(r->constraints().size(), 2u);
    removeMyConstraints(*r);
    EXPECT_TRUE(r->constraints().empty());
    EXPECT_EQ(container->constraints().size(), 2u);
}

struct CountingView : UIView {
    KORVA_MAKE(CountingView)
    int updates = 0;
    void updateConstraints() override { ++updates; }
};

TEST(IdentifiedConstraints, LookUpChangeAndReplace) {
    auto parent = UIView::make();
    auto child = CountingView::make();
    parent->addSubview(child);
    addConstraintsCenter(child, parent, 0, 0, 40, 30);
    child->constraints()[0]->setIdentifier("badgeWidth");
    EXPECT_EQ(getLayoutConstraint(*parent, "badgeWidth"), nullptr) << "the child holds it";
    EXPECT_EQ(getLayoutConstant(*child, "badgeWidth"), 40);

    // Duplicates: the earlier one is found and changed.
    child->constraints()[1]->setIdentifier("badgeWidth");
    EXPECT_TRUE(setLayoutConstant(*child, "badgeWidth", 50));
    EXPECT_EQ(child->constraints()[0]->constant(), 50);
    EXPECT_EQ(child->constraints()[1]->constant(), 30);
    EXPECT_EQ(child->updates, 1);

    // Missing: false, nothing changed, no update.
    EXPECT_FALSE(setLayoutConstant(*child, "nothing", 1));
    EXPECT_FALSE(setLayoutConstraint(*child, "nothing", 2, 1));
    EXPECT_EQ(getLayoutConstant(*child, "nothing"), 0);
    EXPECT_EQ(getLayoutMultiplier(*child, "nothing"), 0);
    EXPECT_EQ(child->updates, 1);

    auto held = NSLayoutConstraint::constraintWithItem(child, A::Left, NSLayoutRelation::GreaterThanOrEqual, parent,
                                                       A::Left, 1, 3);
    held->setIdentifier("hContHolderX");
    held->setPriority(999);
    held->setShouldBeArchived(true);
    parent->addConstraint(held);
    EXPECT_TRUE(setLayoutConstraint(*parent, "hContHolderX", 2, 7));
    int found = 0;
    for (const auto& c : parent->constraints()) {
        if (c->identifier() != "hContHolderX") continue;
        ++found;
        EXPECT_NE(c, held);
        EXPECT_EQ(c->firstItem(), held->firstItem());
        EXPECT_EQ(c->secondItem(), held->secondItem());
        EXPECT_EQ(c->firstAttribute(), held->firstAttribute());
        EXPECT_EQ(c->secondAttribute(), held->secondAttribute());
        EXPECT_EQ(c->relation(), held->relation());
        EXPECT_EQ(c->priority(), 999);
        EXPECT_TRUE(c->shouldBeArchived());
        EXPECT_EQ(c->multiplier(), 2);
        EXPECT_EQ(c->constant(), 7);
    }
    EXPECT_EQ(found, 1);
    EXPECT_FALSE(held->isActive());
}

struct NotchedLayout : UIHarness {
    const char* deviceName() const override { return "notched"; }
};

TEST_F(NotchedLayout, CentredTopFollowsTheSafeAreaAndTheFullWidth) {
    auto vc = UIViewController::make();
    window->setRootViewController(vc);
    auto r = UIView::make();
    vc->view()->addSubview(r);
    addConstraintsVCCT(r, vc, 0, 10, 100, 40);
    window->layoutIfNeeded();
    const UIEdgeInsets safe = vc->view()->safeAreaInsets();
    ASSERT_GT(safe.top, 0);
    EXPECT_EQ(r->frame().origin.y, safe.top + 10);
    EXPECT_EQ(r->frame().origin.x, (vc->view()->bounds().size.width - 100) / 2);
}

TEST_F(NotchedLayout, TrackSenderForEveryKindOfSender) {
    auto vc = UIViewController::make();
    auto nav = UINavigationController::withRoot(vc);
    window->setRootViewController(nav);
    settle();
    auto item = UIBarButtonItem::withTitle("Go", UIBarButtonItemStyle::Plain, nullptr);
    EXPECT_EQ(trackSender(item, vc), nav->navigationBar()) << "no view yet: the navigation bar";
    auto bare = UIViewController::make();
    EXPECT_EQ(trackSender(item, bare), bare->view()) << "no navigation controller: the controller's view";

    vc->navigationItem()->setRightBarButtonItems({item});
    settle();
    ASSERT_NE(getView1(*item), nullptr);
    EXPECT_EQ(trackSender(item, vc), getView1(*item));
    EXPECT_TRUE(getView1(*item)->isDescendantOfView(nav->navigationBar().get()));

    auto view = UIView::make();
    EXPECT_EQ(trackSender(view, vc), view);
    auto tap = UITapGestureRecognizer::make();
    UIViewAddGestureRecognizer(*view, tap);
    EXPECT_EQ(trackSender(tap, vc), view);
    EXPECT_EQ(trackSender(UIColor::redColor(), vc), nullptr);
    EXPECT_EQ(trackSender(nullptr, vc), nullptr);
}

TEST(HierarchyLookUps, CellsAndControllers) {
    auto cell = UITableViewCell::make();
    auto inner = UIView::make();
    cell->addSubview(inner);
    EXPECT_EQ(tableCell(inner), cell);
    EXPECT_EQ(tableCell(cell), cell) << "a cell finds itself";
    EXPECT_EQ(tableCell(UIView::make()), nullptr);
    auto vc = UIViewController::make();
    vc->view()->addSubview(cell);
    EXPECT_EQ(viewController(inner), vc);
    EXPECT_EQ(viewController(UIView::make()), nullptr);
}

}  // namespace

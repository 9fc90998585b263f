// Layout recipes, each a table of equalities applied in order.
#include "ui/layout/view_custom_constraints.h"

#include <array>
#include <initializer_list>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/view/ui_view.h"

namespace {

using A = NSLayoutAttribute;

// What the receiver's attribute is set equal to: a fixed number (held by the receiver), or an
// attribute of one of the recipe's items (held by the recipe's holder).
enum class To { Fixed, Ref, Second, Third };

struct Rule {
    A attr;
    To to;
    A other;
    int arg;             // index into the numbers; -1 for 0
    bool ratio = false;  // the number is the multiplier, the constant is 0
};

struct Items {
    std::shared_ptr<NSObject> ref, second, third;
    std::shared_ptr<UIView> holder;
};

constexpr int kNone = -1;

template <std::size_t N>
void place(const ViewRef& view, const Items& items, const std::array<Rule, N>& rules,
           std::initializer_list<CGFloat> args) {
    if (!view || !items.holder) return;
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    const CGFloat* numbers = args.begin();
    for (const Rule& rule : rules) {
        const CGFloat number = rule.arg == kNone ? 0 : numbers[rule.arg];
        const CGFloat multiplier = rule.ratio ? number : 1;
        const CGFloat constant = rule.ratio ? 0 : number;
        if (rule.to == To::Fixed) {
            view->addConstraint(NSLayoutConstraint::constraintWithItem(view, rule.attr, NSLayoutRelation::Equal,
                                                                       nullptr, A::NotAnAttribute, 1, constant));
            continue;
        }
        const auto& item = rule.to == To::Ref ? items.ref : rule.to == To::Second ? items.second : items.third;
        items.holder->addConstraint(NSLayoutConstraint::constraintWithItem(view, rule.attr, NSLayoutRelation::Equal,
                                                                           item, rule.other, multiplier, constant));
    }
}

Items container(const ViewRef& v) {
    return {v, nullptr, nullptr, v};
}

Items safeArea(const ControllerRef& vc) {
    if (!vc) return {};
    auto root = vc->view();
    return {root->safeAreaLayoutGuide(), root, nullptr, root};
}

Items sibling(const ViewRef& container, const ViewRef& v) {
    if (!v) return {};
    return {v, nullptr, nullptr, container};
}

Rule fixed(A attr, int arg) {
    return {attr, To::Fixed, A::NotAnAttribute, arg};
}
Rule same(A attr, int arg) {
    return {attr, To::Ref, attr, arg};
}
Rule against(A attr, A other, int arg) {
    return {attr, To::Ref, other, arg};
}
Rule rootSame(A attr, int arg) {
    return {attr, To::Second, attr, arg};
}
Rule rootRatio(A attr, int arg) {
    return {attr, To::Second, attr, arg, true};
}

}  // namespace

// ---- edges of a container ----

void addConstraintsFull(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dt, CGFloat dr, CGFloat db) {
    place(view, container(v), std::array{same(A::Top, 1), same(A::Right, 2), same(A::Bottom, 3), same(A::Left, 0)},
          {dl, dt, dr, db});
}
void addConstraintsLT(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Left, 0), same(A::Top, 1)},
          {dl, dt, w, h});
}
void addConstraintsRT(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Right, 0), same(A::Top, 1)},
          {dr, dt, w, h});
}
void addConstraintsLB(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat db, CGFloat w, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Left, 0), same(A::Bottom, 1)},
          {dl, db, w, h});
}
void addConstraintsRB(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat db, CGFloat w, CGFloat h) {
    place(view, container(v),
          std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Right, 0), same(A::Bottom, 1)}, {dr, db, w, h});
}
void addConstraintsCenter(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat dy, CGFloat w, CGFloat h) {
    place(view, container(v),
          std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::CenterX, 0), same(A::CenterY, 1)},
          {dx, dy, w, h});
}
void addConstraintsLRC(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat dy, CGFloat h) {
    place(view, container(v), std::array{same(A::Left, 0), same(A::Right, 1), fixed(A::Height, 3), same(A::CenterY, 2)},
          {dl, dr, dy, h});
}
void addConstraintsCTB(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dx, CGFloat w) {
    place(view, container(v), std::array{fixed(A::Width, 3), same(A::CenterX, 2), same(A::Bottom, 1), same(A::Top, 0)},
          {dt, db, dx, w});
}
void addConstraintsCT(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::CenterX, 0), same(A::Top, 1)},
          {dx, dt, w, h});
}
void addConstraintsCB(const ViewRef& view, const ViewRef& v, CGFloat dx, CGFloat db, CGFloat w, CGFloat h) {
    place(view, container(v),
          std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::CenterX, 0), same(A::Bottom, 1)}, {dx, db, w, h});
}
void addConstraintsLC(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dy, CGFloat w, CGFloat h) {
    place(view, container(v),
          std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Left, 0), same(A::CenterY, 1)}, {dl, dy, w, h});
}
void addConstraintsRC(const ViewRef& view, const ViewRef& v, CGFloat dr, CGFloat dy, CGFloat w, CGFloat h) {
    place(view, container(v),
          std::array{fixed(A::Width, 2), fixed(A::Height, 3), same(A::Right, 0), same(A::CenterY, 1)}, {dr, dy, w, h});
}
void addConstraintsB(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat db, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Height, 3), same(A::Left, 0), same(A::Right, 1), same(A::Bottom, 2)},
          {dl, dr, db, h});
}
void addConstraintsT(const ViewRef& view, const ViewRef& v, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat h) {
    place(view, container(v), std::array{fixed(A::Height, 3), same(A::Left, 0), same(A::Right, 1), same(A::Top, 2)},
          {dl, dr, dt, h});
}
void addConstraintsL(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dl, CGFloat w) {
    place(view, container(v), std::array{fixed(A::Width, 3), same(A::Left, 2), same(A::Bottom, 1), same(A::Top, 0)},
          {dt, db, dl, w});
}
void addConstraintsR(const ViewRef& view, const ViewRef& v, CGFloat dt, CGFloat db, CGFloat dr, CGFloat w) {
    place(view, container(v), std::array{fixed(A::Width, 3), same(A::Right, 2), same(A::Bottom, 1), same(A::Top, 0)},
          {dt, db, dr, w});
}

// ---- a controller's safe area ----

void addConstraintsVCFull(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dt, CGFloat dr,
                          CGFloat db) {
    place(view, safeArea(vc), std::array{same(A::Top, 1), same(A::Bottom, 3), same(A::Left, 0), same(A::Right, 2)},
          {dl, dt, dr, db});
}
void addConstraintsVCLT(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, safeArea(vc), std::array{same(A::Top, 1), same(A::Left, 0), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dl, dt, w, h});
}
void addConstraintsVCRT(const ViewRef& view, const ControllerRef& vc, CGFloat dr, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, safeArea(vc), std::array{same(A::Top, 1), same(A::Right, 0), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dr, dt, w, h});
}
void addConstraintsVCLB(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat db, CGFloat w, CGFloat h) {
    place(view, safeArea(vc), std::array{same(A::Bottom, 1), same(A::Left, 0), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dl, db, w, h});
}
void addConstraintsVCRB(const ViewRef& view, const ControllerRef& vc, CGFloat dr, CGFloat db, CGFloat w, CGFloat h) {
    place(view, safeArea(vc),
          std::array{same(A::Bottom, 1), same(A::Right, 0), fixed(A::Width, 2), fixed(A::Height, 3)}, {dr, db, w, h});
}
void addConstraintsVCCTB(const ViewRef& view, const ControllerRef& vc, CGFloat dt, CGFloat db, CGFloat dx, CGFloat w) {
    place(view, safeArea(vc),
          std::array{same(A::Top, 0), same(A::Bottom, 1), fixed(A::Width, 3), rootSame(A::CenterX, 2)},
          {dt, db, dx, w});
}
void addConstraintsVCCT(const ViewRef& view, const ControllerRef& vc, CGFloat dx, CGFloat dt, CGFloat w, CGFloat h) {
    place(view, safeArea(vc),
          std::array{same(A::Top, 1), fixed(A::Width, 2), fixed(A::Height, 3), rootSame(A::CenterX, 0)},
          {dx, dt, w, h});
}
void addConstraintsVCCB(const ViewRef& view, const ControllerRef& vc, CGFloat dx, CGFloat db, CGFloat w, CGFloat h) {
    place(view, safeArea(vc),
          std::array{same(A::Bottom, 1), fixed(A::Width, 2), fixed(A::Height, 3), rootSame(A::CenterX, 0)},
          {dx, db, w, h});
}
void addConstraintsVCB(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db, CGFloat h) {
    place(view, safeArea(vc), std::array{same(A::Bottom, 2), same(A::Left, 0), same(A::Right, 1), fixed(A::Height, 3)},
          {dl, dr, db, h});
}
void addConstraintsVCBRh(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db, CGFloat rh) {
    place(view, safeArea(vc),
          std::array{same(A::Bottom, 2), same(A::Left, 0), same(A::Right, 1), rootRatio(A::Height, 3)},
          {dl, dr, db, rh});
}
void addConstraintsVCT(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat h) {
    place(view, safeArea(vc), std::array{same(A::Top, 2), same(A::Left, 0), same(A::Right, 1), fixed(A::Height, 3)},
          {dl, dr, dt, h});
}
void addConstraintsVCTRh(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt, CGFloat rh) {
    place(view, safeArea(vc), std::array{same(A::Top, 2), same(A::Left, 0), same(A::Right, 1), rootRatio(A::Height, 3)},
          {dl, dr, dt, rh});
}
void addConstraintsVCBV(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat db,
                        const ViewRef& v, CGFloat dt) {
    if (!v) return;
    Items items = safeArea(vc);
    items.third = v;
    place(view, items,
          std::array{same(A::Bottom, 2), same(A::Left, 0), same(A::Right, 1), Rule{A::Top, To::Third, A::Bottom, 3}},
          {dl, dr, db, dt});
}
void addConstraintsVCTV(const ViewRef& view, const ControllerRef& vc, CGFloat dl, CGFloat dr, CGFloat dt,
                        const ViewRef& v, CGFloat db) {
    if (!v) return;
    Items items = safeArea(vc);
    items.third = v;
    place(view, items,
          std::array{same(A::Top, 2), same(A::Left, 0), same(A::Right, 1), Rule{A::Bottom, To::Third, A::Top, 3}},
          {dl, dr, dt, db});
}

// ---- beside a sibling ----

void addConstraintsByViewCC(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dy) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), same(A::CenterY, 1), same(A::Width, kNone), same(A::Height, kNone)},
          {dx, dy});
}
void addConstraintsByViewCCW(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dy,
                             CGFloat w) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), same(A::CenterY, 1), fixed(A::Width, 2), same(A::Height, kNone)},
          {dx, dy, w});
}
void addConstraintsByViewCCH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dy,
                             CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), same(A::CenterY, 1), same(A::Width, kNone), fixed(A::Height, 2)},
          {dx, dy, h});
}
void addConstraintsByViewCCWH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dy,
                              CGFloat w, CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), same(A::CenterY, 1), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dx, dy, w, h});
}
void addConstraintsByViewLC(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dl, CGFloat dy) {
    place(view, sibling(c, v),
          std::array{against(A::Left, A::Right, 0), same(A::CenterY, 1), same(A::Width, kNone), same(A::Height, kNone)},
          {dl, dy});
}
void addConstraintsByViewRC(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dr, CGFloat dy) {
    place(view, sibling(c, v),
          std::array{against(A::Right, A::Left, 0), same(A::CenterY, 1), same(A::Width, kNone), same(A::Height, kNone)},
          {dr, dy});
}
void addConstraintsByViewCT(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dt) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Top, A::Bottom, 1), same(A::Width, kNone), same(A::Height, kNone)},
          {dx, dt});
}
void addConstraintsByViewCB(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat db) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Bottom, A::Top, 1), same(A::Width, kNone), same(A::Height, kNone)},
          {dx, db});
}
void addConstraintsByViewLCW(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dl, CGFloat dy,
                             CGFloat w) {
    place(view, sibling(c, v),
          std::array{against(A::Left, A::Right, 0), same(A::CenterY, 1), fixed(A::Width, 2), same(A::Height, kNone)},
          {dl, dy, w});
}
void addConstraintsByViewRCW(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dr, CGFloat dy,
                             CGFloat w) {
    place(view, sibling(c, v),
          std::array{against(A::Right, A::Left, 0), same(A::CenterY, 1), fixed(A::Width, 2), same(A::Height, kNone)},
          {dr, dy, w});
}
void addConstraintsByViewCTH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dt,
                             CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Top, A::Bottom, 1), same(A::Width, kNone), fixed(A::Height, 2)},
          {dx, dt, h});
}
void addConstraintsByViewCBH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat db,
                             CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Bottom, A::Top, 1), same(A::Width, kNone), fixed(A::Height, 2)},
          {dx, db, h});
}
void addConstraintsByViewLCWH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dl, CGFloat dy,
                              CGFloat w, CGFloat h) {
    place(view, sibling(c, v),
          std::array{against(A::Left, A::Right, 0), same(A::CenterY, 1), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dl, dy, w, h});
}
void addConstraintsByViewRCWH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dr, CGFloat dy,
                              CGFloat w, CGFloat h) {
    place(view, sibling(c, v),
          std::array{against(A::Right, A::Left, 0), same(A::CenterY, 1), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dr, dy, w, h});
}
void addConstraintsByViewCTWH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat dt,
                              CGFloat w, CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Top, A::Bottom, 1), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dx, dt, w, h});
}
void addConstraintsByViewCBWH(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dx, CGFloat db,
                              CGFloat w, CGFloat h) {
    place(view, sibling(c, v),
          std::array{same(A::CenterX, 0), against(A::Bottom, A::Top, 1), fixed(A::Width, 2), fixed(A::Height, 3)},
          {dx, db, w, h});
}
void addConstraintsByViewFull(const ViewRef& view, const ViewRef& c, const ViewRef& v, CGFloat dl, CGFloat dt,
                              CGFloat dr, CGFloat db) {
    place(view, sibling(c, v), std::array{same(A::Left, 0), same(A::Right, 2), same(A::Top, 1), same(A::Bottom, 3)},
          {dl, dt, dr, db});
}
void addConstraintsFullByViewsX(const ViewRef& view, const ViewRef& c, const ViewRef& vl, CGFloat dl, const ViewRef& vr,
                                CGFloat dr, CGFloat dt, CGFloat db) {
    if (!vl || !vr) return;
    place(view, Items{vl, vr, c, c},
          std::array{against(A::Left, A::Right, 0), Rule{A::Right, To::Second, A::Left, 1},
                     Rule{A::Top, To::Third, A::Top, 2}, Rule{A::Bottom, To::Third, A::Bottom, 3}},
          {dl, dr, dt, db});
}

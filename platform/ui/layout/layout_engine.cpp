// Builds the linear system of a view tree and reads frames back from its solution.
#include "platform/ui/layout/layout_engine.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "platform/runtime/log.h"
#include "platform/ui/layout/linear_solver.h"
#include "platform/ui/view/ui_view.h"

namespace {

using Solver = LinearSolver;
using Term = LinearSolver::Term;
using Relation = LinearSolver::Relation;

constexpr double kStayStrength = 1e-3;

double strengthFor(UILayoutPriority p) {
    if (p >= UILayoutPriorityRequired) return LinearSolver::kRequired;
    return std::pow(10.0, std::max<double>(p, 1) / 100.0);
}

// The four variables of a rectangle in the root's bounds space.
struct Box {
    Solver::Variable left, top, width, height;
};

// Untransformed frame of a view in its superview's bounds space (constraints ignore transforms).
CGRect untransformedFrame(const UIView& v) {
    CGRect b = v.bounds();
    CGPoint a = v.layer()->anchorPoint(), c = v.center();
    return {{c.x - a.x * b.size.width, c.y - a.y * b.size.height}, b.size};
}

struct Expression {
    std::vector<Term> terms;
    double constant = 0;
};

class System {
public:
    System(UIView& root, const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints,
           const std::vector<UIView*>& views, const std::vector<UILayoutGuide*>& guides)
        : root_(root), constraints_(constraints), views_(views), guides_(guides) {}

    // Builds and solves; stays pull free variables towards the current frames plus `shift`.
    void build(double shift, std::vector<std::string>* problems) {
        for (UIView* v : views_)
            boxes_[v] = {solver_.newVariable(), solver_.newVariable(), solver_.newVariable(), solver_.newVariable()};
        for (UILayoutGuide* g : guides_)
            guideBoxes_[g] = {solver_.newVariable(), solver_.newVariable(), solver_.newVariable(),
                              solver_.newVariable()};

        for (UIView* v : views_) addStructure(*v, problems);
        for (UILayoutGuide* g : guides_) addGuideStructure(*g, problems);
        for (const auto& c : constraints_) addUser(*c, problems);
        for (UIView* v : views_) addIntrinsic(*v);
        for (UIView* v : views_) {
            if (v == &root_ || v->translatesAutoresizingMaskIntoConstraints()) continue;
            CGRect f = current(*v);
            const Box& b = boxes_[v];
            stay(b.left, f.origin.x + shift);
            stay(b.top, f.origin.y + shift);
            stay(b.width, f.size.width + shift);
            stay(b.height, f.size.height + shift);
        }
        for (UILayoutGuide* g : guides_) {
            if (g->isSafeAreaGuide()) continue;
            const Box& b = guideBoxes_[g];
            stay(b.left, shift);
            stay(b.top, shift);
            stay(b.width, shift);
            stay(b.height, shift);
        }
    }

    CGRect solvedRootRect(const UIView& v) const {
        const Box& b = boxes_.at(&v);
        return {{solver_.value(b.left), solver_.value(b.top)},
                {std::max(0.0, solver_.value(b.width)), std::max(0.0, solver_.value(b.height))}};
    }

    CGRect solvedGuideRect(const UILayoutGuide& g) const {
        const Box& b = guideBoxes_.at(&g);
        return {{solver_.value(b.left), solver_.value(b.top)},
                {std::max(0.0, solver_.value(b.width)), std::max(0.0, solver_.value(b.height))}};
    }

    bool hasBox(const UIView& v) const { return boxes_.count(&v) != 0; }

    // Current frame of a view in root space, computed through its ancestors.
    CGRect current(const UIView& v) {
        auto it = currentCache_.find(&v);
        if (it != currentCache_.end()) return it->second;
        CGRect r;
        if (&v == &root_) {
            r = v.bounds();
        } else {
            auto parent = v.superview();
            CGRect f = untransformedFrame(v);
            CGRect p = parent ? current(*parent) : CGRectZero;
            CGPoint po = parent ? parent->bounds().origin : CGPointZero;
            r = {{p.origin.x - po.x + f.origin.x, p.origin.y - po.y + f.origin.y}, f.size};
        }
        currentCache_[&v] = r;
        return r;
    }

private:
    void stay(Solver::Variable v, double value) {
        solver_.addConstraint({{{v, 1.0}}, -value, Relation::Equal, kStayStrength});
    }

    void require(const Expression& e, std::vector<std::string>* problems, const char* what, const UIView& v) {
        if (!solver_.addConstraint({e.terms, e.constant, Relation::Equal, LinearSolver::kRequired}) && problems) {
            std::string msg = std::string("Unable to satisfy ") + what + " of " + v.description();
            Log::warning("layout", msg);
            problems->push_back(msg);
        }
    }

    // Root fixed; views that translate their autoresizing mask follow it relative to their superview.
    void addStructure(UIView& v, std::vector<std::string>* problems) {
        const Box& b = boxes_[&v];
        CGRect cur = current(v);
        if (&v == &root_) {
            require({{{b.left, 1}}, -cur.origin.x}, problems, "the position", v);
            require({{{b.top, 1}}, -cur.origin.y}, problems, "the position", v);
            if (v.translatesAutoresizingMaskIntoConstraints()) {
                require({{{b.width, 1}}, -cur.size.width}, problems, "the size", v);
                require({{{b.height, 1}}, -cur.size.height}, problems, "the size", v);
            }
            return;
        }
        if (!v.translatesAutoresizingMaskIntoConstraints()) return;
        auto parent = v.superview();
        const Box& pb = boxes_[parent.get()];
        CGRect pc = current(*parent);
        UIViewAutoresizing m = v.autoresizingMask();
        axis(b.left, b.width, pb.left, pb.width, cur.origin.x - pc.origin.x, cur.size.width, pc.size.width,
             m & UIViewAutoresizingFlexibleLeftMargin, m & UIViewAutoresizingFlexibleWidth,
             m & UIViewAutoresizingFlexibleRightMargin, problems, v);
        axis(b.top, b.height, pb.top, pb.height, cur.origin.y - pc.origin.y, cur.size.height, pc.size.height,
             m & UIViewAutoresizingFlexibleTopMargin, m & UIViewAutoresizingFlexibleHeight,
             m & UIViewAutoresizingFlexibleBottomMargin, problems, v);
    }

    // One axis of an autoresizing mask as linear equations: the fixed parts keep their lengths and
    // the flexible ones share what is left in proportion to their current lengths.
    void axis(Solver::Variable pos, Solver::Variable size, Solver::Variable ppos, Solver::Variable psize, double lead,
              double length, double total, bool flexLead, bool flexSize, bool flexTrail,
              std::vector<std::string>* problems, const UIView& v) {
        double trail = total - lead - length;
        if (!flexLead && !flexSize && !flexTrail) flexTrail = true;
        double flexSum = (flexLead ? lead : 0) + (flexSize ? length : 0) + (flexTrail ? trail : 0);
        double fixedSum = (flexLead ? 0 : lead) + (flexSize ? 0 : length) + (flexTrail ? 0 : trail);
        int flexCount = int(flexLead) + int(flexSize) + int(flexTrail);
        auto share = [&](double part) { return flexSum != 0 ? part / flexSum : 1.0 / flexCount; };
        // part = share * (psize - fixedSum) when flexible, else the constant.
        auto part = [&](bool flex, double current) -> Expression {
            if (!flex) return {{}, current};
            double k = share(current);
            return {{{psize, k}}, -k * fixedSum};
        };
        Expression leadE = part(flexLead, lead), sizeE = part(flexSize, length);
        // pos = ppos + lead
        Expression e{{{pos, 1}, {ppos, -1}}, -leadE.constant};
        for (auto t : leadE.terms) e.terms.push_back({t.variable, -t.coefficient});
        require(e, problems, "the autoresizing mask", v);
        Expression s{{{size, 1}}, -sizeE.constant};
        for (auto t : sizeE.terms) s.terms.push_back({t.variable, -t.coefficient});
        require(s, problems, "the autoresizing mask", v);
    }

    void addGuideStructure(UILayoutGuide& g, std::vector<std::string>* problems) {
        if (!g.isSafeAreaGuide()) return;
        auto owner = g.owningView();
        if (!owner || !boxes_.count(owner.get())) return;
        const Box& gb = guideBoxes_[&g];
        const Box& ob = boxes_[owner.get()];
        UIEdgeInsets in = owner->safeAreaInsets();
        require({{{gb.left, 1}, {ob.left, -1}}, -in.left}, problems, "the safe area", *owner);
        require({{{gb.top, 1}, {ob.top, -1}}, -in.top}, problems, "the safe area", *owner);
        require({{{gb.width, 1}, {ob.width, -1}}, in.left + in.right}, problems, "the safe area", *owner);
        require({{{gb.height, 1}, {ob.height, -1}}, in.top + in.bottom}, problems, "the safe area", *owner);
    }

    const Box* boxFor(const std::shared_ptr<NSObject>& item) const {
        if (auto v = std::dynamic_pointer_cast<UIView>(item)) {
            auto it = boxes_.find(v.get());
            return it == boxes_.end() ? nullptr : &it->second;
        }
        if (auto g = std::dynamic_pointer_cast<UILayoutGuide>(item)) {
            auto it = guideBoxes_.find(g.get());
            return it == guideBoxes_.end() ? nullptr : &it->second;
        }
        return nullptr;
    }

    static bool attributeTerms(const Box& b, NSLayoutAttribute a, double k, std::vector<Term>& out) {
        switch (a) {
            case NSLayoutAttribute::Left:
            case NSLayoutAttribute::Leading: out.push_back({b.left, k}); return true;
            case NSLayoutAttribute::Right:
            case NSLayoutAttribute::Trailing:
                out.push_back({b.left, k});
                out.push_back({b.width, k});
                return true;
            case NSLayoutAttribute::Top: out.push_back({b.top, k}); return true;
            case NSLayoutAttribute::Bottom:
                out.push_back({b.top, k});
                out.push_back({b.height, k});
                return true;
            case NSLayoutAttribute::Width: out.push_back({b.width, k}); return true;
            case NSLayoutAttribute::Height: out.push_back({b.height, k}); return true;
            case NSLayoutAttribute::CenterX:
                out.push_back({b.left, k});
                out.push_back({b.width, k / 2});
                return true;
            case NSLayoutAttribute::CenterY:
                out.push_back({b.top, k});
                out.push_back({b.height, k / 2});
                return true;
            case NSLayoutAttribute::NotAnAttribute: return false;
        }
        return false;
    }

    void addUser(const NSLayoutConstraint& c, std::vector<std::string>* problems) {
        const Box* b1 = boxFor(c.firstItem());
        if (!b1) return;
        Expression e;
        if (!attributeTerms(*b1, c.firstAttribute(), 1, e.terms)) return;
        e.constant = -c.constant();
        auto item2 = c.secondItem();
        if (item2 && c.secondAttribute() != NSLayoutAttribute::NotAnAttribute) {
            const Box* b2 = boxFor(item2);
            if (!b2) return;
            attributeTerms(*b2, c.secondAttribute(), -c.multiplier(), e.terms);
        }
        Relation rel = c.relation() == NSLayoutRelation::Equal             ? Relation::Equal
                       : c.relation() == NSLayoutRelation::LessThanOrEqual ? Relation::LessOrEqual
                                                                           : Relation::GreaterOrEqual;
        if (!solver_.addConstraint({e.terms, e.constant, rel, strengthFor(c.priority())}) && problems) {
            std::string msg = "Unable to simultaneously satisfy constraints; breaking ";
            msg += c.description();
            msg += " between";
            for (const auto& v : c.views()) {
                msg += ' ';
                msg += v->description();
            }
            Log::warning("layout", msg);
            problems->push_back(msg);
        }
    }

    void addIntrinsic(UIView& v) {
        if (&v == &root_ && v.translatesAutoresizingMaskIntoConstraints()) return;
        if (v.translatesAutoresizingMaskIntoConstraints()) return;
        CGSize s = v.intrinsicContentSize();
        const Box& b = boxes_[&v];
        auto side = [&](Solver::Variable var, CGFloat value, UILayoutConstraintAxis ax) {
            if (value < 0) return;
            solver_.addConstraint(
                {{{var, 1}}, -value, Relation::LessOrEqual, strengthFor(v.contentHuggingPriorityForAxis(ax))});
            solver_.addConstraint({{{var, 1}},
                                   -value,
                                   Relation::GreaterOrEqual,
                                   strengthFor(v.contentCompressionResistancePriorityForAxis(ax))});
        };
        side(b.width, s.width, UILayoutConstraintAxis::Horizontal);
        side(b.height, s.height, UILayoutConstraintAxis::Vertical);
    }

    UIView& root_;
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints_;
    const std::vector<UIView*>& views_;
    const std::vector<UILayoutGuide*>& guides_;
    Solver solver_;
    std::map<const UIView*, Box> boxes_;
    std::map<const UILayoutGuide*, Box> guideBoxes_;
    std::map<const UIView*, CGRect> currentCache_;
};

void collect(UIView& v, std::vector<std::shared_ptr<NSLayoutConstraint>>& out) {
    for (const auto& c : v.constraints()) out.push_back(c);
    for (const auto& s : v.subviews()) collect(*s, out);
}

}  // namespace

namespace {
bool applyingFrames = false;
}

bool LayoutEngine::isApplying() {
    return applyingFrames;
}
LayoutEngine::ApplyingScope::ApplyingScope() : previous(applyingFrames) {
    applyingFrames = true;
}
LayoutEngine::ApplyingScope::~ApplyingScope() {
    applyingFrames = previous;
}

void LayoutEngine::solveIfNeeded() {
    if (!dirty_) return;
    dirty_ = false;
    solve();
}

bool LayoutEngine::solvedFrame(const UIView& view, CGRect& frame) const {
    auto it = frames_.find(&view);
    if (it == frames_.end()) return false;
    frame = it->second;
    return true;
}

void LayoutEngine::solve() {
    bool checkAmbiguity = structural_;
    structural_ = false;
    frames_.clear();
    problems_.clear();
    members_.clear();
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints;
    collect(root_, constraints);
    if (constraints.empty()) return;

    // The views the constraints mention, their ancestors up to the root, and the guides involved.
    std::set<UIView*> viewSet;
    std::set<UILayoutGuide*> guideSet;
    auto addView = [&](UIView* v) {
        for (; v; v = v->superview().get())
            if (!viewSet.insert(v).second) break;
    };
    std::vector<std::shared_ptr<NSObject>> keepAlive;
    for (const auto& c : constraints) {
        for (auto item : {c->firstItem(), c->secondItem()}) {
            if (!item) continue;
            keepAlive.push_back(item);
            if (auto v = std::dynamic_pointer_cast<UIView>(item)) {
                if (v->rootView().get() == &root_) addView(v.get());
            } else if (auto g = std::dynamic_pointer_cast<UILayoutGuide>(item)) {
                auto owner = g->owningView();
                if (owner && owner->rootView().get() == &root_) {
                    guideSet.insert(g.get());
                    addView(owner.get());
                }
            }
        }
    }
    viewSet.insert(&root_);
    // Parents before children, so that current frames resolve top-down.
    std::vector<UIView*> views(viewSet.begin(), viewSet.end());
    auto depth = [](UIView* v) {
        int d = 0;
        for (auto p = v->superview(); p; p = p->superview()) ++d;
        return d;
    };
    std::stable_sort(views.begin(), views.end(), [&](UIView* a, UIView* b) { return depth(a) < depth(b); });
    std::vector<UILayoutGuide*> guides(guideSet.begin(), guideSet.end());
    members_.insert(views.begin(), views.end());

    System system(root_, constraints, views, guides);
    system.build(0, &problems_);
    bool anyFree = false;
    for (UIView* v : views) {
        if (v == &root_ && v->translatesAutoresizingMaskIntoConstraints()) continue;
        if (v->translatesAutoresizingMaskIntoConstraints()) continue;
        anyFree = true;
        CGRect r = system.solvedRootRect(*v);
        if (v == &root_) {
            frames_[v] = {untransformedFrame(*v).origin, r.size};
            continue;
        }
        auto parent = v->superview();
        CGRect pr = system.solvedRootRect(*parent);
        CGPoint po = parent->bounds().origin;
        frames_[v] = {{r.origin.x - pr.origin.x + po.x, r.origin.y - pr.origin.y + po.y}, r.size};
    }
    for (UILayoutGuide* g : guides) {
        auto owner = g->owningView();
        CGRect gr = system.solvedGuideRect(*g), orc = system.solvedRootRect(*owner);
        CGPoint oo = owner->bounds().origin;
        g->solvedFrame_ = {{gr.origin.x - orc.origin.x + oo.x, gr.origin.y - orc.origin.y + oo.y}, gr.size};
    }
    if (!anyFree || !checkAmbiguity) return;

    // Ambiguity: solve again with the free variables pulled elsewhere; whatever moves is not
    // fixed by the constraints.
    System shifted(root_, constraints, views, guides);
    shifted.build(97.25, nullptr);
    for (UIView* v : views) {
        if (v->translatesAutoresizingMaskIntoConstraints()) continue;
        CGRect a = system.solvedRootRect(*v), b = shifted.solvedRootRect(*v);
        if (std::abs(a.origin.x - b.origin.x) > 0.5 || std::abs(a.origin.y - b.origin.y) > 0.5 ||
            std::abs(a.size.width - b.size.width) > 0.5 || std::abs(a.size.height - b.size.height) > 0.5) {
            std::string msg = "Ambiguous layout: the constraints do not fix the frame of ";
            msg += v->description();
            Log::warning("layout", msg);
            problems_.push_back(msg);
        }
    }
}

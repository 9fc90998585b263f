// The layout engine of one view tree: turns the active constraints of the tree (with the
// autoresizing masks, intrinsic sizes and safe areas they involve) into frames.
//
// The engine rebuilds its solver when anything changed and solves the whole tree at once. An
// unsatisfiable required constraint is reported in the log with the views involved and left out;
// an ambiguous layout (a view whose frame the constraints do not fix) is reported too, and such a
// view keeps its current frame where the constraints leave it free.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/runtime/geometry.h"

class UIView;
class UILayoutGuide;
class NSLayoutConstraint;

class LayoutEngine {
public:
    explicit LayoutEngine(UIView& root) : root_(root) {}

    // A structural change (constraints or views added or removed) also asks for the ambiguity
    // check; a changed constant only for a new solve.
    void setNeedsSolve(bool structural = true) {
        dirty_ = true;
        structural_ = structural_ || structural;
    }
    bool needsSolve() const { return dirty_; }
    // Solves if anything changed since the last solve.
    void solveIfNeeded();

    // Whether the last solve depended on the view's frame (views the constraints mention and their
    // ancestors); moving any other view cannot change the solution.
    bool involves(const UIView* view) const { return members_.count(view) != 0; }

    // The frame (in its superview's bounds space) the constraints give a view that does not
    // translate its autoresizing mask; false when the engine has no frame for it.
    bool solvedFrame(const UIView& view, CGRect& frame) const;

    // True while solved frames are being applied: those changes do not make the engine dirty.
    static bool isApplying();
    struct ApplyingScope {
        ApplyingScope();
        ~ApplyingScope();
        bool previous;
    };

    // What the last solve reported, for tests.
    const std::vector<std::string>& lastProblems() const { return problems_; }

private:
    void solve();

    UIView& root_;
    bool dirty_ = true;
    bool structural_ = true;
    std::map<const UIView*, CGRect> frames_;
    std::unordered_set<const UIView*> members_;
    std::vector<std::string> problems_;
};

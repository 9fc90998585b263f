// A rectangle that takes part in layout without being a view: the safe-area guide of a view, or a
// free guide a view owns and constrains like a view.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIView;

class UILayoutGuide : public NSObject {
public:
    KORVA_MAKE(UILayoutGuide)

    std::shared_ptr<UIView> owningView() const { return owningView_.lock(); }
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string id) { identifier_ = std::move(id); }
    bool isSafeAreaGuide() const { return safeArea_; }

    // In the owning view's coordinates: the safe area follows the view's bounds and insets; a free
    // guide has the frame the last layout gave it.
    CGRect layoutFrame() const;

    std::string className() const override { return "UILayoutGuide"; }

protected:
    UILayoutGuide() = default;

private:
    friend class UIView;
    friend class LayoutEngine;
    std::weak_ptr<UIView> owningView_;
    std::string identifier_;
    bool safeArea_ = false;
    CGRect solvedFrame_;
};

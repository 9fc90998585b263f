// A stack view: it sizes and places its arranged subviews itself, one after the other along its
// axis. Each visible arranged view gets an equal share of the stack's length less the spacing
// between them and the stack's whole breadth; hidden ones take no room. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/view/ui_view.h"

// How the length is shared out; equal shares are the one arrangement there is.
enum class UIStackViewDistribution { FillEqually = 1 };
// How the breadth is used; the arranged views fill it.
enum class UIStackViewAlignment { Fill = 0 };

class UIStackView : public UIView {
public:
    KORVA_MAKE(UIStackView)

    UILayoutConstraintAxis axis() const { return axis_; }
    void setAxis(UILayoutConstraintAxis axis);
    UIStackViewDistribution distribution() const { return distribution_; }
    void setDistribution(UIStackViewDistribution distribution);
    UIStackViewAlignment alignment() const { return alignment_; }
    void setAlignment(UIStackViewAlignment alignment);
    CGFloat spacing() const { return spacing_; }
    // Negative or non-finite spacing is taken as 0.
    void setSpacing(CGFloat spacing);

    const std::vector<std::shared_ptr<UIView>>& arrangedSubviews() const { return arranged_; }
    // Appends the view to the arranged views and, at the end, to the subviews; a view already
    // arranged moves to the end.
    void addArrangedSubview(const std::shared_ptr<UIView>& view);

    void layoutSubviews() override;
    void willRemoveSubview(const std::shared_ptr<UIView>& subview) override;

    std::string className() const override { return "UIStackView"; }

protected:
    using UIView::UIView;

private:
    UILayoutConstraintAxis axis_ = UILayoutConstraintAxis::Horizontal;
    UIStackViewDistribution distribution_ = UIStackViewDistribution::FillEqually;
    UIStackViewAlignment alignment_ = UIStackViewAlignment::Fill;
    CGFloat spacing_ = 0;
    std::vector<std::shared_ptr<UIView>> arranged_;
};

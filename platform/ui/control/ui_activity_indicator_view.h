// A spinning wheel of spokes that shows the application is busy; hidden while stopped by default.
#pragma once

#include "platform/ui/view/ui_view.h"

enum class UIActivityIndicatorViewStyle { WhiteLarge = 0, White = 1, Gray = 2, Medium = 100, Large = 101 };

class UIActivityIndicatorView : public UIView {
public:
    KORVA_MAKE(UIActivityIndicatorView)
    static std::shared_ptr<UIActivityIndicatorView> withStyle(UIActivityIndicatorViewStyle style);
    void init() override;

    UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
    void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle s);
    std::shared_ptr<UIColor> color() const { return color_; }
    void setColor(std::shared_ptr<UIColor> c);
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool h);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }

    // The layer that turns.
    const std::shared_ptr<CALayer>& spinnerLayer() const { return spinner_; }

    void layoutSubviews() override;
    CGSize intrinsicContentSize() const override;
    CGSize sizeThatFits(CGSize) const override { return intrinsicContentSize(); }
    std::string className() const override { return "UIActivityIndicatorView"; }

protected:
    explicit UIActivityIndicatorView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void rebuild();
    bool large() const;
    UIActivityIndicatorViewStyle style_ = UIActivityIndicatorViewStyle::White;
    std::shared_ptr<UIColor> color_;
    bool hidesWhenStopped_ = true;
    bool animating_ = false;
    std::shared_ptr<CALayer> spinner_;
};

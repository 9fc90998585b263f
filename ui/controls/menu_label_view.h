// A horizontally scrolling row of rounded text buttons with one selection, which scrolls the
// selected button to the middle. Main-thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/gradient_lr_view.h"

class MenuLabelView;
class UIButton;
class UIFont;

class MenuLabelViewDelegate {
public:
    virtual ~MenuLabelViewDelegate() = default;
    virtual std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) = 0;
    virtual void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) = 0;
};

class MenuLabelView : public GradientLRView {
public:
    KORVA_MAKE(MenuLabelView)
    using Completion = std::function<void()>;
    static constexpr CGFloat kRowHeight = 40;
    static constexpr CGFloat kStart = 10;
    static constexpr CGFloat kTextPadding = 20;
    static constexpr CGFloat kGap = 10;
    static constexpr double kScrollDuration = 0.3;

    void init() override;

    // Rebuilds the buttons from the delegate's strings; the width the whole row needs.
    double updateData();
    void updateView();
    void setSelection(long index, Completion completion);
    void resetSelection();
    void updateSelection(Completion completion);
    void onLabel(UIButton& sender);
    void flash();
    void scrollReset();

    long lastSelection() const { return lastSelection_; }
    const std::vector<std::shared_ptr<UIButton>>& buttons() const { return buttons_; }
    void setDelegate(const std::shared_ptr<MenuLabelViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIFont>& font() const { return font_; }

    std::string className() const override { return "MenuLabelView"; }

protected:
    MenuLabelView(std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> colorSelected,
                  std::shared_ptr<UIColor> colorUnselected, std::shared_ptr<UIColor> bgColor);

private:
    void colour(UIButton& button, bool selected) const;

    std::weak_ptr<MenuLabelViewDelegate> delegate_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> colorSelected_, colorUnselected_, bgColor_;
    std::vector<std::shared_ptr<UIButton>> buttons_;
    long lastSelection_ = -1;
};

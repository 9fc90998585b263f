// The toolbar: a row of bar button items; flexible spaces share the room left over.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/bar/bar_item_view.h"
#include "platform/ui/view/ui_view.h"

enum class UIBarStyle { Default = 0, Black = 1 };

class UIToolbar : public UIView {
public:
    KORVA_MAKE(UIToolbar)
    void init() override;
    static constexpr CGFloat kHeight = 44;
    // The opacity of a translucent bar's own background.
    static constexpr CGFloat kTranslucentAlpha = 0.94;

    const std::vector<std::shared_ptr<UIBarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool animated = false);
    const std::vector<std::shared_ptr<BarItemView>>& itemViews() const { return views_; }
    std::shared_ptr<UIColor> barTintColor() const { return barTint_; }
    void setBarTintColor(std::shared_ptr<UIColor> c) {
        barTint_ = std::move(c);
        setNeedsDisplay();
    }
    // Black draws a dark bar (a bar tint still wins) and light item titles.
    UIBarStyle barStyle() const { return barStyle_; }
    void setBarStyle(UIBarStyle style);
    // A translucent bar (the default) lets a little of what is behind it through its own
    // background; an opaque one does not. A bar tint is drawn as given either way.
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool t) {
        translucent_ = t;
        setNeedsDisplay();
    }

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UIToolbar"; }

protected:
    explicit UIToolbar(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::vector<std::shared_ptr<UIBarButtonItem>> items_;
    std::vector<std::shared_ptr<BarItemView>> views_;
    std::shared_ptr<UIColor> barTint_;
    UIBarStyle barStyle_ = UIBarStyle::Default;
    bool translucent_ = true;
};

// The navigation bar: a stack of navigation items; shows the top one's title (or title view),
// its left and right items, and a back item for the one below.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/bar/bar_item_view.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/text/ui_font.h"
#include "platform/ui/view/ui_view.h"

// The look every bar made afterwards starts with (set once by the application).
struct UINavigationBarAppearance {
    std::shared_ptr<UIColor> backgroundColor;
    bool opaque = false;
    std::shared_ptr<UIColor> titleColor;
    std::shared_ptr<UIFont> titleFont;

    // The platform's opaque look: the system background colour without translucency, the
    // default title.
    void configureWithOpaqueBackground();
};

class UINavigationBarDelegate {
public:
    virtual ~UINavigationBarDelegate() = default;
    virtual bool shouldPopItem(const std::shared_ptr<UINavigationItem>&) { return true; }
    virtual void didPopItem(const std::shared_ptr<UINavigationItem>&) {}
};

class UINavigationBar : public UIView {
public:
    KORVA_MAKE(UINavigationBar)
    void init() override;
    static constexpr CGFloat kHeight = 44;

    const std::vector<std::shared_ptr<UINavigationItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<UINavigationItem>> items, bool animated = false);
    void pushNavigationItem(const std::shared_ptr<UINavigationItem>& item, bool animated = false);
    // The top item, or none when only one (or none) is left.
    std::shared_ptr<UINavigationItem> popNavigationItem(bool animated = false);
    std::shared_ptr<UINavigationItem> topItem() const { return items_.empty() ? nullptr : items_.back(); }
    std::shared_ptr<UINavigationItem> backItem() const {
        return items_.size() < 2 ? nullptr : items_[items_.size() - 2];
    }

    std::shared_ptr<UINavigationBarDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UINavigationBarDelegate>& d) { delegate_ = d; }
    // The back item was tapped (a navigation controller pops its top controller).
    void setOnBack(std::function<void()> f) { onBack_ = std::move(f); }

    std::shared_ptr<UIColor> barTintColor() const { return barTint_; }
    void setBarTintColor(std::shared_ptr<UIColor> c) {
        barTint_ = std::move(c);
        setNeedsDisplay();
    }
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool t) {
        translucent_ = t;
        setNeedsDisplay();
    }
    const UINavigationBarAppearance& standardAppearance() const { return appearance_; }
    void setStandardAppearance(const UINavigationBarAppearance& a) {
        appearance_ = a;
        setNeedsDisplay();
    }
    static UINavigationBarAppearance defaultAppearance();
    static void setDefaultAppearance(const UINavigationBarAppearance& a);

    // The item views now on the bar, left to right (back item first when shown).
    const std::vector<std::shared_ptr<BarItemView>>& itemViews() const { return itemViews_; }
    std::shared_ptr<BarItemView> backItemView() const { return backView_; }
    // Taps the back item: asks the delegate, then pops.
    bool tapBack();

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UINavigationBar"; }

protected:
    explicit UINavigationBar(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void rebuild();

    std::vector<std::shared_ptr<UINavigationItem>> items_;
    std::weak_ptr<UINavigationBarDelegate> delegate_;
    std::function<void()> onBack_;
    std::shared_ptr<UIColor> barTint_;
    bool translucent_ = true;
    UINavigationBarAppearance appearance_;
    std::vector<std::shared_ptr<BarItemView>> itemViews_;
    std::vector<std::shared_ptr<BarItemView>> rightViews_;
    std::shared_ptr<BarItemView> backView_;
    std::shared_ptr<UIView> titleView_;
    // The thin line along the bottom edge: an image view of its own, so that it can be hidden.
    std::shared_ptr<UIImageView> hairline_;
};

// The tab bar: equal-width tabs, one of them selected; a tap selects and tells the delegate.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/bar/ui_tab_bar_item.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class UITabBar;

class UITabBarDelegate {
public:
    virtual ~UITabBarDelegate() = default;
    virtual void didSelectItem(UITabBar& /*bar*/, const std::shared_ptr<UITabBarItem>& /*item*/) {}
};

class UITabBar : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(UITabBar)
    void init() override;
    static constexpr CGFloat kHeight = 49;

    const std::vector<std::shared_ptr<UITabBarItem>>& items() const { return items_; }
    // The selection is kept when its item stays; otherwise nothing is selected.
    void setItems(std::vector<std::shared_ptr<UITabBarItem>> items, bool animated = false);
    std::shared_ptr<UITabBarItem> selectedItem() const { return selected_; }
    // Selects without telling the delegate; an item not on the bar clears the selection.
    void setSelectedItem(const std::shared_ptr<UITabBarItem>& item);
    std::shared_ptr<UITabBarDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UITabBarDelegate>& d) { delegate_ = d; }
    std::shared_ptr<UIColor> barTintColor() const { return barTint_; }
    void setBarTintColor(std::shared_ptr<UIColor> c) {
        barTint_ = std::move(c);
        setNeedsDisplay();
    }
    std::shared_ptr<UIColor> unselectedItemTintColor() const { return unselectedTint_; }
    void setUnselectedItemTintColor(std::shared_ptr<UIColor> c) {
        unselectedTint_ = std::move(c);
        setNeedsDisplay();
    }

    // A tap on tab `index`: selects an enabled item and tells the delegate. False otherwise.
    bool tapItemAtIndex(std::size_t index);
    // The tab under a point in the bar's coordinates, or -1.
    long indexOfItemAtPoint(CGPoint p) const;

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UITabBar"; }

protected:
    explicit UITabBar(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::vector<std::shared_ptr<UITabBarItem>> items_;
    std::shared_ptr<UITabBarItem> selected_;
    std::weak_ptr<UITabBarDelegate> delegate_;
    std::shared_ptr<UIColor> barTint_;
    std::shared_ptr<UIColor> unselectedTint_;
};

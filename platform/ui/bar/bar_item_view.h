// The view that shows one bar button item on a navigation bar or toolbar: the custom view when
// the item has one, else its image or title in the tint colour. A tap runs the item's action.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class BarItemView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(BarItemView)
    void init() override;

    const std::shared_ptr<UIBarButtonItem>& item() const { return item_; }
    // The width the item takes on a bar (spaces: their set width, flexible spaces 0).
    CGFloat preferredWidth() const;
    // A tap: runs the item's action, or `fallback` for an item made by the bar (the back item).
    bool tap();
    void setFallback(std::function<void()> f) { fallback_ = std::move(f); }
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "BarItemView"; }

protected:
    explicit BarItemView(std::shared_ptr<UIBarButtonItem> item, bool isBack = false)
        : item_(std::move(item)), back_(isBack) {}

private:
    std::shared_ptr<UIColor> effectiveTint() const;

    std::shared_ptr<UIBarButtonItem> item_;
    bool back_;
    std::function<void()> fallback_;
};

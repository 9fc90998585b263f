// What a navigation bar shows for one controller: title or title view, back item, left and
// right items, prompt.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/bar/ui_bar_button_item.h"

class UIView;

class UINavigationItem : public NSObject {
public:
    KORVA_MAKE(UINavigationItem)

    const std::string& title() const { return title_; }
    void setTitle(std::string t) {
        title_ = std::move(t);
        changed();
    }
    std::shared_ptr<UIView> titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<UIView> v) {
        titleView_ = std::move(v);
        changed();
    }
    const std::string& prompt() const { return prompt_; }
    void setPrompt(std::string p) {
        prompt_ = std::move(p);
        changed();
    }

    // The item shown on the bar when the next controller is pushed (none: a "Back"-style item
    // with this item's title).
    std::shared_ptr<UIBarButtonItem> backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(std::shared_ptr<UIBarButtonItem> b) {
        back_ = std::move(b);
        changed();
    }
    bool hidesBackButton() const { return hidesBack_; }
    void setHidesBackButton(bool h) {
        hidesBack_ = h;
        changed();
    }

    const std::vector<std::shared_ptr<UIBarButtonItem>>& leftBarButtonItems() const { return left_; }
    void setLeftBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items) {
        left_ = clean(items);
        changed();
    }
    std::shared_ptr<UIBarButtonItem> leftBarButtonItem() const { return left_.empty() ? nullptr : left_.front(); }
    void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> item) { setLeftBarButtonItems(one(item)); }
    const std::vector<std::shared_ptr<UIBarButtonItem>>& rightBarButtonItems() const { return right_; }
    void setRightBarButtonItems(std::vector<std::shared_ptr<UIBarButtonItem>> items) {
        right_ = clean(items);
        changed();
    }
    std::shared_ptr<UIBarButtonItem> rightBarButtonItem() const { return right_.empty() ? nullptr : right_.front(); }
    void setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> item) { setRightBarButtonItems(one(item)); }

    // The bar showing this item redraws when it changes.
    void setOnChange(std::function<void()> f) { onChange_ = std::move(f); }

    std::string className() const override { return "UINavigationItem"; }

protected:
    explicit UINavigationItem(std::string title = {}) : title_(std::move(title)) {}

private:
    static std::vector<std::shared_ptr<UIBarButtonItem>> one(const std::shared_ptr<UIBarButtonItem>& i) {
        return i ? std::vector<std::shared_ptr<UIBarButtonItem>>{i} : std::vector<std::shared_ptr<UIBarButtonItem>>{};
    }
    static std::vector<std::shared_ptr<UIBarButtonItem>> clean(std::vector<std::shared_ptr<UIBarButtonItem>>& items);
    void changed() {
        if (onChange_) onChange_();
    }

    std::string title_;
    std::shared_ptr<UIView> titleView_;
    std::string prompt_;
    std::shared_ptr<UIBarButtonItem> back_;
    bool hidesBack_ = false;
    std::vector<std::shared_ptr<UIBarButtonItem>> left_;
    std::vector<std::shared_ptr<UIBarButtonItem>> right_;
    std::function<void()> onChange_;
};

// The search bar: a rounded search field with a placeholder, an optional Cancel button, and a
// delegate told of edits, the search key and Cancel. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/input/ui_text_field.h"

class UISearchBar;

class UISearchBarDelegate {
public:
    virtual ~UISearchBarDelegate() = default;
    virtual bool searchBarShouldBeginEditing(UISearchBar&) { return true; }
    virtual void searchBarTextDidBeginEditing(UISearchBar&) {}
    virtual bool searchBarShouldEndEditing(UISearchBar&) { return true; }
    virtual void searchBarTextDidEndEditing(UISearchBar&) {}
    virtual void textDidChange(UISearchBar&, const std::string& /*text*/) {}
    virtual bool shouldChangeTextInRange(UISearchBar&, NSRange, const std::string&) { return true; }
    virtual void searchBarSearchButtonClicked(UISearchBar&) {}
    virtual void searchBarCancelButtonClicked(UISearchBar&) {}
};

enum class UISearchBarStyle { Default = 0, Prominent = 1, Minimal = 2 };

class UISearchBar : public UIView {
public:
    KORVA_MAKE(UISearchBar)
    void init() override;
    static constexpr CGFloat kHeight = 56;

    const std::string& text() const { return field_->text(); }
    // Programmatic: the delegate is not told.
    void setText(std::string t) { field_->setText(std::move(t)); }
    const std::string& placeholder() const { return field_->placeholder(); }
    void setPlaceholder(std::string p) { field_->setPlaceholder(std::move(p)); }
    bool showsCancelButton() const { return showsCancel_; }
    void setShowsCancelButton(bool s, bool animated = false);
    UISearchBarStyle searchBarStyle() const { return style_; }
    void setSearchBarStyle(UISearchBarStyle s) {
        style_ = s;
        setNeedsDisplay();
    }
    std::shared_ptr<UIColor> barTintColor() const { return barTint_; }
    void setBarTintColor(std::shared_ptr<UIColor> c) {
        barTint_ = std::move(c);
        setNeedsDisplay();
    }
    const std::shared_ptr<UITextField>& searchTextField() const { return field_; }
    const std::shared_ptr<UIButton>& cancelButton() const { return cancel_; }

    std::shared_ptr<UISearchBarDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UISearchBarDelegate>& d) { delegate_ = d; }

    bool becomeFirstResponder() { return field_->becomeFirstResponder(); }
    bool resignFirstResponder() { return field_->resignFirstResponder(false); }
    // The Cancel button's tap.
    void tapCancel();

    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UISearchBar"; }

protected:
    explicit UISearchBar(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    class FieldRelay;
    std::shared_ptr<UITextField> field_;
    std::shared_ptr<UIButton> cancel_;
    std::shared_ptr<FieldRelay> relay_;
    std::weak_ptr<UISearchBarDelegate> delegate_;
    bool showsCancel_ = false;
    UISearchBarStyle style_ = UISearchBarStyle::Default;
    std::shared_ptr<UIColor> barTint_;
};

// Search bar: the field's events turned into the search bar delegate's vocabulary.
#include "platform/ui/input/ui_search_bar.h"

#include "platform/ui/draw/graphics.h"

class UISearchBar::FieldRelay : public UITextFieldDelegate {
public:
    std::weak_ptr<UISearchBar> bar;
    template <class F>
    bool ask(F f, bool otherwise) {
        auto b = bar.lock();
        auto d = b ? b->delegate() : nullptr;
        return d ? f(*d, *b) : otherwise;
    }
    bool textFieldShouldBeginEditing(UITextField&) override {
        return ask([](UISearchBarDelegate& d, UISearchBar& b) { return d.searchBarShouldBeginEditing(b); }, true);
    }
    void textFieldDidBeginEditing(UITextField&) override {
        ask(
            [](UISearchBarDelegate& d, UISearchBar& b) {
                d.searchBarTextDidBeginEditing(b);
                return true;
            },
            true);
    }
    bool textFieldShouldEndEditing(UITextField&) override {
        return ask([](UISearchBarDelegate& d, UISearchBar& b) { return d.searchBarShouldEndEditing(b); }, true);
    }
    void textFieldDidEndEditing(UITextField&) override {
        ask(
            [](UISearchBarDelegate& d, UISearchBar& b) {
                d.searchBarTextDidEndEditing(b);
                return true;
            },
            true);
    }
    bool shouldChangeCharactersInRange(UITextField&, NSRange r, const std::string& s) override {
        return ask([&](UISearchBarDelegate& d, UISearchBar& b) { return d.shouldChangeTextInRange(b, r, s); }, true);
    }
    bool textFieldShouldReturn(UITextField&) override {
        ask(
            [](UISearchBarDelegate& d, UISearchBar& b) {
                d.searchBarSearchButtonClicked(b);
                return true;
            },
            true);
        return false;
    }
};

void UISearchBar::init() {
    UIView::init();
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
    setOpaque(false);
    field_ = UITextField::make(CGRectZero);
    field_->setBorderStyle(UITextBorderStyle::RoundedRect);
    field_->setPlaceholder("Search");
    field_->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    field_->setReturnKeyType(UIReturnKeyType::Search);
    relay_ = std::make_shared<FieldRelay>();
    relay_->bar = self<UISearchBar>();
    field_->setDelegate(relay_);
    std::weak_ptr<UISearchBar> weak = self<UISearchBar>();
    field_->addAction(
        [weak](UIControl&) {
            auto b = weak.lock();
            if (!b) return;
            if (auto d = b->delegate()) d->textDidChange(*b, b->text());
        },
        UIControlEventEditingChanged);
    addSubview(field_);
    cancel_ = UIButton::buttonWithType(UIButtonType::System);
    cancel_->setTitle(std::string("Cancel"), UIControlStateNormal);
    cancel_->addAction(
        [weak](UIControl&) {
            if (auto b = weak.lock()) b->tapCancel();
        },
        UIControlEventTouchUpInside);
    cancel_->setHidden(true);
    addSubview(cancel_);
}

void UISearchBar::setShowsCancelButton(bool s, bool) {
    showsCancel_ = s;
    cancel_->setHidden(!s);
    setNeedsLayout();
}

void UISearchBar::tapCancel() {
    if (auto d = delegate()) d->searchBarCancelButtonClicked(*this);
}

void UISearchBar::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGFloat right = b.size.width - 8;
    if (showsCancel_) {
        cancel_->setFrame(CGRectMake(right - 60, (b.size.height - 36) / 2, 60, 36));
        right -= 68;
    }
    field_->setFrame(CGRectMake(8, (b.size.height - 36) / 2, std::max<CGFloat>(0, right - 8), 36));
}

void UISearchBar::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || style_ == UISearchBarStyle::Minimal) return;
    ctx->setFillColorWithColor((barTint_ ? barTint_ : UIColor::colorWithWhite(0.79, 1))->cgColor());
    UIRectFill(bounds());
}

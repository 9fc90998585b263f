// Button state tables, content layout and sizing.
#include "platform/ui/control/ui_button.h"

#include <algorithm>
#include <cmath>

UIButton::UIButton(CGRect frame) : UIControl(frame) {}

namespace {
constexpr CGFloat kHighlightedSystemAlpha = 0.2f;
constexpr CGFloat kSystemMinimumHeight = 30;
}  // namespace

std::shared_ptr<UIButton> UIButton::buttonWithType(UIButtonType type) {
    auto b = UIButton::make();
    b->setButtonType(type);
    if (type == UIButtonType::System) b->titleLabel_->setFont(UIFont::systemFontOfSize(15));
    return b;
}

void UIButton::setButtonType(UIButtonType type) {
    type_ = type;
    refresh();
}

void UIButton::init() {
    UIControl::init();
    backgroundView_ = UIImageView::make();
    imageView_ = UIImageView::make();
    titleLabel_ = UILabel::make();
    titleLabel_->setFont(UIFont::systemFontOfSize(18));
    titleLabel_->setTextAlignment(NSTextAlignment::Center);
    imageView_->setContentMode(UIViewContentMode::Center);
    addSubview(backgroundView_);
    addSubview(imageView_);
    addSubview(titleLabel_);
    refresh();
}

template <class T>
T UIButton::pick(const std::map<UIControlState, T>& table, UIControlState state) {
    auto found = [&](UIControlState s) -> const T* {
        auto it = table.find(s);
        return it == table.end() ? nullptr : &it->second;
    };
    if (auto v = found(state)) return *v;
    // A selected control that is also highlighted falls back on its selected look.
    if ((state & UIControlStateSelected) && state != UIControlStateSelected)
        if (auto v = found(UIControlStateSelected)) return *v;
    if (auto v = found(UIControlStateNormal)) return *v;
    return T{};
}

void UIButton::setTitle(std::optional<std::string> title, UIControlState state) {
    titles_[state] = std::move(title);
    refresh();
}
std::optional<std::string> UIButton::titleForState(UIControlState state) const {
    return pick(titles_, state);
}

void UIButton::setAttributedTitle(std::shared_ptr<NSAttributedString> title, UIControlState state) {
    attributedTitles_[state] = std::move(title);
    refresh();
}
std::shared_ptr<NSAttributedString> UIButton::attributedTitleForState(UIControlState state) const {
    return pick(attributedTitles_, state);
}

void UIButton::setTitleColor(std::shared_ptr<UIColor> color, UIControlState state) {
    titleColors_[state] = std::move(color);
    refresh();
}

std::shared_ptr<UIColor> UIButton::titleColorForState(UIControlState state) const {
    if (auto c = pick(titleColors_, state)) return c;
    if (type_ == UIButtonType::Custom) return UIColor::whiteColor();
    if (state & UIControlStateDisabled) return UIColor::systemGrayColor();
    return tintColor();
}

void UIButton::setTitleShadowColor(std::shared_ptr<UIColor> color, UIControlState state) {
    titleShadowColors_[state] = std::move(color);
    refresh();
}

std::shared_ptr<UIColor> UIButton::titleShadowColorForState(UIControlState state) const {
    return pick(titleShadowColors_, state);
}

void UIButton::setImage(std::shared_ptr<UIImage> image, UIControlState state) {
    images_[state] = std::move(image);
    refresh();
}
std::shared_ptr<UIImage> UIButton::imageForState(UIControlState state) const {
    return pick(images_, state);
}

void UIButton::setBackgroundImage(std::shared_ptr<UIImage> image, UIControlState state) {
    backgroundImages_[state] = std::move(image);
    refresh();
}
std::shared_ptr<UIImage> UIButton::backgroundImageForState(UIControlState state) const {
    return pick(backgroundImages_, state);
}

void UIButton::setContentEdgeInsets(UIEdgeInsets i) {
    contentInsets_ = i;
    refresh();
}
void UIButton::setTitleEdgeInsets(UIEdgeInsets i) {
    titleInsets_ = i;
    setNeedsLayout();
}
void UIButton::setImageEdgeInsets(UIEdgeInsets i) {
    imageInsets_ = i;
    setNeedsLayout();
}

void UIButton::stateDidChange() {
    UIControl::stateDidChange();
    refresh();
}

void UIButton::tintColorDidChange() {
    refresh();
}

void UIButton::refresh() {
    if (!titleLabel_) return;  // still initialising
    UIControlState s = state();
    if (auto attributed = attributedTitleForState(s)) {
        titleLabel_->setAttributedText(attributed);
    } else {
        titleLabel_->setText(titleForState(s));
        titleLabel_->setTextColor(titleColorForState(s));
    }
    titleLabel_->setShadowColor(titleShadowColorForState(s));
    titleLabel_->setHidden(!titleLabel_->text() || titleLabel_->text()->empty());
    bool dim = type_ != UIButtonType::Custom && (s & UIControlStateHighlighted);
    titleLabel_->setAlpha(dim ? kHighlightedSystemAlpha : 1);
    auto image = imageForState(s);
    imageView_->setImage(image);
    imageView_->setHidden(!image);
    imageView_->setAlpha(dim ? kHighlightedSystemAlpha : 1);
    auto background = backgroundImageForState(s);
    backgroundView_->setImage(background);
    backgroundView_->setHidden(!background);
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

CGSize UIButton::titleSize() const {
    if (titleLabel_->isHidden()) return {0, 0};
    return titleLabel_->sizeThatFits({0, 0});
}

CGSize UIButton::imageSize() const {
    auto image = imageView_->image();
    return image ? image->size() : CGSize{0, 0};
}

CGRect UIButton::contentRectForBounds(CGRect bounds) const {
    return UIEdgeInsetsInsetRect(bounds, contentInsets_);
}

std::pair<CGRect, CGRect> UIButton::placeContent(CGRect cr) const {
    CGSize is = imageSize();
    CGSize ts = titleSize();
    ts.width = std::min(ts.width, std::max<CGFloat>(cr.size.width - is.width, 0));
    CGFloat total = is.width + ts.width;
    CGFloat x = cr.origin.x;
    switch (contentHorizontalAlignment()) {
        case UIControlContentHorizontalAlignment::Center: x += (cr.size.width - total) / 2; break;
        case UIControlContentHorizontalAlignment::Right: x += cr.size.width - total; break;
        case UIControlContentHorizontalAlignment::Left: break;
        case UIControlContentHorizontalAlignment::Fill:
            ts.width = std::max<CGFloat>(cr.size.width - is.width, 0);
            break;
    }
    auto placeY = [&](CGFloat h) {
        switch (contentVerticalAlignment()) {
            case UIControlContentVerticalAlignment::Top: return std::pair{cr.origin.y, h};
            case UIControlContentVerticalAlignment::Bottom: return std::pair{cr.origin.y + cr.size.height - h, h};
            case UIControlContentVerticalAlignment::Fill: return std::pair{cr.origin.y, cr.size.height};
            default: return std::pair{cr.origin.y + (cr.size.height - h) / 2, h};
        }
    };
    auto [iy, ih] = placeY(is.height);
    auto [ty, th] = placeY(ts.height);
    CGRect image{{x, iy}, {is.width, ih}};
    CGRect title{{x + is.width, ty}, {ts.width, th}};
    return {UIEdgeInsetsInsetRect(image, imageInsets_), UIEdgeInsetsInsetRect(title, titleInsets_)};
}

CGRect UIButton::titleRectForContentRect(CGRect contentRect) const {
    return placeContent(contentRect).second;
}
CGRect UIButton::imageRectForContentRect(CGRect contentRect) const {
    return placeContent(contentRect).first;
}

void UIButton::layoutSubviews() {
    UIControl::layoutSubviews();
    backgroundView_->setFrame(bounds());
    auto [image, title] = placeContent(contentRectForBounds(bounds()));
    imageView_->setFrame(image);
    titleLabel_->setFrame(title);
}

CGSize UIButton::sizeThatFits(CGSize) const {
    CGSize is = imageSize();
    CGSize ts = titleSize();
    CGSize size{is.width + ts.width + contentInsets_.left + contentInsets_.right,
                std::max(is.height, ts.height) + contentInsets_.top + contentInsets_.bottom};
    if (auto bg = backgroundView_->image()) {
        size.width = std::max(size.width, bg->size().width);
        size.height = std::max(size.height, bg->size().height);
    }
    if (type_ != UIButtonType::Custom) size.height = std::max(size.height, kSystemMinimumHeight);
    return {std::ceil(size.width), std::ceil(size.height)};
}

CGSize UIButton::intrinsicContentSize() const {
    return sizeThatFits({0, 0});
}

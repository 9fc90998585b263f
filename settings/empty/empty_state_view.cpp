// The placeholder view: its pieces, their stacked layout and its touch rules.
#include "settings/empty/empty_state_view.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "platform/dispatch/queue.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/attributed_string.h"

namespace {
constexpr float kPaddingDivisor = 16;
constexpr int kStackPriority = 750;

bool hasText(const std::shared_ptr<UILabel>& label) {
    auto text = label ? label->attributedText() : nullptr;
    return text && !text->string().empty();
}

std::shared_ptr<NSLayoutConstraint> equalTo(const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& in,
                                            NSLayoutAttribute attribute) {
    return NSLayoutConstraint::constraintWithItem(view, attribute, NSLayoutRelation::Equal, in, attribute, 1, 0);
}
}  // namespace

void EmptyStateView::init() {
    UIView::init();
    contentView_ = UIView::make();
    contentView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    contentView_->setBackgroundColor(UIColor::clearColor());
    contentView_->setUserInteractionEnabled(true);
    contentView_->setAlpha(0);
    addSubview(contentView_);
}

std::shared_ptr<UILabel> EmptyStateView::makeLabel(CGFloat fontSize, const char* identifier) {
    auto label = UILabel::make();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setBackgroundColor(UIColor::clearColor());
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextColor(UIColor::colorWithWhite(0.6, 1));
    label->setTextAlignment(NSTextAlignment::Center);
    label->setLineBreakMode(NSLineBreakMode::ByWordWrapping);
    label->setNumberOfLines(0);
    label->setAccessibilityIdentifier(identifier);
    // Hit, so that the placeholder can let the touch through to the list (hitTest below).
    label->setUserInteractionEnabled(true);
    contentView_->addSubview(label);
    return label;
}

std::shared_ptr<UILabel> EmptyStateView::titleLabel() {
    if (!titleLabel_) titleLabel_ = makeLabel(kTitleFontSize, "empty set title");
    return titleLabel_;
}

std::shared_ptr<UILabel> EmptyStateView::detailLabel() {
    if (!detailLabel_) detailLabel_ = makeLabel(kDetailFontSize, "empty set detail label");
    return detailLabel_;
}

std::shared_ptr<UIImageView> EmptyStateView::imageView() {
    if (!imageView_) {
        imageView_ = UIImageView::make();
        imageView_->setTranslatesAutoresizingMaskIntoConstraints(false);
        imageView_->setBackgroundColor(UIColor::clearColor());
        imageView_->setContentMode(UIViewContentMode::ScaleAspectFit);
        imageView_->setUserInteractionEnabled(false);
        imageView_->setAccessibilityIdentifier("empty set background image");
        contentView_->addSubview(imageView_);
    }
    return imageView_;
}

std::shared_ptr<UIButton> EmptyStateView::button() {
    if (!button_) {
        button_ = UIButton::buttonWithType(UIButtonType::Custom);
        button_->setTranslatesAutoresizingMaskIntoConstraints(false);
        button_->setBackgroundColor(UIColor::clearColor());
        button_->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Center);
        button_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
        button_->setAccessibilityIdentifier("empty set button");
        std::weak_ptr<EmptyStateView> weak = self<EmptyStateView>();
        button_->addAction(
            [weak](UIControl& sender) {
                if (auto me = weak.lock()) me->didTapButton(static_cast<UIButton&>(sender));
            },
            UIControlEventTouchUpInside);
        contentView_->addSubview(button_);
    }
    return button_;
}

bool EmptyStateView::canShowImage() const {
    return imageView_ && imageView_->image() && imageView_->superview() == contentView_;
}

bool EmptyStateView::canShowTitle() const {
    return hasText(titleLabel_) && titleLabel_->superview() == contentView_;
}

bool EmptyStateView::canShowDetail() const {
    return hasText(detailLabel_) && detailLabel_->superview() == contentView_;
}

bool EmptyStateView::canShowButton() const {
    if (!button_ || button_->superview() != contentView_) return false;
    auto title = button_->attributedTitleForState(UIControlStateNormal);
    return (title && !title->string().empty()) || button_->imageForState(UIControlStateNormal);
}

void EmptyStateView::setCustomView(std::shared_ptr<UIView> view) {
    if (!view) return;
    if (customView_) customView_->removeFromSuperview();
    customView_ = std::move(view);
    customView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    contentView_->addSubview(customView_);
}

void EmptyStateView::prepareForReuse() {
    for (auto& subview : std::vector(contentView_->subviews())) subview->removeFromSuperview();
    titleLabel_.reset();
    detailLabel_.reset();
    imageView_.reset();
    button_.reset();
    customView_.reset();
    removeAllConstraints();
}

void EmptyStateView::removeAllConstraints() {
    removeConstraints(std::vector(constraints()));
    contentView_->removeConstraints(std::vector(contentView_->constraints()));
}

void EmptyStateView::setupConstraints() {
    auto centreX = equalTo(contentView_, self<UIView>(), NSLayoutAttribute::CenterX);
    auto centreY = equalTo(contentView_, self<UIView>(), NSLayoutAttribute::CenterY);
    addConstraint(centreX);
    addConstraint(centreY);
    addConstraints(
        NSLayoutConstraint::constraintsWithVisualFormat("H:|[contentView]|", 0, {}, {{"contentView", contentView_}}));
    if (verticalOffset_ != 0 && !constraints().empty()) centreY->setConstant(verticalOffset_);

    if (customView_) {
        std::map<std::string, std::shared_ptr<UIView>> views{{"customView", customView_}};
        contentView_->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("H:|[customView]|", 0, {}, views));
        contentView_->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|[customView]|", 0, {}, views));
        return;
    }

    CGFloat width = frame().size.width;
    if (width == 0) width = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat padding = std::round(static_cast<float>(width) / kPaddingDivisor);
    const CGFloat gap = verticalSpace_ != 0 ? verticalSpace_ : kDefaultGap;
    const std::map<std::string, CGFloat> metrics{{"padding", padding}};
    std::map<std::string, std::shared_ptr<UIView>> views;
    std::vector<std::string> names;

    if (imageView_ && imageView_->superview() == contentView_) {
        names.push_back("imageView");
        views["imageView"] = imageView_;
        contentView_->addConstraint(equalTo(imageView_, contentView_, NSLayoutAttribute::CenterX));
    }
    auto stack = [&](std::shared_ptr<UIView> piece, bool canShow, const std::string& name, auto forget) {
        if (!piece) return;
        if (!canShow) {
            piece->removeFromSuperview();
            forget();
            return;
        }
        names.push_back(name);
        views[name] = piece;
        contentView_->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat(
            "H:|-(padding@750)-[" + name + "(>=0)]-(padding@750)-|", 0, metrics, {{name, piece}}));
    };
    stack(titleLabel_, canShowTitle(), "titleLabel", [this] { titleLabel_.reset(); });
    stack(detailLabel_, canShowDetail(), "detailLabel", [this] { detailLabel_.reset(); });
    stack(button_, canShowButton(), "button", [this] { button_.reset(); });

    if (names.empty()) return;
    char joint[64];
    std::snprintf(joint, sizeof joint, "-(%.f@%d)-", gap, kStackPriority);
    std::string chain;
    for (const auto& name : names) chain += (chain.empty() ? "" : joint) + ("[" + name + "]");
    contentView_->addConstraints(NSLayoutConstraint::constraintsWithVisualFormat("V:|" + chain + "|", 0, {}, views));
}

void EmptyStateView::didTapButton(UIButton& button) {
    if (!onTapButton_) return;
    std::weak_ptr<UIView> weakButton = button.self<UIView>();
    auto handler = onTapButton_;
    dispatch_async(dispatch_get_main_queue(), [weakButton, handler] {
        if (auto b = std::static_pointer_cast<UIButton>(weakButton.lock())) handler(*b);
    });
}

void EmptyStateView::didMoveToSuperview() {
    UIView::didMoveToSuperview();
    auto parent = superview();
    if (!parent) return;
    setFrame(parent->bounds());
    auto content = contentView_;
    if (fadeInOnDisplay_)
        UIViewAnimation::animate(kFadeInDuration, [content] { content->setAlpha(1); });
    else
        content->setAlpha(1);
}

std::shared_ptr<UIView> EmptyStateView::hitTest(CGPoint point) {
    auto hit = UIView::hitTest(point);
    if (!hit) return nullptr;
    if (std::dynamic_pointer_cast<UIControl>(hit) || hit == contentView_ || (customView_ && hit == customView_))
        return hit;
    return nullptr;
}

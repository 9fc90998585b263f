// Collection cells: content, background and selected background views.
#include "platform/ui/table/ui_collection_view.h"

void UICollectionViewCell::init() {
    UICollectionReusableView::init();
    contentView_ = UIView::make(bounds());
    addSubview(contentView_);
}

void UICollectionViewCell::setBackgroundView(std::shared_ptr<UIView> v) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(v);
    if (backgroundView_) insertSubviewAtIndex(backgroundView_, 0);
    setNeedsLayout();
}

void UICollectionViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> v) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(v);
    updateLook();
}

void UICollectionViewCell::updateLook() {
    if (!selectedBackgroundView_) return;
    bool on = selected_ || highlighted_;
    if (on && !selectedBackgroundView_->superview()) insertSubviewBelow(selectedBackgroundView_, contentView_);
    if (!on) selectedBackgroundView_->removeFromSuperview();
    setNeedsLayout();
}

void UICollectionViewCell::setSelected(bool s) {
    selected_ = s;
    updateLook();
}

void UICollectionViewCell::setHighlighted(bool h) {
    highlighted_ = h;
    updateLook();
}

void UICollectionViewCell::prepareForReuse() {
    selected_ = highlighted_ = false;
    updateLook();
}

void UICollectionViewCell::layoutSubviews() {
    UIView::layoutSubviews();
    contentView_->setFrame(bounds());
    if (backgroundView_) backgroundView_->setFrame(bounds());
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(bounds());
}

// Background images by position, with Any as the fallback.
#include "settings/form/form_table_view_cell_style.h"

std::shared_ptr<UIImage> FormTableViewCellStyle::lookup(const Images& images, FormCellPosition position) {
    if (auto it = images.find(position); it != images.end()) return it->second;
    if (position == FormCellPosition::Any) return nullptr;
    auto it = images.find(FormCellPosition::Any);
    return it != images.end() ? it->second : nullptr;
}

bool FormTableViewCellStyle::any(const Images& images) {
    for (auto p : {FormCellPosition::Any, FormCellPosition::First, FormCellPosition::Middle, FormCellPosition::Last,
                   FormCellPosition::Single})
        if (lookup(images, p)) return true;
    return false;
}

std::shared_ptr<UIImage> FormTableViewCellStyle::backgroundImageForCellType(FormCellPosition position) const {
    return lookup(backgrounds_, position);
}

void FormTableViewCellStyle::setBackgroundImage(std::shared_ptr<UIImage> image, FormCellPosition position) {
    if (image) backgrounds_[position] = std::move(image);
}

bool FormTableViewCellStyle::hasCustomBackgroundImage() const {
    return any(backgrounds_);
}

std::shared_ptr<UIImage> FormTableViewCellStyle::selectedBackgroundImageForCellType(FormCellPosition position) const {
    return lookup(selectedBackgrounds_, position);
}

void FormTableViewCellStyle::setSelectedBackgroundImage(std::shared_ptr<UIImage> image, FormCellPosition position) {
    if (image) selectedBackgrounds_[position] = std::move(image);
}

bool FormTableViewCellStyle::hasCustomSelectedBackgroundImage() const {
    return any(selectedBackgrounds_);
}

std::shared_ptr<FormTableViewCellStyle> FormTableViewCellStyle::copy() const {
    auto c = make();
    c->cellHeight = cellHeight;
    c->defaultCellSelectionStyle = defaultCellSelectionStyle;
    c->backgroundImageMargin = backgroundImageMargin;
    c->contentViewMargin = contentViewMargin;
    c->backgrounds_ = backgrounds_;
    c->selectedBackgrounds_ = selectedBackgrounds_;
    return c;
}

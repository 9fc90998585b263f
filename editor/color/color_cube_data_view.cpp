#include "editor/color/color_cube_data_view.h"

#include <cstdio>

#include "editor/color/color_values.h"
#include "filter/color_table.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/color_custom.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr CGFloat kNearAlpha = 0.7;
constexpr CGFloat kFarAlpha = 0.5;
// The oblique view: y takes half of x, then the plane is squeezed, then fanned by position.
constexpr CGFloat kShear = 0.5;
constexpr CGFloat kScaleX = 0.3;
constexpr CGFloat kScaleY = 0.5;
constexpr CGFloat kFanPerLevel = 5;
constexpr CGFloat kButtonRadius = 8;

// Where a position lies between the first (0) and the last (1); a single plane lies at 0.
float fraction(long index, long n) {
    return n > 1 ? static_cast<float>(index) / static_cast<float>(n - 1) : 0.f;
}

std::shared_ptr<UIColor> labelBlue() {
    return UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1);
}
}  // namespace

void ColorCubeDataView::init() {
    UIView::init();
    addSubview(bplane());
    addConstraintsFull(bplane_, self<UIView>(), 0, 0, 0, -kFooterHeight);
}

const std::shared_ptr<UIView>& ColorCubeDataView::bplane() {
    if (!bplane_) {
        bplane_ = UIView::make();
        bplane_->setBackgroundColor(UIColor::lightGrayColor());
    }
    return bplane_;
}

const std::shared_ptr<MenuLabelView>& ColorCubeDataView::menu() {
    if (!menu_) {
        auto font = Global::shared()->font();
        auto palette = Global::shared()->color();
        menu_ = MenuLabelView::make(font ? font->filterMenuNormal() : nullptr, labelBlue(), UIColor::clearColor(),
                                    palette ? palette->colorSelected() : nullptr);
        menu_->setDelegate(std::dynamic_pointer_cast<MenuLabelViewDelegate>(shared_from_this()));
        menu_->setDontShowGradient(true);
    }
    return menu_;
}

const std::shared_ptr<IconButton>& ColorCubeDataView::btnDone() {
    if (!btnDone_) {
        auto font = Global::shared()->font();
        auto palette = Global::shared()->color();
        btnDone_ = IconButton::buttonWithType(UIButtonType::System);
        btnDone_->setType(IconButtonType::Primary);
        btnDone_->setTitle("Done", UIControlStateNormal);
        if (font) btnDone_->titleLabel()->setFont(font->filterMenuNormal());
        btnDone_->setTintColor(UIColor::whiteColor());
        if (palette) btnDone_->setBackgroundColor(palette->colorSelected());
        assignRound(*btnDone_, kButtonRadius);
        std::weak_ptr<ColorCubeDataView> weak = self<ColorCubeDataView>();
        btnDone_->addAction(
            [weak](UIControl&) {
                if (auto s = weak.lock()) s->onDone();
            },
            UIControlEventTouchUpInside);
    }
    return btnDone_;
}

long ColorCubeDataView::entryIndex(long n, long row, long col, long level) {
    return col + n * row + n * n * level;
}

CGFloat ColorCubeDataView::stackAlpha(long index, long n) {
    return lerpFloat(kNearAlpha, kFarAlpha, fraction(index, n));
}

CGAffineTransform ColorCubeDataView::transformFor(long position, long n) {
    const CGAffineTransform shear{1, kShear, 0, 1, 0, 0};
    const CGAffineTransform scaled = CGAffineTransformConcat(shear, CGAffineTransformMakeScale(kScaleX, kScaleY));
    // A single plane has nothing to fan out from.
    const CGFloat fan = n > 1 ? kFanPerLevel * static_cast<CGFloat>(n) : 0;
    return CGAffineTransformConcat(
        scaled, CGAffineTransformMakeTranslation(
                    lerpFloat(static_cast<float>(fan), static_cast<float>(-fan), fraction(position, n)), 0));
}

CGAffineTransform ColorCubeDataView::transform(long position) const {
    return transformFor(position, dimension_);
}

void ColorCubeDataView::updateData() {
    auto d = delegate();
    const long n = d ? d->onColorCubeDataViewGetDimension(*this) : 0;
    dimension_ = n >= 1 && n <= kMaxDimension ? n : 0;
    attr_ = d ? d->onColorCubeDataViewGetAttr(*this) : Value();
    for (const auto& p : planes_) {
        p->removeFromSuperview();
        removeMyConstraints(*p);
    }
    planes_.clear();
    auto me = std::dynamic_pointer_cast<ColorPlaneViewDelegate>(shared_from_this());
    for (long z = dimension_ - 1; z >= 0; --z) {
        auto plane = ColorPlaneView::make(vc_.lock());
        plane->setAlpha(stackAlpha(z, dimension_));
        plane->setDelegate(me);
        plane->setTag(z);
        plane->controls()->setUserInteractionEnabled(false);
        bplane()->addSubview(plane);
        addConstraintsFull(plane, bplane_, 0, 0, 0, 0);
        planes_.push_back(plane);
    }
    for (std::size_t p = 0; p < planes_.size(); ++p) {
        planes_[p]->setTransform(transform(static_cast<long>(p)));
        planes_[p]->update();
    }
}

void ColorCubeDataView::updateView() {
    if (editing_) {
        btnDone()->removeFromSuperview();
        removeMyConstraints(*btnDone_);
        addSubview(btnDone_);
        addConstraintsCB(btnDone_, self<UIView>(), 0, -kFooterBottom, kDoneSize.width, kDoneSize.height);
    } else {
        // The row is as wide as its labels, within this view's laid-out width.
        if (auto s = superview()) s->layoutIfNeeded();
        const double width = menu()->updateData();
        menu_->removeFromSuperview();
        removeMyConstraints(*menu_);
        addSubview(menu_);
        addConstraintsCB(menu_, self<UIView>(), 0, -kFooterBottom,
                         minFloat(static_cast<float>(width), static_cast<float>(bounds().size.width)), kMenuHeight);
    }
}

void ColorCubeDataView::scheduledLayout() {
    for (const auto& p : planes_) p->scheduledLayout();
}

void ColorCubeDataView::selectZ(long position) {
    auto planes = planes_;
    UIViewAnimation::animate(
        kPlaneDuration,
        [planes, position] {
            for (std::size_t p = 0; p < planes.size(); ++p) {
                planes[p]->setTransform(CGAffineTransformIdentity);
                planes[p]->setAlpha(static_cast<long>(p) == position ? 1 : 0);
            }
        },
        [planes, position](bool) {
            for (std::size_t p = 0; p < planes.size(); ++p) {
                const bool chosen = static_cast<long>(p) == position;
                planes[p]->controls()->setUserInteractionEnabled(chosen);
                planes[p]->setHidden(!chosen);
            }
        });
}

void ColorCubeDataView::deselect() {
    auto planes = planes_;
    const long n = dimension_;
    UIViewAnimation::animate(kPlaneDuration, [planes, n] {
        for (std::size_t p = 0; p < planes.size(); ++p) {
            planes[p]->setHidden(false);
            planes[p]->controls()->setUserInteractionEnabled(false);
            planes[p]->setAlpha(stackAlpha(static_cast<long>(p), n));
            planes[p]->setTransform(transformFor(static_cast<long>(p), n));
        }
    });
}

void ColorCubeDataView::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton&) {
    if (index < 0 || index >= static_cast<long>(planes_.size())) return;
    btnDone()->setAlpha(0);
    auto m = menu_;
    auto done = btnDone_;
    UIViewAnimation::animate(kSwitchDuration, [m, done] {
        m->setAlpha(0);
        done->setAlpha(1);
    });
    selectZ(index);
    editing_ = true;
    updateView();
}

void ColorCubeDataView::onDone() {
    menu()->setAlpha(0);
    auto m = menu_;
    auto done = btnDone();
    UIViewAnimation::animate(kSwitchDuration, [m, done] {
        done->setAlpha(0);
        m->setAlpha(1);
    });
    deselect();
    editing_ = false;
    updateView();
}

std::vector<std::string> ColorCubeDataView::onMenuLabelViewGetArray(MenuLabelView&) {
    std::vector<std::string> labels;
    for (long z = 0; z < dimension_; ++z) labels.push_back("Z" + std::to_string(z));
    return labels;
}

long ColorCubeDataView::onColorPlaneViewGetRowCount(ColorPlaneView&) {
    return dimension_;
}

long ColorCubeDataView::onColorPlaneViewGetColCount(ColorPlaneView&) {
    return dimension_;
}

std::shared_ptr<UIColor> ColorCubeDataView::onColorPlaneViewGetColor(ColorPlaneView& plane, long row, long col) {
    const long index = entryIndex(dimension_, row, col, plane.tag());
    if (index < 0) return UIColor::blackColor();
    auto color = colorOfNumbers(colorTableEntry(attr_["value"], static_cast<std::size_t>(index)));
    return color ? color : UIColor::blackColor();
}

void ColorCubeDataView::onColorPlaneViewValueChanged(ColorPlaneView& plane, long row, long col,
                                                     const std::shared_ptr<UIColor>& color) {
    const long index = entryIndex(dimension_, row, col, plane.tag());
    const auto cells = static_cast<std::size_t>(dimension_ * dimension_ * dimension_);
    if (index < 0 || static_cast<std::size_t>(index) >= cells) return;
    // A packed table (as presets hold theirs) is edited as entries from here on.
    ValueArray table = colorTableEntries(attr_["value"]).value_or(ValueArray{});
    // A table stored for another dimension is completed with opaque black before the edit.
    while (table.size() < cells) table.push_back(Value(ValueArray{Value(0.0), Value(0.0), Value(0.0), Value(1.0)}));
    table[static_cast<std::size_t>(index)] = numbersOfColor(*color);
    FilterElement::setAttrValueArray(attr_, table);
    updateView();
    if (auto d = delegate()) d->onColorCubeDataViewValueChanged(*this);
}

#include "editor/input/pop_adj_input_view.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "editor/adjust/adj_record.h"
#include "editor/input/adj_numbers.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "widgets/flat/flat_palette.h"

namespace {

struct GridShape {
    long kind;
    long count;
    long row;
};

// Cells and columns by editor kind: cross-polynomial coefficients, then the convolution weights,
// then an affine transform's six numbers.
constexpr GridShape kShapes[] = {{14, 10, 3}, {15, 9, 3}, {16, 25, 5}, {17, 49, 7}, {18, 9, 9}, {19, 9, 1}, {20, 6, 3}};
constexpr long kTransformKind = 20;

std::string oneDecimal(float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%0.1f", static_cast<double>(v));
    return text;
}

// Text read as a number from its start, as the prompt's numeric keyboard produces it; anything
// that is no (finite) number reads as 0.
float numberFromText(const std::string& text) {
    const float f = std::strtof(text.c_str(), nullptr);
    return std::isfinite(f) ? f : 0;
}

}  // namespace

void PopAdjInputView::init() {
    PopAdjGeneralBase::init();
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 1));
    b0p()->addSubview(b0());
    addConstraintsFull(b0(), b0p(), 0, kTitleBarHeight, 0, 0);
}

const std::shared_ptr<UIView>& PopAdjInputView::b0() {
    if (b0_) return b0_;
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::colorWithWhite(1, 1));
    scrollView_ = UIScrollView::make();
    scrollView_->setDelegate(std::dynamic_pointer_cast<UIScrollViewDelegate>(shared_from_this()));
    b0_->addSubview(scrollView_);
    addConstraintsFull(scrollView_, b0_, 0, 0, 0, 0);
    auto font = Global::shared()->font();
    std::weak_ptr<PopAdjInputView> weak = self<PopAdjInputView>();
    for (long i = 0; i < kMaxCells; ++i) {
        auto label = UILabel::make();
        label->setTextColor(flatGrayColor());
        if (font) label->setFont(font->textFixedSmall3());
        label->setTextAlignment(NSTextAlignment::Left);
        scrollView_->addSubview(label);
        auto button = UIButton::buttonWithType(UIButtonType::System);
        if (font) button->titleLabel()->setFont(font->textFixedNormal());
        button->setTag(kFirstTag + i);
        button->addAction(
            [weak](UIControl& c) {
                if (auto s = weak.lock()) s->onInput(static_cast<UIButton&>(c));
            },
            UIControlEventTouchUpInside);
        scrollView_->addSubview(button);
        inputs_.emplace_back(button, label);
    }
    return b0_;
}

void PopAdjInputView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateView();
    showForRecord(sender, record, std::move(completion));
}

long PopAdjInputView::vm(long cell) const {
    if (!valueMap_ || cell < 0 || static_cast<std::size_t>(cell) >= valueMap_->size()) return cell;
    return (*valueMap_)[static_cast<std::size_t>(cell)];
}

std::string PopAdjInputView::position(long index) const {
    char text[48];
    std::snprintf(text, sizeof text, "%ld,%ld", index / row_ + 1, index % row_ + 1);
    return text;
}

void PopAdjInputView::updateView() {
    const long kind = value_["view"].isNumber() ? static_cast<long>(value_["view"].integerValue()) : 0;
    for (const GridShape& s : kShapes) {
        if (s.kind != kind) continue;
        count_ = s.count;
        row_ = s.row;
        // Only the transform's six numbers are stored in another order than they are shown.
        valueMap_.reset();
        if (kind == kTransformKind) valueMap_ = std::vector<long>{0, 1, 4, 2, 3, 5};
    }
    const long rows = (count_ + row_ - 1) / row_;
    // The panel leaves a margin of two insets across and of four insets down around the cells.
    setSize({minFloat(static_cast<float>(2 * kGridInset + kCellWidth * row_), kMaxSide),
             minFloat(static_cast<float>(4 * kGridInset + kCellHeight * rows), kMaxSide) + kTitleBarHeight});
    const Value& numbers = value_["value"];
    for (const auto& [button, label] : inputs_) {
        const long i = button->tag() - kFirstTag;
        const bool shown = i < count_;
        button->setHidden(!shown);
        label->setHidden(!shown);
        if (!shown) continue;
        button->setTitle(oneDecimal(adjArrayFloat(numbers, static_cast<std::size_t>(vm(i)))), UIControlStateNormal);
        label->setText(position(i));
        const CGFloat x = kGridInset + kCellWidth * static_cast<CGFloat>(i % row_);
        const CGFloat y = kGridInset + kCellHeight * static_cast<CGFloat>(i / row_);
        button->setFrame({{x, y}, {kCellWidth, kCellHeight}});
        label->setFrame({{x, y}, {kCellWidth, kCellLabelHeight}});
    }
    // A last row that is not full is left out of the scrolled height, as the grid always was.
    scrollView_->setContentSize({2 * kGridInset + kCellWidth * static_cast<CGFloat>(row_),
                                 2 * kGridInset + kCellHeight * static_cast<CGFloat>(count_ / row_)});
}

void PopAdjInputView::onInput(UIButton& button) {
    const long k = vm(button.tag() - kFirstTag);
    if (k < 0) return;
    std::weak_ptr<PopAdjInputView> weak = self<PopAdjInputView>();
    std::weak_ptr<UIButton> weakButton = std::dynamic_pointer_cast<UIButton>(button.shared_from_this());
    const Value record = value_;
    prompt(
        vc(), position(k), "", button.titleForState(UIControlStateNormal).value_or(""),
        UIKeyboardType::NumbersAndPunctuation,
        [weak, weakButton, record, k](const std::string& text) {
            const float f = numberFromText(text);
            if (auto b = weakButton.lock()) b->setTitle(oneDecimal(f), UIControlStateNormal);
            adjWriteArrayElement(record, static_cast<std::size_t>(k), f);
            if (auto s = weak.lock()) s->reportChange(record);
        },
        [] {});
}

void PopAdjInputView::onRightButton(IconButton&) {
    const ValueArray* def = value_["def"].arrayPtr();
    if (!def) return;
    FilterElement::setAttrValueArray(value_, *def);
    updateView();
    reportChange(value_);
}

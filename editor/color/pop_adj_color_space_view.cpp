#include "editor/color/pop_adj_color_space_view.h"

#include <algorithm>
#include <cctype>

#include "filter/color_spaces.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/status_button_image.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {
constexpr CGFloat kPanelInset = 1;
constexpr CGFloat kStripInset = 5;
constexpr std::uint16_t kGlyph = 61875;
constexpr CGSize kGlyphSize{32, 32};
const char* const kDefaultLabel = "Default";

std::string folded(const std::string& s) {
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}
}  // namespace

void PopAdjColorSpaceView::init() {
    PopAdjGeneralBase::init();
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(1, 1));
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    scroll_ = UIScrollView::make();
    b0_->addSubview(scroll_);
    addConstraintsFull(scroll_, b0_, kStripInset, kStripInset, -kStripInset, -kStripInset);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), kPanelInset, kPanelInset, -kPanelInset, -kPanelInset);
}

void PopAdjColorSpaceView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateData();
    showForRecord(sender, record, std::move(completion));
}

ValueArray PopAdjColorSpaceView::entries() {
    ValueArray out;
    auto spaces = Global::shared()->colorSpaces();
    const ValueDictionary* table = spaces ? spaces->dict().dictionaryPtr() : nullptr;
    if (!table) return out;
    std::vector<std::string> keys = table->keys();
    // The table has no order of its own: "Default" leads, the others follow by name.
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        const bool da = a == kDefaultLabel;
        const bool db = b == kDefaultLabel;
        if (da != db) return da;
        const std::string fa = folded(a);
        const std::string fb = folded(b);
        return fa != fb ? fa < fb : a < b;
    });
    for (const auto& key : keys) out.push_back(Value::dictionary({{"label", Value(key)}, {"value", table->get(key)}}));
    return out;
}

void PopAdjColorSpaceView::updateData() {
    arr_ = entries();
    for (const auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    auto font = Global::shared()->font();
    auto icon = imageIcon(kGlyph, kGlyphSize, font ? font->iconFixedLarge3() : nullptr, UIColor::whiteColor(),
                          UIColor::clearColor());
    std::weak_ptr<PopAdjColorSpaceView> weak = self<PopAdjColorSpaceView>();
    for (std::size_t i = 0; i < arr_.size(); ++i) {
        auto button = StatusButtonImage::make(icon);
        const long index = static_cast<long>(i);
        button->addTarget([weak, index] {
            if (auto s = weak.lock()) s->onAction(index);
        });
        button->setFrame({{kPitch * static_cast<CGFloat>(i), 0}, kButtonSize});
        button->setTitle(arr_[i]["label"].stringValue());
        button->setTag(index);
        button->button()->setTag(index);
        button->label()->setTag(index);
        scroll_->addSubview(button);
        buttons_.push_back(button);
    }
    const auto n = static_cast<CGFloat>(arr_.size());
    scroll_->setContentSize({kPitch * n, kButtonSize.height});
    CGFloat side = kPitch * n + kPopupScreenMargin;
    if (auto controller = vc()) {
        const CGRect b = controller->view()->bounds();
        side = std::min(b.size.width, b.size.height);
    }
    setSize({minFloat(static_cast<float>(kPitch * n), static_cast<float>(side - kPopupScreenMargin)), kHeight});
    updateView();
}

void PopAdjColorSpaceView::updateView() {
    const Value& current = value_["value"];
    for (const auto& b : buttons_) {
        const auto i = static_cast<std::size_t>(b->tag());
        const Value& name = i < arr_.size() ? arr_[i]["value"] : Value::null();
        b->setSelected(current.isString() && name.isString() && name.stringValue() == current.stringValue());
    }
}

void PopAdjColorSpaceView::onAction(long index) {
    if (index < 0 || static_cast<std::size_t>(index) >= arr_.size()) return;
    FilterElement::setAttrValueColorSpace(value_, arr_[static_cast<std::size_t>(index)]["value"].stringValue());
    reportChange(value_);
    updateView();
}

void PopAdjColorSpaceView::onRightButton(IconButton&) {
    FilterElement::setAttrValueColorSpace(value_, value_["def"].stringValue());
    updateView();
    reportChange(value_);
}

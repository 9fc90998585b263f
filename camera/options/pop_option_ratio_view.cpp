// The image-ratio choices and their outlines.
#include "camera/options/pop_option_ratio_view.h"

#include "capture/string_custom_capture.h"
#include "foundation/global.h"
#include "ui/controls/status_button_path.h"

namespace {

// A closed rectangle of half width a and half height b around the origin.
CGPath outline(CGFloat a, CGFloat b) {
    CGPath path;
    path.moveToPoint({-a, b});
    path.addLineToPoint({a, b});
    path.addLineToPoint({a, -b});
    path.addLineToPoint({-a, -b});
    path.closeSubpath();
    return path;
}

constexpr CGFloat kTall = 8.5;

}  // namespace

std::optional<CGPath> PopOptionRatioView::getBezierPath(ImageRatio ratio) const {
    switch (ratio) {
        case ImageRatio::Ratio1x1: return path1_1_;
        case ImageRatio::Ratio2x3: return path2_3_;
        case ImageRatio::Ratio3x4: return path3_4_;
        case ImageRatio::Ratio9x16: return path9_16_;
    }
    return std::nullopt;
}

std::vector<PopOptionChoiceView::Choice> PopOptionRatioView::makeChoices() {
    path3_4_ = outline(6.375, kTall);
    path9_16_ = outline(4.78125, kTall);
    path2_3_ = outline(17.0 / 3.0, kTall);
    path1_1_ = outline(7, 7);
    auto button = [this](ImageRatio ratio) {
        return StatusButtonPath::make(*getBezierPath(ratio), kOutlineOrigin, kOutlineBox);
    };
    btnRatio3_4_ = button(ImageRatio::Ratio3x4);
    btnRatio9_16_ = button(ImageRatio::Ratio9x16);
    btnRatio2_3_ = button(ImageRatio::Ratio2x3);
    btnRatio1_1_ = button(ImageRatio::Ratio1x1);
    auto choice = [](std::shared_ptr<StatusButtonPath> b, CGFloat dx, ImageRatio ratio) {
        return Choice{std::move(b), dx, fromImageRatio(ratio), [ratio] { Global::shared()->setImageRatio(ratio); },
                      [ratio] { return Global::shared()->imageRatio() == ratio; }};
    };
    return {choice(btnRatio3_4_, -90, ImageRatio::Ratio3x4), choice(btnRatio9_16_, -30, ImageRatio::Ratio9x16),
            choice(btnRatio2_3_, 30, ImageRatio::Ratio2x3), choice(btnRatio1_1_, 90, ImageRatio::Ratio1x1)};
}

void PopOptionRatioView::notifyDelegate() {
    if (auto d = delegate()) d->onPopOptionRatioViewValueChanged(*this);
}

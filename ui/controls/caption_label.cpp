// The shared caption set-up.
#include "ui/controls/caption_label.h"

#include "platform/ui/draw/color.h"
#include "widgets/scroll/scroll_label.h"

namespace {
constexpr unsigned kLoopLeft = 2;
constexpr unsigned kEaseInOut = 0;
constexpr double kTrailingBuffer = 30;
constexpr double kFadeLength = 10;
constexpr double kScrollDuration = 15;
}  // namespace

std::shared_ptr<ScrollLabel> makeCaptionLabel(std::shared_ptr<UIFont> font) {
    auto label = ScrollLabel::make();
    label->setTextAlignment(NSTextAlignment::Center);
    label->setFont(std::move(font));
    label->setTextColor(UIColor::whiteColor());
    label->setScrollType(kLoopLeft);
    label->setAnimationCurve(kEaseInOut);
    label->setLeadingBuffer(0);
    label->setTrailingBuffer(kTrailingBuffer);
    label->setFadeLength(kFadeLength);
    label->setScrollDuration(kScrollDuration);
    return label;
}

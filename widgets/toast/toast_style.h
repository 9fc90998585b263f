// The look of a toast: colours, fonts, paddings, limits, shadow, sizes and the fade duration.
#pragma once

#include <memory>
#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"

class ToastStyle : public NSObject {
public:
    // initWithDefaultStyle: the only way a style is made.
    static std::shared_ptr<ToastStyle> makeDefault();

    std::shared_ptr<UIColor> backgroundColor = UIColor::colorWithWhite(0, 0.8);
    std::shared_ptr<UIColor> titleColor = UIColor::whiteColor();
    std::shared_ptr<UIColor> messageColor = UIColor::whiteColor();
    double horizontalPadding = 10;
    double verticalPadding = 10;
    double cornerRadius = 10;
    std::shared_ptr<UIFont> titleFont = UIFont::boldSystemFontOfSize(16);
    std::shared_ptr<UIFont> messageFont = UIFont::systemFontOfSize(16);
    NSTextAlignment titleAlignment = NSTextAlignment::Left;
    NSTextAlignment messageAlignment = NSTextAlignment::Left;
    long titleNumberOfLines = 0;  // 0: as many as fit
    long messageNumberOfLines = 0;
    bool displayShadow = false;
    std::shared_ptr<UIColor> shadowColor;
    double shadowOpacity = 0.8;
    double shadowRadius = 6;
    CGSize shadowOffset{4, 4};
    CGSize imageSize{80, 80};
    CGSize activitySize{100, 100};
    double fadeDuration = 0.2;

    // Fractions of the host's size a toast may take, kept within 0...1.
    double maxWidthPercentage() const { return maxWidth_; }
    void setMaxWidthPercentage(double p);
    double maxHeightPercentage() const { return maxHeight_; }
    void setMaxHeightPercentage(double p);

    std::string className() const override { return "ToastStyle"; }

protected:
    ToastStyle() = default;

private:
    double maxWidth_ = 0.8;
    double maxHeight_ = 0.8;
};

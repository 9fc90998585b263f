// IconButton: the styled push button. It draws its own rounded background in a gradient (V2) or
// flat (V3) look from one base colour, colours its title to contrast with it, and can put a glyph
// of the icon font before or after the title. Main-thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/ui/control/ui_button.h"

// Values other than these draw no background and take the V3 colours.
enum class IconButtonStyle : std::uint64_t { V2 = 0, V3 = 1 };
// Values other than these mean Default.
enum class IconButtonType : std::uint64_t {
    Default = 0,
    Primary = 1,
    Info = 2,
    Success = 3,
    Warning = 4,
    Danger = 5,
    Inverse = 6,
    Twitter = 7,
    Facebook = 8,
    Purple = 9,
    Gray = 10,
};

class IconButton : public UIButton {
public:
    KORVA_MAKE(IconButton)
    // The platform's button factory: a V3 button of the default type with 17-point title text.
    static std::shared_ptr<IconButton> buttonWithType(UIButtonType type);
    static std::shared_ptr<IconButton> withColor(CGRect frame, std::shared_ptr<UIColor> color, IconButtonStyle style);
    static std::shared_ptr<IconButton> withType(CGRect frame, IconButtonType type, IconButtonStyle style);
    // The title is the icon alone, centred, in the icon font at the size given.
    static std::shared_ptr<IconButton> withColorIcon(CGRect frame, std::shared_ptr<UIColor> color,
                                                     IconButtonStyle style, std::uint16_t icon, double fontSize);
    static std::shared_ptr<IconButton> withTypeIcon(CGRect frame, IconButtonType type, IconButtonStyle style,
                                                    std::uint16_t icon, double fontSize);
    // 40 x 40 with the icon at 20 points.
    static std::shared_ptr<IconButton> awesomeButtonWithOnlyIcon(std::uint16_t icon, std::shared_ptr<UIColor> color,
                                                                 IconButtonStyle style);
    static std::shared_ptr<IconButton> awesomeButtonWithOnlyIcon(std::uint16_t icon, IconButtonType type,
                                                                 IconButtonStyle style);

    // The frame road: setup, then the V3 text attributes.
    void init() override;
    // The coder road: setup only.
    void initWithCoder(const NSCoder& coder) override;

    IconButtonStyle buttonStyle() const { return style_; }
    // Stores the style only.
    void setButtonStyle(IconButtonStyle style) { style_ = style; }
    // Stores the style and applies the colour again (the title colours may change).
    void setStyle(IconButtonStyle style);
    const std::shared_ptr<UIColor>& color() const { return color_; }
    void setColor(std::shared_ptr<UIColor> color);
    void setType(IconButtonType type);
    bool shouldShowDisabled() const { return shouldShowDisabled_; }
    void setShouldShowDisabled(bool show);
    void setTextAttributesForStyle(IconButtonStyle style);

    // The radius set, else the one the appearance proxy holds (fetched once and kept), else the
    // style's own, read afresh each time.
    double buttonCornerRadius();
    void setButtonCornerRadius(std::optional<double> radius);
    std::optional<double> storedCornerRadius() const { return cornerRadius_; }
    static double cornerRadiusForStyle(IconButtonStyle style);
    static std::shared_ptr<UIColor> colorForButtonType(IconButtonType type, IconButtonStyle style);
    static std::shared_ptr<UIColor> colorForV2StyleButtonWithType(IconButtonType type);
    static std::shared_ptr<UIColor> colorForV3StyleButtonWithType(IconButtonType type);

    // Puts the icon before or after the title text (the icon alone for a blank title) and sets
    // the whole title in the icon font at the label's current size.
    void addAwesomeIcon(std::uint16_t icon, bool beforeTitle);

    void drawRect(CGRect rect) override;
    std::string className() const override { return "IconButton"; }

protected:
    explicit IconButton(CGRect frame = CGRectZero) : UIButton(frame) {}

private:
    void setup();
    void applyDisabledTitleColor();
    void drawV2(CGContext& context, CGSize size);
    void drawV3(CGContext& context, CGSize size);

    IconButtonStyle style_ = IconButtonStyle::V3;
    std::shared_ptr<UIColor> color_;
    std::optional<double> cornerRadius_;
    bool shouldShowDisabled_ = false;
};

// Trims white space and line breaks from both ends.
std::string stringByTrimingWhiteSpaceFromString(const std::string& text);
// True when nothing but white space and line breaks.
bool isStringEmpty(const std::string& text);

// The icon button: every type in both looks and every state, on a light and a dark background,
// and the icon placements and radii the screens use.
#include <string>
#include <vector>

#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/text/ui_font.h"
#include "tools/gallery/gallery.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr CGFloat kLeft = 8;
constexpr CGFloat kTop = 60;
constexpr CGFloat kColumnWidth = 94;
constexpr CGFloat kRowHeight = 40;
constexpr CGSize kButtonSize{86, 30};

const std::vector<std::string> kTypeNames = {"default", "primary", "info",     "success", "warning", "danger",
                                             "inverse", "twitter", "facebook", "purple",  "gray"};
const std::vector<std::string> kStateNames = {"normal", "highlighted", "disabled", "dis. plain"};

std::shared_ptr<UILabel> caption(const std::string& text, CGRect frame, bool onDark) {
    auto label = UILabel::make(frame);
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(11));
    label->setTextColor(onDark ? UIColor::whiteColor() : UIColor::darkGrayColor());
    label->setTextAlignment(NSTextAlignment::Center);
    return label;
}

void typesAndStates(GalleryPage& page, IconButtonStyle style, bool onDark, const std::string& name) {
    auto window = page.newWindow();
    window->setBackgroundColor(onDark ? UIColor::colorWithWhite(0.12, 1) : UIColor::colorWithWhite(0.96, 1));
    for (std::size_t column = 0; column < kStateNames.size(); ++column)
        window->addSubview(caption(kStateNames[column],
                                   {{kLeft + column * kColumnWidth, kTop - 18}, {kButtonSize.width, 14}}, onDark));
    for (std::size_t type = 0; type < kTypeNames.size(); ++type) {
        for (std::size_t column = 0; column < kStateNames.size(); ++column) {
            CGRect frame{{kLeft + column * kColumnWidth, kTop + type * kRowHeight}, kButtonSize};
            auto button = IconButton::withType(frame, static_cast<IconButtonType>(type), style);
            button->setTitle(kTypeNames[type], UIControlStateNormal);
            if (column == 1) button->setHighlighted(true);
            if (column >= 2) button->setEnabled(false);
            if (column == 3) button->setShouldShowDisabled(false);
            window->addSubview(button);
        }
    }
    page.shotScreen(name);
}

void iconsAndRadii(GalleryPage& page, bool onDark, const std::string& name) {
    auto window = page.newWindow();
    window->setBackgroundColor(onDark ? UIColor::colorWithWhite(0.12, 1) : UIColor::colorWithWhite(0.96, 1));
    CGFloat y = kTop;
    auto row = [&](const std::string& text, std::vector<std::shared_ptr<IconButton>> buttons) {
        window->addSubview(caption(text, {{kLeft, y}, {370, 14}}, onDark));
        CGFloat x = kLeft;
        for (auto& b : buttons) {
            b->setFrame({{x, y + 18}, b->frame().size});
            x += b->frame().size.width + 8;
            window->addSubview(b);
        }
        y += 70;
    };
    auto titled = [](const std::string& title, IconButtonType type, IconButtonStyle style, CGSize size) {
        auto b = IconButton::buttonWithType(UIButtonType::System);
        b->setButtonStyle(style);
        b->setTextAttributesForStyle(style);
        b->setType(type);
        b->setTitle(title, UIControlStateNormal);
        b->setFrame({{0, 0}, size});
        return b;
    };
    for (auto style : {IconButtonStyle::V3, IconButtonStyle::V2}) {
        std::string look = style == IconButtonStyle::V3 ? "V3" : "V2";
        auto source = titled("CAMERA SOURCE", IconButtonType::Default, style, {170, 36});
        source->addAwesomeIcon(0xF030, true);
        auto library = titled("PHOTO LIBRARY", IconButtonType::Default, style, {170, 36});
        library->addAwesomeIcon(0xF03E, false);
        row(look + ": icon before and after the title", {source, library});

        auto cancel = titled("Cancel", IconButtonType::Danger, style, {110, 36});
        cancel->addAwesomeIcon(0xF00D, true);
        std::vector<std::shared_ptr<IconButton>> alone = {cancel};
        for (std::uint16_t icon : {0xF07E, 0xF07D, 0xF0E2, 0xF01E}) {
            auto b = titled("", IconButtonType::Default, style, {44, 36});
            b->addAwesomeIcon(icon, true);
            alone.push_back(b);
        }
        row(look + ": danger with icon, icons alone", alone);

        auto help = titled("", IconButtonType::Default, style, {30, 30});
        help->addAwesomeIcon(0xF128, true);
        help->setButtonCornerRadius(15);
        auto yes = titled("Yes", IconButtonType::Primary, style, {120, 35});
        yes->setButtonCornerRadius(17.5);
        auto no = titled("No", IconButtonType::Default, style, {120, 35});
        no->setButtonCornerRadius(17.5);
        row(look + ": radius 15 (help) and 17.5 (Yes / No)", {help, yes, no});
    }
    page.shotScreen(name);
}
}  // namespace

void galleryButtons(GalleryPage& page) {
    typesAndStates(page, IconButtonStyle::V3, false, "v3-light");
    typesAndStates(page, IconButtonStyle::V3, true, "v3-dark");
    typesAndStates(page, IconButtonStyle::V2, false, "v2-light");
    typesAndStates(page, IconButtonStyle::V2, true, "v2-dark");
    iconsAndRadii(page, false, "icons-light");
    iconsAndRadii(page, true, "icons-dark");
}

// Text measure and label of the text pop-ups.
#include "ui/popup/text_measure_popup.h"

#include <limits>

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/string_drawing.h"
#include "ui/theme/font.h"

CGSize measurePopupText(const std::shared_ptr<NSAttributedString>& text, CGFloat width) {
    if (!text) return {};
    const CGSize limit{width, std::numeric_limits<CGFloat>::max()};
    return boundingRectWithSize(*text, limit, NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingUsesFontLeading)
        .size;
}

std::shared_ptr<UILabel> makePopupTextLabel() {
    auto label = UILabel::make();
    if (auto font = Global::shared()->font()) label->setFont(font->textFixedNormal());
    label->setTextAlignment(NSTextAlignment::Center);
    label->setNumberOfLines(0);
    label->setTextColor(UIColor::whiteColor());
    return label;
}

std::shared_ptr<UIColor> popupRed() {
    return UIColor::colorWithRed(202 / 255.0, 8 / 255.0, 8 / 255.0, 1);
}

// Key layout, hit testing and drawing of the on-screen keyboard.
#include "platform/ui/input/keyboard_view.h"

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/input/keyboard.h"

namespace {
const char* returnLabel(UIReturnKeyType t) {
    switch (t) {
        case UIReturnKeyType::Go: return "Go";
        case UIReturnKeyType::Next: return "Next";
        case UIReturnKeyType::Search: return "Search";
        case UIReturnKeyType::Send: return "Send";
        case UIReturnKeyType::Done: return "Done";
        case UIReturnKeyType::Join: return "Join";
        case UIReturnKeyType::Continue: return "Continue";
        default: return "return";
    }
}
bool numeric(UIKeyboardType t) {
    return t == UIKeyboardType::NumberPad || t == UIKeyboardType::DecimalPad || t == UIKeyboardType::PhonePad;
}
}  // namespace

CGFloat KeyboardView::heightForWidth(CGFloat width, CGFloat screenHeight) {
    return width > screenHeight ? 162 : 216;
}

std::vector<KeyboardView::Key> KeyboardView::keys() const {
    std::vector<Key> out;
    CGRect b = bounds();
    std::vector<std::string> rows = numeric(traits_.keyboardType)
                                        ? std::vector<std::string>{"123", "456", "789"}
                                        : std::vector<std::string>{"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    CGFloat rowH = b.size.height / 4;
    CGFloat unit = b.size.width / 10;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        CGFloat w = numeric(traits_.keyboardType) ? b.size.width / 3 : unit;
        CGFloat x0 = (b.size.width - w * row.size()) / 2;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string k(1, row[i]);
            out.push_back({k, k, CGRectMake(x0 + i * w, r * rowH, w, rowH)});
        }
    }
    out.push_back({"\b", "\u232B", CGRectMake(b.size.width - 1.5 * unit, 2 * rowH, 1.5 * unit, rowH)});
    if (numeric(traits_.keyboardType)) {
        out.push_back({"0", "0", CGRectMake(b.size.width / 3, 3 * rowH, b.size.width / 3, rowH)});
        if (traits_.keyboardType == UIKeyboardType::DecimalPad)
            out.push_back({".", ".", CGRectMake(0, 3 * rowH, b.size.width / 3, rowH)});
        return out;
    }
    out.push_back({" ", "space", CGRectMake(2.5 * unit, 3 * rowH, 5 * unit, rowH)});
    out.push_back({"\n", returnLabel(traits_.returnKeyType), CGRectMake(7.5 * unit, 3 * rowH, 2.5 * unit, rowH)});
    return out;
}

std::optional<std::string> KeyboardView::keyAtPoint(CGPoint p) const {
    for (const auto& k : keys())
        if (CGRectContainsPoint(k.frame, p)) return k.value;
    return std::nullopt;
}

void KeyboardView::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (touches.empty()) return;
    auto key = keyAtPoint(touches.front()->locationInView(self<UIView>()));
    if (!key) return;
    auto& keyboard = UIKeyboard::shared();
    if (*key == "\b")
        keyboard.backspace();
    else if (*key == "\n")
        keyboard.pressReturn();
    else
        keyboard.type(*key);
}

void KeyboardView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    bool dark = traits_.keyboardAppearance == UIKeyboardAppearance::Dark;
    ctx->setFillColorWithColor((dark ? UIColor::colorWithWhite(0.2, 1) : UIColor::colorWithWhite(0.82, 1))->cgColor());
    UIRectFill(bounds());
    auto keyColor = dark ? UIColor::colorWithWhite(0.4, 1) : UIColor::whiteColor();
    auto textColor = dark ? UIColor::whiteColor() : UIColor::blackColor();
    for (const auto& k : keys()) {
        CGRect r = CGRectInset(k.frame, 3, 5);
        fillRoundedRect(r, 5,
                        k.value.size() == 1 && k.value != " " && k.value != "\n" && k.value != "\b"
                            ? keyColor
                            : UIColor::colorWithWhite(dark ? 0.3 : 0.7, 1));
        drawLabel(k.label, r, UIFont::systemFontOfSize(k.label.size() > 1 ? 14 : 20), textColor,
                  LabelAlignment::Center);
    }
}

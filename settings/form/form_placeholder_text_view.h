// A text view that shows a placeholder while its text is empty. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_text_view.h"

class FormPlaceholderTextView : public UITextView {
public:
    KORVA_MAKE(FormPlaceholderTextView)
    // The placeholder label's tag.
    static constexpr long kPlaceholderTag = 999;

    void init() override;
    ~FormPlaceholderTextView() override;

    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string p);
    std::shared_ptr<UIColor> placeholderColor() const { return placeholderColor_; }
    void setPlaceholderColor(std::shared_ptr<UIColor> c);
    // Made when a placeholder is first shown.
    const std::shared_ptr<UILabel>& placeholderLabel() const { return label_; }
    bool placeholderVisible() const { return label_ && label_->alpha() > 0; }

    void setText(std::string text) override;
    void layoutSubviews() override;
    std::string className() const override { return "FormPlaceholderTextView"; }

protected:
    explicit FormPlaceholderTextView(CGRect frame = CGRectZero) : UITextView(frame) {}

private:
    // Shows the placeholder exactly while the text is empty.
    void textChanged();

    std::string placeholder_;
    std::shared_ptr<UIColor> placeholderColor_;
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<NSObject> subscription_;
};

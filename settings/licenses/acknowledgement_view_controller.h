// One component's licence text in a read-only text view whose addresses are links. Main-thread
// only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/input/ui_text_view.h"

class AcknowledgementViewController : public UIViewController {
public:
    KORVA_MAKE(AcknowledgementViewController)
    static constexpr CGFloat kVerticalInset = 20;
    static constexpr CGFloat kSideInset = 10;

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    std::shared_ptr<UITextView> textView() const { return textView_.lock(); }

    void init() override;
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void viewLayoutMarginsDidChange() override;
    void updateTextViewInsets(UITextView& textView);
    std::string className() const override { return "AcknowledgementViewController"; }

protected:
    AcknowledgementViewController(std::string title, std::string text)
        : text_(std::move(text)), title0_(std::move(title)) {}

private:
    std::string text_;
    std::string title0_;
    std::weak_ptr<UITextView> textView_;
};

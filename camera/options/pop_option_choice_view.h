// The form the flash, self-timer and ratio pop-ups share: a small arrowed pop-up with one row of
// status buttons, one per value of a camera setting. A tap writes the value into the settings
// held by Global (in memory only), marks it and tells the delegate. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ui/popup/pop_arrowed_view.h"

class StatusButtonBase;
class PopOptionChoiceView;

class PopOptionChoiceViewDelegate {
public:
    virtual ~PopOptionChoiceViewDelegate() = default;
    virtual void onPopOptionChoiceViewValueChanged(PopOptionChoiceView& sender) = 0;
};

class PopOptionChoiceView : public PopArrowedView {
public:
    static constexpr CGFloat kButtonTop = 8;
    static constexpr CGSize kButtonSize{60, 40};
    static constexpr CGFloat kBodyInset = 1;

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) override;
    using PopArrowedView::show;
    // Titles, and the mark on the button whose value equals the setting.
    void updateView();

    void setDelegate(const std::shared_ptr<PopOptionChoiceViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopOptionChoiceViewDelegate> delegate() const { return delegate_.lock(); }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    // The buttons, left to right.
    std::vector<std::shared_ptr<StatusButtonBase>> buttons() const;
    // Taps the button at the index, as a user would.
    void choose(std::size_t index);

    std::string className() const override { return "PopOptionChoiceView"; }

protected:
    using PopArrowedView::PopArrowedView;

    struct Choice {
        std::shared_ptr<StatusButtonBase> button;
        CGFloat dx = 0;
        std::string title;
        std::function<void()> write;     // stores the value in the settings
        std::function<bool()> selected;  // whether the setting holds the value
    };
    virtual CGSize bodySize() const = 0;
    // The buttons in the order they are made, with their values.
    virtual std::vector<Choice> makeChoices() = 0;

private:
    void buildBody();

    std::weak_ptr<PopOptionChoiceViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::vector<Choice> choices_;
};

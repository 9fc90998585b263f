// The form the flash, self-timer and ratio pop-ups share: a small arrowed pop-up with one row of
// status buttons, one per value of a camera setting. A tap writes the value into the settings
// held by Global (in memory only), marks it and tells the delegate. Each pop-up has its own kind
// of delegate, so that a listener of several knows which one spoke. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ui/popup/pop_arrowed_view.h"

class StatusButtonBase;

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
    // Sends the pop-up's own changed operation to its delegate, if it still has one.
    virtual void notifyDelegate() = 0;

private:
    void buildBody();

    std::shared_ptr<UIView> b0_;
    std::vector<Choice> choices_;
};

// The self-timer choices: "OFF", "3 s", "5 s" and "10 s", each with a full countdown ring.
// Main-thread only.
#pragma once

#include "camera/options/pop_option_choice_view.h"

class StatusButtonTimer;
class PopOptionTimerView;

class PopOptionTimerViewDelegate {
public:
    virtual ~PopOptionTimerViewDelegate() = default;
    virtual void onPopOptionTimerViewValueChanged(PopOptionTimerView& sender) = 0;
};

class PopOptionTimerView : public PopOptionChoiceView {
public:
    KORVA_MAKE(PopOptionTimerView)
    static constexpr CGSize kSize{250, 56};

    const std::shared_ptr<StatusButtonTimer>& btnTimerOFF() const { return btnTimerOFF_; }
    const std::shared_ptr<StatusButtonTimer>& btnTimer3() const { return btnTimer3_; }
    const std::shared_ptr<StatusButtonTimer>& btnTimer5() const { return btnTimer5_; }
    const std::shared_ptr<StatusButtonTimer>& btnTimer10() const { return btnTimer10_; }

    void setDelegate(const std::shared_ptr<PopOptionTimerViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopOptionTimerViewDelegate> delegate() const { return delegate_.lock(); }

    std::string className() const override { return "PopOptionTimerView"; }

protected:
    using PopOptionChoiceView::PopOptionChoiceView;
    CGSize bodySize() const override { return kSize; }
    std::vector<Choice> makeChoices() override;
    void notifyDelegate() override;

private:
    std::weak_ptr<PopOptionTimerViewDelegate> delegate_;
    std::shared_ptr<StatusButtonTimer> btnTimerOFF_, btnTimer3_, btnTimer5_, btnTimer10_;
};

// The flash choices: "AUTO", "ON" and "OFF", all with the flash icon. Main-thread only.
#pragma once

#include "camera/options/pop_option_choice_view.h"

class StatusButtonImage;
class PopOptionFlashView;

class PopOptionFlashViewDelegate {
public:
    virtual ~PopOptionFlashViewDelegate() = default;
    virtual void onPopOptionFlashViewValueChanged(PopOptionFlashView& sender) = 0;
};

class PopOptionFlashView : public PopOptionChoiceView {
public:
    KORVA_MAKE(PopOptionFlashView)
    static constexpr CGSize kSize{190, 56};

    const std::shared_ptr<StatusButtonImage>& btnFlashAUTO() const { return btnFlashAUTO_; }
    const std::shared_ptr<StatusButtonImage>& btnFlashON() const { return btnFlashON_; }
    const std::shared_ptr<StatusButtonImage>& btnFlashOFF() const { return btnFlashOFF_; }

    void setDelegate(const std::shared_ptr<PopOptionFlashViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopOptionFlashViewDelegate> delegate() const { return delegate_.lock(); }

    std::string className() const override { return "PopOptionFlashView"; }

protected:
    using PopOptionChoiceView::PopOptionChoiceView;
    CGSize bodySize() const override { return kSize; }
    std::vector<Choice> makeChoices() override;
    void notifyDelegate() override;

private:
    std::weak_ptr<PopOptionFlashViewDelegate> delegate_;
    std::shared_ptr<StatusButtonImage> btnFlashAUTO_, btnFlashON_, btnFlashOFF_;
};

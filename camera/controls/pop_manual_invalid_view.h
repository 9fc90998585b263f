// The small "NOT SUPPORTED" pop-up shown in place of a control the camera cannot set by hand.
// Main-thread only.
#pragma once

#include "camera/controls/pop_manual_base.h"

class UILabel;

class PopManualInvalidView : public PopManualBase {
public:
    KORVA_MAKE(PopManualInvalidView)
    static constexpr CGSize kSize{300, 100};

    void init() override;
    void updateView() override;
    void show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion);
    void hide(Callback completion) override;
    using PopManualBase::show;

    void setDelegate(const std::shared_ptr<PopManualBaseDelegate>& d) { setBaseDelegate(d); }
    const std::shared_ptr<UILabel>& label() const { return label_; }

    std::string className() const override { return "PopManualInvalidView"; }

protected:
    using PopManualBase::PopManualBase;

private:
    std::shared_ptr<UILabel> label_;
};

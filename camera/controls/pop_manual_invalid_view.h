// The small "NOT SUPPORTED" pop-up shown in place of a control the camera cannot set by hand.
// Main-thread only.
#pragma once

#include "camera/controls/pop_manual_base.h"

class UILabel;

// The "NOT SUPPORTED" pop-up's own kind of delegate: the questions every manual pop-up asks, nothing added.
class PopManualInvalidViewDelegate : public PopManualBaseDelegate {};

class PopManualInvalidView : public PopManualBase {
public:
    KORVA_MAKE(PopManualInvalidView)
    static constexpr CGSize kSize{300, 100};

    void init() override;
    void updateView() override;
    void show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion);
    void hide(Callback completion) override;
    using PopManualBase::show;

    const std::shared_ptr<UILabel>& label() const { return label_; }

    void setDelegate(const std::shared_ptr<PopManualInvalidViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopManualInvalidViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const override { return delegate(); }

    std::string className() const override { return "PopManualInvalidView"; }

protected:
    using PopManualBase::PopManualBase;

private:
    std::shared_ptr<UILabel> label_;
    std::weak_ptr<PopManualInvalidViewDelegate> delegate_;
};

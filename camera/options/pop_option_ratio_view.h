// The image-ratio choices "3:4", "9:16", "2:3" and "1:1", each showing its outline; the pop-up
// also lends the outlines to the option pop-up's ratio button. Main-thread only.
#pragma once

#include <cstdint>
#include <optional>

#include "camera/options/pop_option_choice_view.h"
#include "foundation/camera_settings.h"
#include "platform/ui/draw/path.h"

class StatusButtonPath;
class PopOptionRatioView;

class PopOptionRatioViewDelegate {
public:
    virtual ~PopOptionRatioViewDelegate() = default;
    virtual void onPopOptionRatioViewValueChanged(PopOptionRatioView& sender) = 0;
};

class PopOptionRatioView : public PopOptionChoiceView {
public:
    KORVA_MAKE(PopOptionRatioView)
    static constexpr CGSize kSize{250, 56};
    // Where the outline's centre sits in the button's 20 x 20 icon box.
    static constexpr CGPoint kOutlineOrigin{10, 10};
    static constexpr CGSize kOutlineBox{20, 20};

    // The outline of an image ratio (0 1:1, 1 2:3, 2 3:4, 3 9:16); none for other values.
    std::optional<CGPath> getBezierPath(ImageRatio ratio) const;

    const std::shared_ptr<StatusButtonPath>& btnRatio3_4() const { return btnRatio3_4_; }
    const std::shared_ptr<StatusButtonPath>& btnRatio9_16() const { return btnRatio9_16_; }
    const std::shared_ptr<StatusButtonPath>& btnRatio2_3() const { return btnRatio2_3_; }
    const std::shared_ptr<StatusButtonPath>& btnRatio1_1() const { return btnRatio1_1_; }

    void setDelegate(const std::shared_ptr<PopOptionRatioViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<PopOptionRatioViewDelegate> delegate() const { return delegate_.lock(); }

    std::string className() const override { return "PopOptionRatioView"; }

protected:
    using PopOptionChoiceView::PopOptionChoiceView;
    CGSize bodySize() const override { return kSize; }
    std::vector<Choice> makeChoices() override;
    void notifyDelegate() override;

private:
    std::weak_ptr<PopOptionRatioViewDelegate> delegate_;
    std::optional<CGPath> path3_4_, path9_16_, path2_3_, path1_1_;
    std::shared_ptr<StatusButtonPath> btnRatio3_4_, btnRatio9_16_, btnRatio2_3_, btnRatio1_1_;
};

// The ratio chooser of the rectangle editor: five buttons, "FREE", "3:4", "9:16", "2:3" and "1:1",
// each drawn as a small outline of its shape, the delegate's current one selected. It keeps no
// index of its own: it asks the delegate and tells it of a choice. Main-thread only.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/draw/path.h"
#include "ui/popup/pop_arrowed_view.h"

class StatusButtonPath;
class PopAdjRectRatioView;

class PopAdjRectRatioViewDelegate {
public:
    virtual ~PopAdjRectRatioViewDelegate() = default;
    virtual long onPopAdjRectRatioViewGetValue(PopAdjRectRatioView& chooser) = 0;
    virtual void onPopAdjRectRatioViewValueChanged(PopAdjRectRatioView& chooser, long index) = 0;
};

class PopAdjRectRatioView : public PopArrowedView {
public:
    KORVA_MAKE(PopAdjRectRatioView)
    static constexpr int kRatioCount = 5;
    static constexpr CGSize kSize{300, 56};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) override;
    using PopArrowedView::show;
    // Titles from the table, the delegate's index selected.
    void updateView();
    // The title and outline of a ratio; none outside 0 to 4.
    static std::optional<std::string> getTitle(long index);
    static std::optional<CGPath> getBezierPath(long index);
    // A button's choice: reported first, then reselected from the delegate's answer.
    void onRatio(long index);

    std::shared_ptr<PopAdjRectRatioViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopAdjRectRatioViewDelegate>& d) { delegate_ = d; }
    // The buttons by ratio index.
    const std::array<std::shared_ptr<StatusButtonPath>, kRatioCount>& buttons() const { return buttons_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }

    std::string className() const override { return "PopAdjRectRatioView"; }

protected:
    using PopArrowedView::PopArrowedView;

private:
    std::weak_ptr<PopAdjRectRatioViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::array<std::shared_ptr<StatusButtonPath>, kRatioCount> buttons_;
};

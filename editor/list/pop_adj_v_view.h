// A parameter pop-up that lists the items as a column of buttons under a title bar with the
// filter's name; a button opens its item's editor anchored on it. At most two and a half buttons
// show at once, the rest scroll. Main-thread only.
#pragma once

#include <vector>

#include "editor/adjust/pop_adj_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "ui/popup/title_view.h"

class IconButton;

class PopAdjVView : public PopAdjView, public TitleViewDelegate, public UIScrollViewDelegate {
public:
    KORVA_MAKE(PopAdjVView)
    static constexpr CGFloat kTitleHeight = 45;
    static constexpr CGFloat kBottomInset = 5;
    static constexpr CGFloat kWidth = 200;
    static constexpr CGFloat kPitch = 50;
    static constexpr CGRect kFirstButton{{20, 5}, {160, 40}};
    static constexpr CGFloat kContentWidth = 190;
    static constexpr float kMaxVisible = 2.5;

    void init() override;

    // Shows the column of the attribute set's items at the anchor, titled with its name.
    void show(const std::shared_ptr<NSObject>& sender, const Value& attrs, Callback completion);
    using PopAdjView::show;
    void updateData() override;
    // Opens the item of the button; a button not in the column does nothing.
    void onButton(IconButton& button);

    void onTitleViewLeft(TitleView&, IconButton&) override {}
    void onTitleViewRight(TitleView&, IconButton&) override {}

    const std::shared_ptr<TitleView>& titleView();
    const std::shared_ptr<UIScrollView>& scroll() const { return scroll_; }
    const std::vector<std::shared_ptr<IconButton>>& buttons() const { return buttons_; }

    std::string className() const override { return "PopAdjVView"; }

protected:
    using PopAdjView::PopAdjView;

private:
    std::shared_ptr<TitleView> titleView_;
    std::shared_ptr<UIScrollView> scroll_;
    std::vector<std::shared_ptr<IconButton>> buttons_;
};

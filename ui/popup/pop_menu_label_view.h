// An arrowed pop-up holding a label row, sized to the row. Main-thread only.
#pragma once

#include "ui/controls/menu_label_view.h"
#include "ui/popup/pop_arrowed_view.h"

class PopMenuLabelView;

class PopMenuLabelViewDelegate {
public:
    virtual ~PopMenuLabelViewDelegate() = default;
    virtual std::vector<std::string> onPopMenuLabelViewGetArray(PopMenuLabelView& pop) = 0;
    virtual void onPopMenuLabelViewLabelTap(PopMenuLabelView& pop, long index, UIButton& sender) = 0;
};

class PopMenuLabelView : public PopArrowedView, public MenuLabelViewDelegate {
public:
    KORVA_MAKE(PopMenuLabelView)
    static constexpr CGFloat kHeight = 52;

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) override;
    using PopArrowedView::show;

    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView&) override;
    void onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton& sender) override;

    void setDelegate(const std::shared_ptr<PopMenuLabelViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<MenuLabelView>& menu() const { return menu_; }

    std::string className() const override { return "PopMenuLabelView"; }

protected:
    explicit PopMenuLabelView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

private:
    std::weak_ptr<PopMenuLabelViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<MenuLabelView> menu_;
};

// An image-over-caption button of the custom tab container; the caption must be set before the
// first layout, which chooses between the captioned and the image-only arrangement. Main-thread only.
#pragma once

#include "ui/layout/my_view.h"

class AnimButton;
class TabBarButton;
class UIButton;

class TabBarButtonDelegate {
public:
    virtual ~TabBarButtonDelegate() = default;
    virtual void onTabBarButtonTap(TabBarButton& button) = 0;
};

class TabBarButton : public MyView {
public:
    KORVA_MAKE(TabBarButton)
    void setup() override;
    void relayout() override;
    void setDelegate(const std::shared_ptr<TabBarButtonDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<AnimButton>& image() const { return image_; }
    const std::shared_ptr<UIButton>& text() const { return text_; }
    std::string className() const override { return "TabBarButton"; }

protected:
    using MyView::MyView;

private:
    void onTap();

    std::weak_ptr<TabBarButtonDelegate> delegate_;
    std::shared_ptr<AnimButton> image_;
    std::shared_ptr<UIButton> text_;
};

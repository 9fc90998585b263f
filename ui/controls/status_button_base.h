// Small icon-over-caption buttons for rows of camera options; the kinds differ in their icon.
// A tap anywhere on the button, caption and icon included, sends the action once. Main-thread only.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/view/ui_view.h"

class UIButton;

class StatusButtonBase : public UIView {
public:
    using Action = std::function<void()>;
    static constexpr CGFloat kCaptionHeight = 15;
    static constexpr CGSize kIconSize{20, 20};

    void init() override;

    // Sends the action on a tap anywhere on the button (and on the caption's own touch-up-inside,
    // for callers that send it directly).
    virtual void addTarget(Action action);
    void setTitle(const std::string& title);
    std::string title() const;
    // Orange caption for the current choice, white otherwise.
    void setSelected(bool selected);

    const std::shared_ptr<UIButton>& label() const { return label_; }

protected:
    using UIView::UIView;
    // Adds the icon view centred along the top edge.
    void addIcon(const std::shared_ptr<UIView>& icon);

private:
    std::shared_ptr<UIButton> label_;
};

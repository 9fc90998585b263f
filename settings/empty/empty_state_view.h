// The placeholder shown over an empty list: an image, a title, a detail text and a button stacked
// in a centred content view, or a view of the owner's own. Touches on anything but the button, a
// custom view or the content view's bare area fall through to the list. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/view/ui_view.h"

class UIButton;
class UIImageView;
class UILabel;
class UITapGestureRecognizer;

class EmptyStateView : public UIView {
public:
    KORVA_MAKE(EmptyStateView)
    // The default gap between stacked pieces, and the fade-in time.
    static constexpr CGFloat kDefaultGap = 11;
    static constexpr double kFadeInDuration = 0.25;
    static constexpr CGFloat kTitleFontSize = 27;
    static constexpr CGFloat kDetailFontSize = 17;

    void init() override;

    // The pieces, each made on first use inside the content view.
    const std::shared_ptr<UIView>& contentView() const { return contentView_; }
    std::shared_ptr<UILabel> titleLabel();
    std::shared_ptr<UILabel> detailLabel();
    std::shared_ptr<UIImageView> imageView();
    std::shared_ptr<UIButton> button();
    // Without making them.
    bool hasTitleLabel() const { return titleLabel_ != nullptr; }
    bool hasDetailLabel() const { return detailLabel_ != nullptr; }
    bool hasImageView() const { return imageView_ != nullptr; }
    bool hasButton() const { return button_ != nullptr; }

    const std::shared_ptr<UIView>& customView() const { return customView_; }
    // None is ignored; a new view replaces the previous one.
    void setCustomView(std::shared_ptr<UIView> view);
    const std::shared_ptr<UITapGestureRecognizer>& tapGesture() const { return tapGesture_; }
    void setTapGesture(std::shared_ptr<UITapGestureRecognizer> tap) { tapGesture_ = std::move(tap); }

    CGFloat verticalOffset() const { return verticalOffset_; }
    void setVerticalOffset(CGFloat offset) { verticalOffset_ = offset; }
    CGFloat verticalSpace() const { return verticalSpace_; }
    void setVerticalSpace(CGFloat space) { verticalSpace_ = space; }
    bool fadeInOnDisplay() const { return fadeInOnDisplay_; }
    void setFadeInOnDisplay(bool fade) { fadeInOnDisplay_ = fade; }

    bool canShowImage() const;
    bool canShowTitle() const;
    bool canShowDetail() const;
    bool canShowButton() const;

    // Empties the content view and forgets every piece and constraint.
    void prepareForReuse();
    void removeAllConstraints();
    // Centres the content view and stacks the pieces that can show.
    void setupConstraints();

    // Where a tap on the button goes, one run-loop turn later (set by the list it is shown on).
    void setOnTapButton(std::function<void(UIButton&)> handler) { onTapButton_ = std::move(handler); }
    void didTapButton(UIButton& button);

    void didMoveToSuperview() override;
    std::shared_ptr<UIView> hitTest(CGPoint point) override;
    std::string className() const override { return "EmptyStateView"; }

protected:
    EmptyStateView() = default;

private:
    std::shared_ptr<UILabel> makeLabel(CGFloat fontSize, const char* identifier);

    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> titleLabel_, detailLabel_;
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<UIButton> button_;
    std::shared_ptr<UIView> customView_;
    std::shared_ptr<UITapGestureRecognizer> tapGesture_;
    CGFloat verticalOffset_ = 0;
    CGFloat verticalSpace_ = 0;
    bool fadeInOnDisplay_ = false;
    std::function<void(UIButton&)> onTapButton_;
};

// Flashes a black pill-shaped caption in the middle of a parent view: it stands at alpha 0.6 for
// a second and fades out over 0.7 s. Not a view itself; its label stays in the parent between
// messages. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIFont;
class UILabel;
class UIView;

class MessageView : public NSObject {
public:
    KORVA_MAKE(MessageView)
    static constexpr double kHoldDelay = 1.0;
    static constexpr double kFadeDuration = 0.7;
    static constexpr CGFloat kShownAlpha = 0.6;

    void init() override;
    void showNormal(const std::string& text, bool landscape);
    void showBig(const std::string& text, bool landscape);
    void showMessage0(const std::string& text, bool landscape);
    void hide();
    void hideNow();

    const std::shared_ptr<UILabel>& label();
    CGAffineTransform transform() const { return transform_; }
    void setTransform(CGAffineTransform t) { transform_ = t; }

    std::string className() const override { return "MessageView"; }

protected:
    MessageView(const std::shared_ptr<UIView>& parent, std::shared_ptr<UIFont> normal, std::shared_ptr<UIFont> big)
        : parent_(parent), fontNormal_(std::move(normal)), fontBig_(std::move(big)) {}

private:
    void show(const std::string& text, bool landscape, const std::shared_ptr<UIFont>& font);

    std::weak_ptr<UIView> parent_;
    std::shared_ptr<UIFont> fontNormal_, fontBig_;
    std::shared_ptr<UILabel> label_;
    CGAffineTransform transform_ = CGAffineTransformIdentity;
};

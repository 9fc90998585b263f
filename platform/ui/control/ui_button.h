// Buttons: a title and an image per control state, laid out together with content alignment and
// insets; the system type takes its title colour from the tint and dims while highlighted.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_control.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"

enum class UIButtonType {
    Custom = 0,
    System = 1,
    DetailDisclosure = 2,
    InfoLight = 3,
    InfoDark = 4,
    ContactAdd = 5,
    Close = 7
};

class UIButton : public UIControl {
public:
    KORVA_MAKE(UIButton)
    static std::shared_ptr<UIButton> buttonWithType(UIButtonType type);
    void init() override;

    UIButtonType buttonType() const { return type_; }

    // Per-state values; a state without its own value shows the normal state's.
    void setTitle(std::optional<std::string> title, UIControlState state);
    std::optional<std::string> titleForState(UIControlState state) const;
    void setAttributedTitle(std::shared_ptr<NSAttributedString> title, UIControlState state);
    std::shared_ptr<NSAttributedString> attributedTitleForState(UIControlState state) const;
    void setTitleColor(std::shared_ptr<UIColor> color, UIControlState state);
    std::shared_ptr<UIColor> titleColorForState(UIControlState state) const;
    // Drawn as the title label's shadow; none means no shadow.
    void setTitleShadowColor(std::shared_ptr<UIColor> color, UIControlState state);
    std::shared_ptr<UIColor> titleShadowColorForState(UIControlState state) const;
    void setImage(std::shared_ptr<UIImage> image, UIControlState state);
    std::shared_ptr<UIImage> imageForState(UIControlState state) const;
    void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlState state);
    std::shared_ptr<UIImage> backgroundImageForState(UIControlState state) const;

    std::optional<std::string> currentTitle() const { return titleForState(state()); }
    std::shared_ptr<UIColor> currentTitleColor() const { return titleColorForState(state()); }
    std::shared_ptr<UIImage> currentImage() const { return imageForState(state()); }

    const std::shared_ptr<UILabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<UIImageView>& imageView() const { return imageView_; }

    UIEdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(UIEdgeInsets i);
    UIEdgeInsets titleEdgeInsets() const { return titleInsets_; }
    void setTitleEdgeInsets(UIEdgeInsets i);
    UIEdgeInsets imageEdgeInsets() const { return imageInsets_; }
    void setImageEdgeInsets(UIEdgeInsets i);
    bool adjustsImageWhenHighlighted() const { return adjustsImageWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool a) { adjustsImageWhenHighlighted_ = a; }

    // Where the title and image go within the bounds.
    CGRect contentRectForBounds(CGRect bounds) const;
    CGRect titleRectForContentRect(CGRect contentRect) const;
    CGRect imageRectForContentRect(CGRect contentRect) const;

    void layoutSubviews() override;
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    void tintColorDidChange() override;
    std::string className() const override { return "UIButton"; }

protected:
    explicit UIButton(CGRect frame = CGRectZero);
    // For the factories of subclasses: the type alone, without the type's default font.
    void setButtonType(UIButtonType type);
    void stateDidChange() override;
    UIControlEvents touchUpInsideExtraEvents() const override { return UIControlEventPrimaryActionTriggered; }

private:
    template <class T>
    static T pick(const std::map<UIControlState, T>& table, UIControlState state);
    void refresh();
    CGSize titleSize() const;
    CGSize imageSize() const;
    // The block of image and title side by side, placed by the content alignment.
    std::pair<CGRect, CGRect> placeContent(CGRect contentRect) const;

    UIButtonType type_ = UIButtonType::Custom;
    std::map<UIControlState, std::optional<std::string>> titles_;
    std::map<UIControlState, std::shared_ptr<NSAttributedString>> attributedTitles_;
    std::map<UIControlState, std::shared_ptr<UIColor>> titleColors_;
    std::map<UIControlState, std::shared_ptr<UIColor>> titleShadowColors_;
    std::map<UIControlState, std::shared_ptr<UIImage>> images_;
    std::map<UIControlState, std::shared_ptr<UIImage>> backgroundImages_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<UIImageView> backgroundView_;
    UIEdgeInsets contentInsets_, titleInsets_, imageInsets_;
    bool adjustsImageWhenHighlighted_ = true;
};

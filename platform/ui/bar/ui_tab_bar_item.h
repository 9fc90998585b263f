// One tab of a tab bar: title, image, selected image, badge and tag.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/draw/image.h"

class UITabBarItem : public NSObject {
public:
    KORVA_MAKE(UITabBarItem)

    const std::string& title() const { return title_; }
    void setTitle(std::string t) { title_ = std::move(t); }
    std::shared_ptr<UIImage> image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> i) { image_ = std::move(i); }
    std::shared_ptr<UIImage> selectedImage() const { return selectedImage_ ? selectedImage_ : image_; }
    void setSelectedImage(std::shared_ptr<UIImage> i) { selectedImage_ = std::move(i); }
    // Empty: no badge.
    const std::string& badgeValue() const { return badge_; }
    void setBadgeValue(std::string b) { badge_ = std::move(b); }
    long tag() const { return tag_; }
    void setTag(long t) { tag_ = t; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }

    std::string className() const override { return "UITabBarItem"; }

protected:
    UITabBarItem(std::string title, std::shared_ptr<UIImage> image, long tag)
        : title_(std::move(title)), image_(std::move(image)), tag_(tag) {}

private:
    std::string title_;
    std::shared_ptr<UIImage> image_;
    std::shared_ptr<UIImage> selectedImage_;
    std::string badge_;
    long tag_ = 0;
    bool enabled_ = true;
};

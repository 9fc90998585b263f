// The look of a form section's rows: height, margins, selection style, and background images
// chosen by the row's position in its section. Main-thread only.
#pragma once

#include <map>
#include <memory>

#include "platform/ui/draw/image.h"
#include "platform/ui/table/ui_table_view_cell.h"

// A row's position in its section.
enum class FormCellPosition { First = 0, Middle = 1, Last = 2, Single = 3, Any = 4 };

class FormTableViewCellStyle : public NSObject {
public:
    KORVA_MAKE(FormTableViewCellStyle)

    CGFloat cellHeight = 44.0;
    UITableViewCellSelectionStyle defaultCellSelectionStyle = UITableViewCellSelectionStyle::Blue;
    // Left and right insets of the background images and of the content.
    CGFloat backgroundImageMargin = 0;
    CGFloat contentViewMargin = 0;

    // The image stored for the position, else the one for Any.
    std::shared_ptr<UIImage> backgroundImageForCellType(FormCellPosition position) const;
    // A null image is ignored.
    void setBackgroundImage(std::shared_ptr<UIImage> image, FormCellPosition position);
    bool hasCustomBackgroundImage() const;
    std::shared_ptr<UIImage> selectedBackgroundImageForCellType(FormCellPosition position) const;
    void setSelectedBackgroundImage(std::shared_ptr<UIImage> image, FormCellPosition position);
    bool hasCustomSelectedBackgroundImage() const;

    std::shared_ptr<FormTableViewCellStyle> copy() const;

    std::string className() const override { return "FormTableViewCellStyle"; }

protected:
    FormTableViewCellStyle() = default;

private:
    using Images = std::map<FormCellPosition, std::shared_ptr<UIImage>>;
    static std::shared_ptr<UIImage> lookup(const Images& images, FormCellPosition position);
    static bool any(const Images& images);

    Images backgrounds_, selectedBackgrounds_;
};

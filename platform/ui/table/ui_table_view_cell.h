// The table's row view: a content view with a title label, an optional detail label and image,
// an accessory, selection and highlight states, and the reuse identifier the table recycles by.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/view/ui_view.h"

enum class UITableViewCellStyle { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };
enum class UITableViewCellSelectionStyle { None = 0, Blue = 1, Gray = 2, Default = 3 };
enum class UITableViewCellAccessoryType {
    None = 0,
    DisclosureIndicator = 1,
    DetailDisclosureButton = 2,
    Checkmark = 3,
    DetailButton = 4
};
enum class UITableViewCellEditingStyle { None = 0, Delete = 1, Insert = 2 };

class UITableView;

class UITableViewCell : public UIView {
public:
    KORVA_MAKE(UITableViewCell)
    void init() override;

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    UITableViewCellStyle style() const { return style_; }
    std::shared_ptr<UIView> contentView() const { return contentView_; }
    // The title label; the detail label exists for the value and subtitle styles (made on first
    // access for the default style, as the platform does not show it there).
    std::shared_ptr<UILabel> textLabel() const { return textLabel_; }
    std::shared_ptr<UILabel> detailTextLabel();
    std::shared_ptr<UIImageView> imageView() const { return imageView_; }

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType t) {
        accessoryType_ = t;
        setNeedsLayout();
        setNeedsDisplay();
    }
    std::shared_ptr<UIView> accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<UIView> v);
    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle s) { selectionStyle_ = s; }
    std::shared_ptr<UIView> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> v);
    std::shared_ptr<UIView> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<UIView> v);

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected, bool animated);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted, bool animated);
    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing, bool animated);
    CGFloat indentationLevel() const { return indentationLevel_; }
    void setIndentationLevel(CGFloat l) {
        indentationLevel_ = l;
        setNeedsLayout();
    }
    UIEdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(UIEdgeInsets i) {
        separatorInset_ = i;
        setNeedsDisplay();
    }

    // The table's separator line along the bottom edge (drawn by the cell, from the inset).
    void setSeparator(bool visible, std::shared_ptr<UIColor> color) {
        separatorVisible_ = visible;
        separatorColor_ = std::move(color);
        setNeedsDisplay();
    }

    // Editing controls, set by the table while it edits: the control of the row's editing style
    // at the leading edge, a reorder grip at the trailing edge when the row can move, and the
    // delete confirmation button (none hides it).
    static constexpr CGFloat kEditingControlWidth = 38;
    static constexpr CGFloat kReorderControlWidth = 40;
    UITableViewCellEditingStyle editingControlStyle() const { return controlStyle_; }
    bool showsReorderControl() const { return reorder_; }
    void setEditingControls(UITableViewCellEditingStyle style, bool reorder);
    const std::optional<std::string>& deleteConfirmationTitle() const { return confirmation_; }
    void showDeleteConfirmation(std::optional<std::string> title);
    // The confirmation button's rectangle in the cell's bounds (zero when hidden).
    CGRect deleteConfirmationRect() const;

    // The height the cell needs at the width: a value-1 cell grows, beyond the minimum, to hold
    // its labels wrapped (each up to its number of lines) with a margin above and below; other
    // styles keep the minimum. Lays the cell out at that width.
    static constexpr CGFloat kFittingMargin = 11;
    CGFloat heightFittingWidth(CGFloat width, CGFloat minimum);

    // Called before the table hands the cell out again.
    virtual void prepareForReuse();

    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UITableViewCell"; }

protected:
    explicit UITableViewCell(UITableViewCellStyle style = UITableViewCellStyle::Default,
                             std::string reuseIdentifier = {});

private:
    void updateSelectionLook();
    void drawEditingControls(CGRect bounds);

    std::string reuseIdentifier_;
    UITableViewCellStyle style_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_;
    std::shared_ptr<UILabel> detailTextLabel_;
    std::shared_ptr<UIImageView> imageView_;
    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryType::None;
    std::shared_ptr<UIView> accessoryView_;
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyle::Default;
    std::shared_ptr<UIView> backgroundView_;
    std::shared_ptr<UIView> selectedBackgroundView_;
    bool selected_ = false;
    bool highlighted_ = false;
    bool editing_ = false;
    CGFloat indentationLevel_ = 0;
    UIEdgeInsets separatorInset_{0, 15, 0, 0};
    bool separatorVisible_ = false;
    UITableViewCellEditingStyle controlStyle_ = UITableViewCellEditingStyle::None;
    bool reorder_ = false;
    std::optional<std::string> confirmation_;
    std::shared_ptr<UIColor> separatorColor_;
};

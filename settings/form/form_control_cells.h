// The cells of the switch, segmented and slider rows. Each reads its item whenever the row is
// shown, follows the item's "enabled" live, and writes the user's changes back before the item's
// handler runs. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/control/ui_segmented_control.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/layout/layout_constraint.h"
#include "settings/form/form_control_items.h"
#include "settings/form/form_table_view_cell.h"

class FormTableViewBoolCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewBoolCell)
    std::shared_ptr<FormBoolItem> boolItem() const {
        return std::dynamic_pointer_cast<FormBoolItem>(formItemObject(item()));
    }
    const std::shared_ptr<UISwitch>& switchView() const { return switch_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;
    void switchValueDidChange();

    std::string className() const override { return "FormTableViewBoolCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UISwitch> switch_;
    // The switch's distance from the right edge, kept to the margin of the row's section.
    std::vector<std::shared_ptr<NSLayoutConstraint>> trailing_;
};

class FormTableViewSegmentedCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewSegmentedCell)
    std::shared_ptr<FormSegmentedItem> segmentedItem() const {
        return std::dynamic_pointer_cast<FormSegmentedItem>(formItemObject(item()));
    }
    const std::shared_ptr<UISegmentedControl>& segmentedControl() const { return control_; }
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& horizontalConstraints() const { return horizontal_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;
    void segmentValueDidChange();

    std::string className() const override { return "FormTableViewSegmentedCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UISegmentedControl> control_;
    std::vector<std::shared_ptr<NSLayoutConstraint>> horizontal_;
};

class FormTableViewFloatCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewFloatCell)
    std::shared_ptr<FormFloatItem> floatItem() const {
        return std::dynamic_pointer_cast<FormFloatItem>(formItemObject(item()));
    }
    const std::shared_ptr<UISlider>& sliderView() const { return slider_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;
    void sliderValueDidChange();

    std::string className() const override { return "FormTableViewFloatCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UISlider> slider_;
};

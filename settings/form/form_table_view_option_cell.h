// The row of a choice item: the title on the left, the current choice on the right, and a
// disclosure arrow.
#pragma once

#include "platform/ui/control/ui_label.h"
#include "settings/form/form_table_view_cell.h"

class FormTableViewOptionCell : public FormTableViewCell {
public:
    KORVA_MAKE(FormTableViewOptionCell)
    using FormTableViewCell::canFocusWithItem;
    using FormTableViewCell::heightWithItem;

    const std::shared_ptr<UILabel>& valueLabel() const { return valueLabel_; }

    void cellDidLoad() override;
    // Refreshes on its own, without the base refresh.
    void cellWillAppear() override;
    void layoutSubviews() override;
    void setEnabled(bool e) override;

    std::string className() const override { return "FormTableViewOptionCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    std::shared_ptr<UILabel> valueLabel_;
};

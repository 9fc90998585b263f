// The row that opens below a date or picker row and carries its editor control across its whole
// width. Main-thread only.
#pragma once

#include <memory>

#include "settings/form/form_table_view_cell.h"

class FormInlineEditorRowCell : public FormTableViewCell {
public:
    static constexpr double kHeight = 216;
    static double heightWithItem(const FormItem&, const FormTableViewManager&) { return kHeight; }

    void layoutSubviews() override;
    void setEnabled(bool e) override;

protected:
    using FormTableViewCell::FormTableViewCell;
    // Puts the editor into the row; called once, from the subclass's cellDidLoad.
    void setEditor(std::shared_ptr<UIView> editor);

private:
    std::shared_ptr<UIView> editor_;
};

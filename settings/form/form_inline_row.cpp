// Keyboard-style editing start of the picker and date rows.
#include "settings/form/form_inline_row.h"

#include "platform/ui/input/text_input_traits.h"

void formBeginRowEditing(FormTableViewCell& cell, UITextField& field) {
    if (!cell.isSelected()) cell.setSelected(true, false);
    field.setReturnKeyType(cell.indexPathForNextResponder() ? UIReturnKeyType::Next : UIReturnKeyType::Default);
    cell.updateActionBarNavigationControl();
    if (auto table = cell.parentTableView())
        table->scrollToRowAtIndexPath({static_cast<std::size_t>(std::max(0L, cell.sectionIndex())),
                                       static_cast<std::size_t>(std::max(0L, cell.rowIndex()))},
                                      UITableViewScrollPosition::Top, true);
}

// Rows whose value is picked on a control that opens as a row of its own below them (the inline
// picker and date picker), and their shared keyboard-style editing start.
#pragma once

#include <memory>

#include "platform/ui/input/ui_text_field.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_section.h"

// Opens the inline row right below `owner` (storing it in `slot`) when none is open, else closes
// it; the row fades in or out. The owner's row is left unselected either way. Answers whether the
// row is now open.
template <class InlineItem, class Owner>
bool formToggleInlineRow(FormTableViewCell& cell, const std::shared_ptr<Owner>& owner,
                         std::shared_ptr<InlineItem>& slot,
                         std::shared_ptr<InlineItem> (*makeInline)(const std::shared_ptr<Owner>&)) {
    cell.setSelected(false, false);
    owner->deselectRowAnimated(false);
    auto section = owner->section();
    auto table = cell.parentTableView();
    if (!section) return false;
    if (!slot) {
        auto own = section->indexOfItem(*owner);
        if (!own) return false;
        slot = makeInline(owner);
        section->insertItem(slot, *own + 1);
        if (auto path = slot->indexPath(); path && table)
            table->insertRowsAtIndexPaths({*path}, UITableViewRowAnimation::Fade);
        return true;
    }
    auto path = slot->indexPath();
    if (auto at = section->indexOfItem(*slot)) section->removeItemAtIndex(*at);
    slot.reset();
    if (path && table) table->deleteRowsAtIndexPaths({*path}, UITableViewRowAnimation::Fade);
    return false;
}

// The start of keyboard-style editing: the row is selected, the return key says Next when a
// later row takes the keyboard, the bar's Previous and Next follow, and the row scrolls to the top.
void formBeginRowEditing(FormTableViewCell& cell, UITextField& field);

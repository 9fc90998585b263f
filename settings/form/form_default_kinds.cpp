// The row kinds of the kit: each cell class by name, and the item/cell pairs that every manager
// registers. A new row kind adds its lines here.
#include "settings/form/form_cell_class.h"
#include "settings/form/form_control_cells.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_credit_card_cell.h"
#include "settings/form/form_table_view_date_time_cell.h"
#include "settings/form/form_table_view_long_text_cell.h"
#include "settings/form/form_table_view_option_cell.h"
#include "settings/form/form_table_view_picker_cell.h"
#include "settings/form/form_table_view_text_cell.h"

void formRegisterDefaultKinds() {
    FormCellClasses::add(formCellClass<FormTableViewCell>("FormTableViewCell"));
    FormCellClasses::add(formCellClass<FormTableViewTextCell>("FormTableViewTextCell"));
    FormCellClasses::add(formCellClass<FormTableViewNumberCell>("FormTableViewNumberCell"));
    FormCellClasses::add(formCellClass<FormTableViewLongTextCell>("FormTableViewLongTextCell"));
    FormCellClasses::add(formCellClass<FormTableViewOptionCell>("FormTableViewOptionCell"));
    FormCellClasses::add(formCellClass<FormTableViewBoolCell>("FormTableViewBoolCell"));
    FormCellClasses::add(formCellClass<FormTableViewSegmentedCell>("FormTableViewSegmentedCell"));
    FormCellClasses::add(formCellClass<FormTableViewFloatCell>("FormTableViewFloatCell"));
    FormCellClasses::add(formCellClass<FormTableViewPickerCell>("FormTableViewPickerCell"));
    FormCellClasses::add(formCellClass<FormTableViewInlinePickerCell>("FormTableViewInlinePickerCell"));
    FormCellClasses::add(formCellClass<FormTableViewDateTimeCell>("FormTableViewDateTimeCell"));
    FormCellClasses::add(formCellClass<FormTableViewInlineDatePickerCell>("FormTableViewInlineDatePickerCell"));
    FormCellClasses::add(formCellClass<FormTableViewCreditCardCell>("FormTableViewCreditCardCell"));

    FormCellClasses::addDefaultPair("NSString", "FormTableViewCell");
    FormCellClasses::addDefaultPair("FormTableViewItem", "FormTableViewCell");
    FormCellClasses::addDefaultPair("FormRadioItem", "FormTableViewOptionCell");
    FormCellClasses::addDefaultPair("FormMultipleChoiceItem", "FormTableViewOptionCell");
    FormCellClasses::addDefaultPair("FormTextItem", "FormTableViewTextCell");
    FormCellClasses::addDefaultPair("FormLongTextItem", "FormTableViewLongTextCell");
    FormCellClasses::addDefaultPair("FormNumberItem", "FormTableViewNumberCell");
    FormCellClasses::addDefaultPair("FormBoolItem", "FormTableViewBoolCell");
    FormCellClasses::addDefaultPair("FormSegmentedItem", "FormTableViewSegmentedCell");
    FormCellClasses::addDefaultPair("FormFloatItem", "FormTableViewFloatCell");
    FormCellClasses::addDefaultPair("FormPickerItem", "FormTableViewPickerCell");
    FormCellClasses::addDefaultPair("FormInlinePickerItem", "FormTableViewInlinePickerCell");
    FormCellClasses::addDefaultPair("FormDateTimeItem", "FormTableViewDateTimeCell");
    FormCellClasses::addDefaultPair("FormInlineDatePickerItem", "FormTableViewInlineDatePickerCell");
    FormCellClasses::addDefaultPair("FormCreditCardItem", "FormTableViewCreditCardCell");
}

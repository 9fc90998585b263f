// The row kinds of the kit: each cell class by name, and the item/cell pairs that every manager
// registers. A new row kind adds its lines here.
#include "settings/form/form_cell_class.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_long_text_cell.h"
#include "settings/form/form_table_view_option_cell.h"
#include "settings/form/form_table_view_text_cell.h"

void formRegisterDefaultKinds() {
    FormCellClasses::add(formCellClass<FormTableViewCell>("FormTableViewCell"));
    FormCellClasses::add(formCellClass<FormTableViewTextCell>("FormTableViewTextCell"));
    FormCellClasses::add(formCellClass<FormTableViewNumberCell>("FormTableViewNumberCell"));
    FormCellClasses::add(formCellClass<FormTableViewLongTextCell>("FormTableViewLongTextCell"));
    FormCellClasses::add(formCellClass<FormTableViewOptionCell>("FormTableViewOptionCell"));

    FormCellClasses::addDefaultPair("NSString", "FormTableViewCell");
    FormCellClasses::addDefaultPair("FormTableViewItem", "FormTableViewCell");
    FormCellClasses::addDefaultPair("FormRadioItem", "FormTableViewOptionCell");
    FormCellClasses::addDefaultPair("FormMultipleChoiceItem", "FormTableViewOptionCell");
    FormCellClasses::addDefaultPair("FormTextItem", "FormTableViewTextCell");
    FormCellClasses::addDefaultPair("FormLongTextItem", "FormTableViewLongTextCell");
    FormCellClasses::addDefaultPair("FormNumberItem", "FormTableViewNumberCell");
}

// The row kinds of the kit: each cell class by name, and the item/cell pairs that every manager
// registers. A new row kind adds its lines here.
#include "settings/form/form_cell_class.h"
#include "settings/form/form_table_view_cell.h"

void formRegisterDefaultKinds() {
    FormCellClasses::add(formCellClass<FormTableViewCell>("FormTableViewCell"));
    FormCellClasses::addDefaultPair("NSString", "FormTableViewCell");
    FormCellClasses::addDefaultPair("FormTableViewItem", "FormTableViewCell");
}

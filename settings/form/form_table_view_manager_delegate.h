// The outer delegate of a form manager: the table's delegate vocabulary plus the cell loading and
// layout events. Where the manager has an answer of its own, it asks the delegate only for the
// questions the delegate says it answers.
#pragma once

#include "platform/ui/table/ui_table_view.h"

class FormTableViewCell;

enum class FormDelegateQuestion {
    HeightForRow,
    EstimatedHeightForRow,
    HeightForHeader,
    HeightForFooter,
    ViewForHeader,
    ViewForFooter,
    EditingStyle,
    TargetIndexPathForMove,
    ShouldShowMenu,
    CanPerformAction,
    TitleForDeleteConfirmation,
    WillLoadCell,
    DidLoadCell,
    WillLayoutCellSubviews,
};

class FormTableViewManagerDelegate : public UITableViewDelegate {
public:
    // Whether the delegate has its own answer to the question; the manager's default otherwise.
    virtual bool answers(FormDelegateQuestion) const { return false; }

    virtual CGFloat estimatedHeightForRowAtIndexPath(UITableView&, NSIndexPath) {
        return UITableViewAutomaticDimension;
    }
    virtual void willLoadCell(UITableView&, FormTableViewCell&, NSIndexPath) {}
    virtual void didLoadCell(UITableView&, FormTableViewCell&, NSIndexPath) {}
    virtual void willLayoutCellSubviews(UITableView&, FormTableViewCell&, NSIndexPath) {}
};

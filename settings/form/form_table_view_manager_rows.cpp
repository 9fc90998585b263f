// The manager's row answers: selection, editing and deleting, moving, the edit menu, and the
// questions it only passes on to the outer delegate.
#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_manager.h"

bool FormTableViewManager::canEditRowAtIndexPath(UITableView&, NSIndexPath path) {
    auto item = itemObjectAt(path);
    if (!item) return false;
    return item->editingStyle != UITableViewCellEditingStyle::None || item->moveHandler;
}

bool FormTableViewManager::canMoveRowAtIndexPath(UITableView&, NSIndexPath path) {
    auto item = itemObjectAt(path);
    return item && item->moveHandler;
}

void FormTableViewManager::moveRowAtIndexPath(UITableView&, NSIndexPath from, NSIndexPath to) {
    auto item = itemAtIndexPath(from);
    if (!item || to.section >= sections().size()) return;
    sections()[from.section]->removeItemAtIndex(from.row);
    auto& destination = *sections()[to.section];
    destination.insertItem(*item, std::min(to.row, destination.items().size()));
    auto object = formItemObject(*item);
    if (object && object->moveCompletionHandler) object->moveCompletionHandler(*object, from, to);
}

void FormTableViewManager::removeRow(UITableView& table, NSIndexPath path) {
    if (path.section >= sections().size() || path.row >= sections()[path.section]->items().size()) return;
    auto section = sections()[path.section];
    section->removeItemAtIndex(path.row);
    table.deleteRowsAtIndexPaths({path}, UITableViewRowAnimation::Automatic);
    // The cells below moved up one row: they show their new index.
    for (std::size_t row = path.row; row < section->items().size(); ++row)
        if (auto cell = std::dynamic_pointer_cast<FormTableViewCell>(table.cellForRowAtIndexPath({path.section, row})))
            cell->setRowIndex(static_cast<long>(row));
}

void FormTableViewManager::commitEditingStyle(UITableView& table, UITableViewCellEditingStyle style, NSIndexPath path) {
    auto item = itemObjectAt(path);
    if (!item) return;
    if (style == UITableViewCellEditingStyle::Insert) {
        if (item->insertionHandler) item->insertionHandler(*item);
        return;
    }
    if (style != UITableViewCellEditingStyle::Delete) return;
    if (item->deletionHandlerWithCompletion) {
        // The row goes when the handler says so, at most once, wherever it stands by then.
        std::weak_ptr<FormTableViewManager> weakManager = self<FormTableViewManager>();
        std::weak_ptr<UITableView> weakTable = table.self<UITableView>();
        std::weak_ptr<FormTableViewItem> weakItem = item;
        auto done = std::make_shared<bool>(false);
        item->deletionHandlerWithCompletion(*item, [weakManager, weakTable, weakItem, done] {
            if (*done) return;
            *done = true;
            auto manager = weakManager.lock();
            auto t = weakTable.lock();
            auto it = weakItem.lock();
            if (!manager || !t || !it) return;
            if (auto where = it->indexPath()) manager->removeRow(*t, *where);
        });
        return;
    }
    if (item->deletionHandler) item->deletionHandler(*item);
    removeRow(table, path);
}

void FormTableViewManager::didSelectRowAtIndexPath(UITableView& t, NSIndexPath path) {
    if (auto item = itemObjectAt(path); item && item->selectionHandler) item->selectionHandler(*item);
    if (auto d = delegate()) d->didSelectRowAtIndexPath(t, path);
}

void FormTableViewManager::accessoryButtonTappedForRowWithIndexPath(UITableView& t, NSIndexPath path) {
    if (auto item = itemObjectAt(path); item && item->accessoryButtonTapHandler) item->accessoryButtonTapHandler(*item);
    if (auto d = delegate()) d->accessoryButtonTappedForRowWithIndexPath(t, path);
}

UITableViewCellEditingStyle FormTableViewManager::editingStyleForRowAtIndexPath(UITableView& t, NSIndexPath path) {
    auto item = itemObjectAt(path);
    if (!item) return UITableViewCellEditingStyle::None;
    if (auto d = answering(FormDelegateQuestion::EditingStyle)) return d->editingStyleForRowAtIndexPath(t, path);
    return item->editingStyle;
}

NSIndexPath FormTableViewManager::targetIndexPathForMove(UITableView& t, NSIndexPath from, NSIndexPath proposed) {
    auto item = itemObjectAt(from);
    if (item && item->moveHandler && !item->moveHandler(*item, from, proposed)) return from;
    if (auto d = answering(FormDelegateQuestion::TargetIndexPathForMove))
        return d->targetIndexPathForMove(t, from, proposed);
    return proposed;
}

bool FormTableViewManager::shouldShowMenuForRowAtIndexPath(UITableView& t, NSIndexPath path) {
    auto item = itemObjectAt(path);
    if (item && (item->copyHandler || item->pasteHandler)) return true;
    if (auto d = answering(FormDelegateQuestion::ShouldShowMenu)) return d->shouldShowMenuForRowAtIndexPath(t, path);
    return false;
}

namespace {
const FormTableViewItem::Handler* handlerFor(const FormTableViewItem& item, UITableViewMenuAction action) {
    switch (action) {
        case UITableViewMenuAction::Copy: return &item.copyHandler;
        case UITableViewMenuAction::Paste: return &item.pasteHandler;
        case UITableViewMenuAction::Cut: return &item.cutHandler;
    }
    return nullptr;
}
}  // namespace

bool FormTableViewManager::canPerformAction(UITableView& t, UITableViewMenuAction action, NSIndexPath path) {
    auto item = itemObjectAt(path);
    if (item) {
        const auto* handler = handlerFor(*item, action);
        if (handler && *handler) return true;
    }
    if (auto d = answering(FormDelegateQuestion::CanPerformAction)) return d->canPerformAction(t, action, path);
    return false;
}

void FormTableViewManager::performAction(UITableView& t, UITableViewMenuAction action, NSIndexPath path) {
    if (auto item = itemObjectAt(path)) {
        const auto* handler = handlerFor(*item, action);
        if (handler && *handler) (*handler)(*item);
    }
    if (auto d = delegate()) d->performAction(t, action, path);
}

void FormTableViewManager::didEndDisplayingCell(UITableView& t, UITableViewCell& cell, NSIndexPath path) {
    if (auto form = dynamic_cast<FormTableViewCell*>(&cell)) form->cellDidDisappear();
    if (auto d = delegate()) d->didEndDisplayingCell(t, cell, path);
}

std::string FormTableViewManager::titleForDeleteConfirmationButtonForRowAtIndexPath(UITableView& t, NSIndexPath path) {
    if (auto d = answering(FormDelegateQuestion::TitleForDeleteConfirmation))
        return d->titleForDeleteConfirmationButtonForRowAtIndexPath(t, path);
    return form_localized("Delete");
}

// ---- forwards ----

void FormTableViewManager::willDisplayCell(UITableView& t, UITableViewCell& c, NSIndexPath p) {
    if (auto d = delegate()) d->willDisplayCell(t, c, p);
}
bool FormTableViewManager::shouldHighlightRowAtIndexPath(UITableView& t, NSIndexPath p) {
    auto d = delegate();
    return d ? d->shouldHighlightRowAtIndexPath(t, p) : true;
}
void FormTableViewManager::didHighlightRowAtIndexPath(UITableView& t, NSIndexPath p) {
    if (auto d = delegate()) d->didHighlightRowAtIndexPath(t, p);
}
void FormTableViewManager::didUnhighlightRowAtIndexPath(UITableView& t, NSIndexPath p) {
    if (auto d = delegate()) d->didUnhighlightRowAtIndexPath(t, p);
}
std::optional<NSIndexPath> FormTableViewManager::willSelectRowAtIndexPath(UITableView& t, NSIndexPath p) {
    auto d = delegate();
    return d ? d->willSelectRowAtIndexPath(t, p) : std::optional<NSIndexPath>(p);
}
std::optional<NSIndexPath> FormTableViewManager::willDeselectRowAtIndexPath(UITableView& t, NSIndexPath p) {
    auto d = delegate();
    return d ? d->willDeselectRowAtIndexPath(t, p) : std::optional<NSIndexPath>(p);
}
void FormTableViewManager::didDeselectRowAtIndexPath(UITableView& t, NSIndexPath p) {
    if (auto d = delegate()) d->didDeselectRowAtIndexPath(t, p);
}
bool FormTableViewManager::shouldIndentWhileEditingRowAtIndexPath(UITableView& t, NSIndexPath p) {
    auto d = delegate();
    return d ? d->shouldIndentWhileEditingRowAtIndexPath(t, p) : true;
}
void FormTableViewManager::willBeginEditingRowAtIndexPath(UITableView& t, NSIndexPath p) {
    if (auto d = delegate()) d->willBeginEditingRowAtIndexPath(t, p);
}
void FormTableViewManager::didEndEditingRowAtIndexPath(UITableView& t, std::optional<NSIndexPath> p) {
    if (auto d = delegate()) d->didEndEditingRowAtIndexPath(t, p);
}
long FormTableViewManager::indentationLevelForRowAtIndexPath(UITableView& t, NSIndexPath p) {
    auto d = delegate();
    return d ? d->indentationLevelForRowAtIndexPath(t, p) : 0;
}

void FormTableViewManager::scrollViewDidScroll(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidScroll(*tableView());
}
void FormTableViewManager::scrollViewWillBeginDragging(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewWillBeginDragging(*tableView());
}
void FormTableViewManager::scrollViewWillEndDragging(UIScrollView&, CGPoint v, CGPoint* target) {
    if (auto d = delegate(); d && tableView()) d->scrollViewWillEndDragging(*tableView(), v, target);
}
void FormTableViewManager::scrollViewDidEndDragging(UIScrollView&, bool decelerate) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidEndDragging(*tableView(), decelerate);
}
void FormTableViewManager::scrollViewWillBeginDecelerating(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewWillBeginDecelerating(*tableView());
}
void FormTableViewManager::scrollViewDidEndDecelerating(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidEndDecelerating(*tableView());
}
void FormTableViewManager::scrollViewDidEndScrollingAnimation(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidEndScrollingAnimation(*tableView());
}
std::shared_ptr<UIView> FormTableViewManager::viewForZoomingInScrollView(UIScrollView&) {
    auto d = delegate();
    auto t = tableView();
    return d && t ? d->viewForZoomingInScrollView(*t) : nullptr;
}
void FormTableViewManager::scrollViewWillBeginZooming(UIScrollView&, const std::shared_ptr<UIView>& view) {
    if (auto d = delegate(); d && tableView()) d->scrollViewWillBeginZooming(*tableView(), view);
}
void FormTableViewManager::scrollViewDidZoom(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidZoom(*tableView());
}
void FormTableViewManager::scrollViewDidEndZooming(UIScrollView&, const std::shared_ptr<UIView>& view, CGFloat scale) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidEndZooming(*tableView(), view, scale);
}
std::optional<bool> FormTableViewManager::scrollViewShouldScrollToTop(UIScrollView&) {
    auto d = delegate();
    auto t = tableView();
    return d && t ? d->scrollViewShouldScrollToTop(*t).value_or(true) : true;
}
void FormTableViewManager::scrollViewDidScrollToTop(UIScrollView&) {
    if (auto d = delegate(); d && tableView()) d->scrollViewDidScrollToTop(*tableView());
}

// Table view selection, touches on rows, editing, moving rows and row menus.
#include <algorithm>

#include "platform/ui/table/ui_table_view.h"

std::optional<NSIndexPath> UITableView::indexPathForSelectedRow() const {
    if (selected_.empty()) return std::nullopt;
    return *selected_.begin();
}

void UITableView::selectRowAtIndexPath(std::optional<NSIndexPath> path, bool animated,
                                       UITableViewScrollPosition position) {
    ensureGeometry();
    if (!allowsMultiple_ || !path) {
        for (auto p : std::vector<NSIndexPath>(selected_.begin(), selected_.end()))
            if (!path || p != *path) deselectRowAtIndexPath(p, animated);
    }
    if (!path || !validPath(*path)) return;
    selected_.insert(*path);
    if (auto it = visible_.find(*path); it != visible_.end()) it->second->setSelected(true, animated);
    if (position != UITableViewScrollPosition::None) scrollToRowAtIndexPath(*path, position, animated);
}

void UITableView::deselectRowAtIndexPath(NSIndexPath path, bool animated) {
    selected_.erase(path);
    if (auto it = visible_.find(path); it != visible_.end()) it->second->setSelected(false, animated);
}

bool UITableView::tapRowAtIndexPath(NSIndexPath path) {
    ensureGeometry();
    if (!validPath(path)) return false;
    if (editing_ ? !allowsSelectionEditing_ : !allowsSelection_) return false;
    auto keep = self<UITableView>();
    auto d = delegate();
    if (allowsMultiple_ && selected_.count(path)) {
        auto target = d ? d->willDeselectRowAtIndexPath(*this, path) : std::optional<NSIndexPath>(path);
        if (!target || !validPath(*target)) return false;
        deselectRowAtIndexPath(*target, false);
        if (d) d->didDeselectRowAtIndexPath(*this, *target);
        return true;
    }
    auto target = d ? d->willSelectRowAtIndexPath(*this, path) : std::optional<NSIndexPath>(path);
    if (!target || !validPath(*target)) return false;
    if (!allowsMultiple_) {
        for (auto p : std::vector<NSIndexPath>(selected_.begin(), selected_.end())) {
            if (p == *target) continue;
            auto which = d ? d->willDeselectRowAtIndexPath(*this, p) : std::optional<NSIndexPath>(p);
            if (!which) continue;
            deselectRowAtIndexPath(*which, false);
            if (d) d->didDeselectRowAtIndexPath(*this, *which);
        }
    }
    selected_.insert(*target);
    if (auto it = visible_.find(*target); it != visible_.end()) it->second->setSelected(true, false);
    if (d) d->didSelectRowAtIndexPath(*this, *target);
    return true;
}

void UITableView::tapAccessoryButtonForRowAtIndexPath(NSIndexPath path) {
    ensureGeometry();
    if (!validPath(path)) return;
    if (auto d = delegate()) d->accessoryButtonTappedForRowWithIndexPath(*this, path);
}

std::optional<NSIndexPath> UITableView::rowAtTouch(const UITouchSet& touches) {
    if (touches.empty()) return std::nullopt;
    return indexPathForRowAtPoint(touches.front()->locationInView(self<UIView>()));
}

void UITableView::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIScrollView::touchesBegan(touches, event);
    auto path = rowAtTouch(touches);
    if (!path || (editing_ ? !allowsSelectionEditing_ : !allowsSelection_)) return;
    auto d = delegate();
    if (d && !d->shouldHighlightRowAtIndexPath(*this, *path)) return;
    highlighted_ = path;
    if (auto it = visible_.find(*path); it != visible_.end()) it->second->setHighlighted(true, false);
    if (d) d->didHighlightRowAtIndexPath(*this, *path);
}

void UITableView::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIScrollView::touchesEnded(touches, event);
    auto was = highlighted_;
    touchesCancelled(touches, event);
    auto path = rowAtTouch(touches);
    // Editing controls and the confirmation button take taps whether or not rows can be selected.
    if (path) {
        if (auto cell = cellForRowAtIndexPath(*path);
            cell && editingTap(*path, touches.front()->locationInView(std::static_pointer_cast<UIView>(cell))))
            return;
    }
    if (!was || !path || *was != *path) return;
    // A tap on the accessory's area of a detail button goes to the accessory.
    if (auto cell = cellForRowAtIndexPath(*path)) {
        auto type = cell->accessoryType();
        CGPoint p = touches.front()->locationInView(std::static_pointer_cast<UIView>(cell));
        if ((type == UITableViewCellAccessoryType::DetailButton ||
             type == UITableViewCellAccessoryType::DetailDisclosureButton) &&
            p.x > cell->bounds().size.width - 44) {
            tapAccessoryButtonForRowAtIndexPath(*path);
            return;
        }
    }
    tapRowAtIndexPath(*path);
}

void UITableView::touchesCancelled(const UITouchSet& touches, const UIEvent& event) {
    UIScrollView::touchesCancelled(touches, event);
    if (!highlighted_) return;
    auto path = *highlighted_;
    highlighted_.reset();
    if (auto it = visible_.find(path); it != visible_.end()) it->second->setHighlighted(false, false);
    if (auto d = delegate()) d->didUnhighlightRowAtIndexPath(*this, path);
}

void UITableView::setEditing(bool editing, bool animated) {
    if (editing_ == editing) return;
    editing_ = editing;
    for (auto& [p, c] : visible_) {
        c->setEditing(editing, animated);
        applyEditingControls(p, *c);
    }
    if (!editing) {
        if (auto d = delegate()) d->didEndEditingRowAtIndexPath(*this, std::nullopt);
    }
}

bool UITableView::commitEditingForRowAtIndexPath(NSIndexPath path) {
    ensureGeometry();
    auto ds = dataSource();
    if (!ds || !validPath(path) || !ds->canEditRowAtIndexPath(*this, path)) return false;
    auto d = delegate();
    auto style = d ? d->editingStyleForRowAtIndexPath(*this, path) : UITableViewCellEditingStyle::Delete;
    if (style == UITableViewCellEditingStyle::None) return false;
    auto keep = self<UITableView>();
    ds->commitEditingStyle(*this, style, path);
    return true;
}

std::optional<NSIndexPath> UITableView::moveRowByUser(NSIndexPath from, NSIndexPath proposed) {
    ensureGeometry();
    auto ds = dataSource();
    if (!ds || !validPath(from) || !ds->canMoveRowAtIndexPath(*this, from)) return std::nullopt;
    auto clampPath = [&](NSIndexPath p) {
        p.section = std::min(p.section, sections_.size() - 1);
        std::size_t rows = sections_[p.section].rowHeights.size();
        // Within its own section a row can go to the last place; elsewhere one past it.
        std::size_t limit = p.section == from.section ? rows - 1 : rows;
        p.row = std::min(p.row, limit);
        return p;
    };
    NSIndexPath target = clampPath(proposed);
    if (auto d = delegate()) target = clampPath(d->targetIndexPathForMove(*this, from, target));
    if (target == from) return from;
    ds->moveRowAtIndexPath(*this, from, target);
    moveRowAtIndexPath(from, target);
    return target;
}

bool UITableView::showMenuForRowAtIndexPath(NSIndexPath path) {
    ensureGeometry();
    auto d = delegate();
    return d && validPath(path) && d->shouldShowMenuForRowAtIndexPath(*this, path);
}

bool UITableView::performMenuAction(UITableViewMenuAction action, NSIndexPath path) {
    if (!showMenuForRowAtIndexPath(path)) return false;
    auto d = delegate();
    if (!d->canPerformAction(*this, action, path)) return false;
    d->performAction(*this, action, path);
    return true;
}

void UITableView::applyEditingControls(NSIndexPath path, UITableViewCell& cell) {
    auto ds = dataSource();
    auto d = delegate();
    auto style = UITableViewCellEditingStyle::None;
    bool reorder = false;
    if (editing_ && ds && validPath(path)) {
        if (ds->canEditRowAtIndexPath(*this, path))
            style = d ? d->editingStyleForRowAtIndexPath(*this, path) : UITableViewCellEditingStyle::Delete;
        reorder = ds->canMoveRowAtIndexPath(*this, path);
    }
    cell.setEditingControls(style, reorder);
}

bool UITableView::tapEditingControlForRowAtIndexPath(NSIndexPath path) {
    auto cell = cellForRowAtIndexPath(path);
    if (!editing_ || !cell) return false;
    switch (cell->editingControlStyle()) {
        case UITableViewCellEditingStyle::Delete: {
            auto d = delegate();
            cell->showDeleteConfirmation(d ? d->titleForDeleteConfirmationButtonForRowAtIndexPath(*this, path)
                                           : "Delete");
            return true;
        }
        case UITableViewCellEditingStyle::Insert: return commitEditingForRowAtIndexPath(path);
        default: return false;
    }
}

bool UITableView::tapDeleteConfirmationForRowAtIndexPath(NSIndexPath path) {
    auto cell = cellForRowAtIndexPath(path);
    if (!cell || !cell->deleteConfirmationTitle()) return false;
    cell->showDeleteConfirmation(std::nullopt);
    return commitEditingForRowAtIndexPath(path);
}

bool UITableView::editingTap(NSIndexPath path, CGPoint p) {
    auto cell = cellForRowAtIndexPath(path);
    if (!cell) return false;
    if (cell->deleteConfirmationTitle()) {
        if (CGRectContainsPoint(cell->deleteConfirmationRect(), p)) return tapDeleteConfirmationForRowAtIndexPath(path);
        cell->showDeleteConfirmation(std::nullopt);
        return true;
    }
    if (editing_ && p.x < UITableViewCell::kEditingControlWidth) return tapEditingControlForRowAtIndexPath(path);
    return false;
}

// Responder, superview and sender look-ups.
#include "ui/layout/view_custom_hierarchy.h"

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"
#include "platform/ui/table/ui_table_view_cell.h"

namespace {
template <class T>
std::shared_ptr<T> enclosing(std::shared_ptr<UIView> view) {
    for (; view; view = view->superview()) {
        if (auto found = std::dynamic_pointer_cast<T>(view)) return found;
    }
    return nullptr;
}
}  // namespace

std::shared_ptr<UIViewController> viewController(const std::shared_ptr<UIView>& view) {
    for (std::shared_ptr<UIResponder> r = view; r; r = r->nextResponder()) {
        if (auto vc = std::dynamic_pointer_cast<UIViewController>(r)) return vc;
    }
    return nullptr;
}

std::shared_ptr<UITableViewCell> tableCell(const std::shared_ptr<UIView>& view) {
    return enclosing<UITableViewCell>(view);
}

std::shared_ptr<UICollectionViewCell> collCell(const std::shared_ptr<UIView>& view) {
    return enclosing<UICollectionViewCell>(view);
}

std::optional<NSIndexPath> tableIndex(const std::shared_ptr<UIView>& view, const UITableView& table) {
    auto cell = tableCell(view);
    return cell ? table.indexPathForCell(*cell) : std::nullopt;
}

std::optional<NSIndexPath> collIndex(const std::shared_ptr<UIView>& view, const UICollectionView& collection) {
    auto cell = collCell(view);
    return cell ? collection.indexPathForCell(*cell) : std::nullopt;
}

std::shared_ptr<UIView> getView1(const UIBarButtonItem& item) {
    return item.view();
}

std::shared_ptr<UIView> trackSender(const std::shared_ptr<NSObject>& sender,
                                    const std::shared_ptr<UIViewController>& vc) {
    if (auto item = std::dynamic_pointer_cast<UIBarButtonItem>(sender)) {
        if (auto v = getView1(*item)) return v;
        if (!vc) return nullptr;
        if (auto nav = vc->navigationController(); nav && nav->navigationBar()) return nav->navigationBar();
        return vc->view();
    }
    if (auto view = std::dynamic_pointer_cast<UIView>(sender)) return view;
    if (auto gesture = std::dynamic_pointer_cast<UIGestureRecognizer>(sender)) return gesture->view();
    return nullptr;
}

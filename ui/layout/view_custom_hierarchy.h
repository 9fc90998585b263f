// Walking the view hierarchy: the enclosing controller, table or collection cell and its index
// path, and the view a pop-up anchors on for a sender of any kind. Main-thread only.
#pragma once

#include <memory>
#include <optional>

#include "platform/ui/table/ns_index_path.h"

class NSObject;
class UIView;
class UIViewController;
class UITableViewCell;
class UICollectionViewCell;
class UITableView;
class UICollectionView;
class UIBarButtonItem;

// The first controller on the responder chain, starting at the view itself.
std::shared_ptr<UIViewController> viewController(const std::shared_ptr<UIView>& view);
// The first cell on the superview chain, starting at the view itself.
std::shared_ptr<UITableViewCell> tableCell(const std::shared_ptr<UIView>& view);
std::shared_ptr<UICollectionViewCell> collCell(const std::shared_ptr<UIView>& view);
// The index path of the view's enclosing cell in that list; none outside a cell.
std::optional<NSIndexPath> tableIndex(const std::shared_ptr<UIView>& view, const UITableView& table);
std::optional<NSIndexPath> collIndex(const std::shared_ptr<UIView>& view, const UICollectionView& collection);

// The view to anchor a pop-up on: a bar button item's view on screen, else the controller's
// navigation bar, else its view; a view itself; a gesture recogniser's view; none for anything else.
std::shared_ptr<UIView> trackSender(const std::shared_ptr<NSObject>& sender,
                                    const std::shared_ptr<UIViewController>& vc);
// The bar button item's view on screen, or none while it has none.
std::shared_ptr<UIView> getView1(const UIBarButtonItem& item);

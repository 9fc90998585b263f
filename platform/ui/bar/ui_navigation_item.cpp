// Navigation items: item lists drop empty entries.
#include "platform/ui/bar/ui_navigation_item.h"

#include <algorithm>

std::vector<std::shared_ptr<UIBarButtonItem>> UINavigationItem::clean(
    std::vector<std::shared_ptr<UIBarButtonItem>>& items) {
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    return std::move(items);
}

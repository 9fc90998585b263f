// The content switcher's screen cache.
#include "app/shell/main_controller.h"

#include "ui/controller/view_controller_navigation.h"

std::shared_ptr<UIViewController> MainController::setName(const std::string& identifier) {
    auto it = dict_.find(identifier);
    if (it == dict_.end()) {
        auto made = ::storyboard(self<UIViewController>(), identifier);
        if (!made) return nullptr;
        it = dict_.emplace(identifier, made).first;
    }
    return setVC(it->second);
}

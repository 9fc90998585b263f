// The controller registry.
#include "platform/ui/controller/ui_storyboard.h"

#include "platform/runtime/log.h"

namespace {
std::shared_ptr<UIStoryboard>& mainSlot() {
    static std::shared_ptr<UIStoryboard> board;
    return board;
}
}  // namespace

std::shared_ptr<UIStoryboard> UIStoryboard::mainStoryboard() {
    if (!mainSlot()) mainSlot() = make("Main");
    return mainSlot();
}

void UIStoryboard::resetMainStoryboard() {
    mainSlot().reset();
}

bool UIStoryboard::registerController(const std::string& identifier, Factory factory) {
    if (identifier.empty() || !factory) return false;
    factories_[identifier] = std::move(factory);
    return true;
}

std::vector<std::string> UIStoryboard::identifiers() const {
    std::vector<std::string> all;
    for (const auto& [identifier, factory] : factories_) all.push_back(identifier);
    return all;
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateViewControllerWithIdentifier(const std::string& identifier) {
    auto it = factories_.find(identifier);
    if (it == factories_.end()) {
        Log::warning("ui", "storyboard " + name_ + " has no controller \"" + identifier + "\"");
        return nullptr;
    }
    auto factory = it->second;  // the factory may register others meanwhile
    auto controller = factory();
    if (!controller) return nullptr;
    controller->setStoryboard(self<UIStoryboard>());
    controller->awakeFromStoryboard();
    return controller;
}

std::shared_ptr<UIViewController> UIStoryboard::instantiateInitialViewController() {
    return initial_.empty() ? nullptr : instantiateViewControllerWithIdentifier(initial_);
}

// The controller registry: identifiers mapped to factories, registered by the application, so
// that screens can be made by name.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controller/ui_view_controller.h"

class UIStoryboard : public NSObject {
public:
    KORVA_MAKE(UIStoryboard)
    using Factory = std::function<std::shared_ptr<UIViewController>()>;

    // The application's registry ("Main").
    static std::shared_ptr<UIStoryboard> mainStoryboard();
    static void resetMainStoryboard();

    // Replaces an earlier factory under the same identifier. An empty identifier or factory is
    // ignored (false).
    bool registerController(const std::string& identifier, Factory factory);
    bool hasController(const std::string& identifier) const { return factories_.count(identifier) != 0; }
    // Every identifier registered, in order.
    std::vector<std::string> identifiers() const;
    // A new controller, or none for an unknown identifier or a factory that made nothing. The
    // controller learns its storyboard and gets awakeFromStoryboard.
    std::shared_ptr<UIViewController> instantiateViewControllerWithIdentifier(const std::string& identifier);
    void setInitialIdentifier(std::string id) { initial_ = std::move(id); }
    std::shared_ptr<UIViewController> instantiateInitialViewController();

    std::string className() const override { return "UIStoryboard"; }

protected:
    explicit UIStoryboard(std::string name = "Main") : name_(std::move(name)) {}

private:
    std::string name_;
    std::map<std::string, Factory> factories_;
    std::string initial_;
};

// The content switcher: one controller per storyboard identifier, made on first use and kept for
// the switcher's life, the named one shown. Main thread only.
#pragma once

#include <map>
#include <string>

#include "app/shell/main_controller_base.h"

class MainController : public MainControllerBase {
public:
    KORVA_MAKE(MainController)

    // Shows the screen with this storyboard identifier; none (and nothing changes) when the
    // storyboard does not know it.
    std::shared_ptr<UIViewController> setName(const std::string& identifier);
    const std::map<std::string, std::shared_ptr<UIViewController>>& dict() const { return dict_; }

    std::string className() const override { return "MainController"; }

protected:
    MainController() = default;

private:
    std::map<std::string, std::shared_ptr<UIViewController>> dict_;
};

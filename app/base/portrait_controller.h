// A screen base that rotates on tablets only; phones keep it in portrait.
#pragma once

#include "app/base/my_view_controller.h"

// The rotation rule itself, for a screen that cannot derive from PortraitController.
bool portraitOnPhonesAutorotates();
UIInterfaceOrientationMask portraitOnPhonesOrientations();

class PortraitController : public MyViewController {
public:
    KORVA_MAKE(PortraitController)
    bool shouldAutorotate() const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    std::string className() const override { return "PortraitController"; }

protected:
    PortraitController() = default;
};

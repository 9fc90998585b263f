// A black screen standing where the camera screen will be.
#pragma once

#include "app/base/my_view_controller.h"
#include "platform/ui/draw/color.h"

class PlaceholderController : public MyViewController {
public:
    KORVA_MAKE(PlaceholderController)
    void viewDidLoad() override {
        MyViewController::viewDidLoad();
        view()->setBackgroundColor(UIColor::blackColor());
    }
    std::string className() const override { return "PlaceholderController"; }

protected:
    PlaceholderController() = default;
};

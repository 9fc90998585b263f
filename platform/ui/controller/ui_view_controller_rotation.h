// The calls a controller hears while the screen turns, besides didRotateFromInterfaceOrientation:
// before its view takes the new bounds, and with the new bounds set (inside the turn's
// animation). A controller that wants them adopts this interface; the window's root controller
// passes them down to its children and to what it presents. Main thread only.
#pragma once

#include "platform/ui/app/ui_screen.h"

class UIViewController;

class UIViewControllerRotation {
public:
    // How long a turn of the screen takes.
    static constexpr double kRotationDuration = 0.4;

    virtual ~UIViewControllerRotation() = default;
    virtual void willRotateToInterfaceOrientation(UIInterfaceOrientation /*to*/, double /*duration*/) {}
    virtual void willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation /*to*/, double /*duration*/) {}
};

// Tells the controller (when it adopts the interface), then its children and what it presents.
void interfaceWillRotate(UIViewController& controller, UIInterfaceOrientation to, double duration);
void interfaceWillAnimateRotation(UIViewController& controller, UIInterfaceOrientation to, double duration);

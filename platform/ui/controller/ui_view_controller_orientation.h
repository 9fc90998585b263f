// A controller's interfaceOrientation: the orientation of the screen its view is shown on, or of
// the main screen while its view is in no window. Main-thread only.
#pragma once

#include "platform/ui/app/ui_screen.h"

class UIViewController;

UIInterfaceOrientation interfaceOrientation(const UIViewController& vc);

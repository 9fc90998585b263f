// What the side drawer's content controller hears from the camera screen once the drawer has
// appeared (the side menu refreshes its rows then).
#pragma once

class DrawerContent {
public:
    virtual ~DrawerContent() = default;
    virtual void onDidShow() = 0;
};

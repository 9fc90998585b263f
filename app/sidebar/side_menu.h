// What the side bar asks of the side menu it shows: the menu implements this small interface, so
// the side bar reaches it through the controller registry alone.
#pragma once

class SideMenu {
public:
    virtual ~SideMenu() = default;
    // The menu is about to show: bring its rows up to date.
    virtual void reload() = 0;
    // The menu has shown.
    virtual void onDidShow() = 0;
};

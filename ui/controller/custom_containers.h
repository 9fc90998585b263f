// The app shell's own tab and segmented containers, as the toolkit sees them. A screen that such
// a container hosts answers it through CustomContainerHost (none by default); the navigation-bar
// setters and pop-up owners consult it.
#pragma once

#include <memory>
#include <string>

class UIViewController;

// A container that shows each hosted controller under a segment with a title.
class SegmentedContainer {
public:
    virtual ~SegmentedContainer() = default;
    virtual void setSegText(const UIViewController& hosted, const std::string& text) = 0;
};

class CustomContainerHost {
public:
    virtual ~CustomContainerHost() = default;
    // The custom tab container hosting this screen, or none.
    virtual std::shared_ptr<UIViewController> myTabBarCustomController() const { return nullptr; }
    // The segmented container hosting this screen, or none.
    virtual std::shared_ptr<SegmentedContainer> mySegmentedController() const { return nullptr; }
};

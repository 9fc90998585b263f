// The responder chain: each responder names the next one that may handle what it does not.
#pragma once

#include <memory>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/ui/draw/trait_collection.h"

class UIResponder : public NSObject {
public:
    // The next responder: a view's controller or superview, a window's application.
    virtual std::shared_ptr<UIResponder> nextResponder() const { return nullptr; }

    // A fixed light or dark appearance for what this responder owns (a controller's views);
    // unspecified follows the screen.
    virtual UIUserInterfaceStyle overrideUserInterfaceStyle() const { return UIUserInterfaceStyle::Unspecified; }

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool isFirstResponder() const { return false; }
    // Whether an edit-menu action ("copy:", "paste:", ...) can be performed now.
    virtual bool canPerformAction(std::string_view /*action*/, const std::shared_ptr<NSObject>& /*sender*/) const {
        return false;
    }

    std::string className() const override { return "UIResponder"; }

protected:
    UIResponder() = default;
};

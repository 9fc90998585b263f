// Korva's application delegate: the generic delegate, refusing incoming URLs.
#pragma once

#include "app/app_delegate_base.h"

class AppDelegate : public AppDelegateBase {
public:
    KORVA_MAKE(AppDelegate)
    bool didFinishLaunchingWithOptions(UIApplication& application, const Value& options) override {
        return AppDelegateBase::didFinishLaunchingWithOptions(application, options);
    }
    bool openURL(UIApplication&, const std::string&, const std::string&, const Value&) override { return false; }
    std::string className() const override { return "AppDelegate"; }

protected:
    AppDelegate() = default;
};

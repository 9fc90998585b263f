// The settings base screen: the settings form as a full screen, titled "<app> SETTINGS" unless
// given a title, closed with a Done button when it is presented modally. Main-thread only.
#pragma once

#include <memory>

#include "settings/dict/settings_dict_controller.h"

class SettingsBaseController;

class SettingsBaseControllerDelegate {
public:
    virtual ~SettingsBaseControllerDelegate() = default;
    virtual void onSettingsBaseControllerDone(SettingsBaseController& controller) = 0;
};

class SettingsBaseController : public SettingsDictController {
public:
    KORVA_MAKE(SettingsBaseController)

    std::shared_ptr<SettingsBaseControllerDelegate> myDelegate() const { return myDelegate_.lock(); }
    void setMyDelegate(const std::shared_ptr<SettingsBaseControllerDelegate>& d) { myDelegate_ = d; }
    // Made at load when the form has a delegate by then; none otherwise. It is the Done button the
    // form's bar shows too.
    std::shared_ptr<UIBarButtonItem> bbDone() override { return bbDone_; }

    void viewDidLoad() override;
    void updateNav() override;
    bool shouldAutorotate() const override { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;

    std::string className() const override { return "SettingsBaseController"; }

protected:
    SettingsBaseController() = default;

private:
    std::weak_ptr<SettingsBaseControllerDelegate> myDelegate_;
    std::shared_ptr<UIBarButtonItem> bbDone_;
};

// The side menu's licences screen: one entry per given component name, in the given order, with
// the component's licence text from the bundle ("licenses/<name>.txt"); a missing text gives an
// empty entry. The close button reports to the delegate, which dismisses the screen.
// Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/licenses/acknowledgements_view_controller.h"

class LicensesController;
class UIBarButtonItem;

class LicensesControllerDelegate {
public:
    virtual ~LicensesControllerDelegate() = default;
    virtual void onLicensesControllerDone(LicensesController& controller) = 0;
};

class LicensesController : public AcknowledgementsViewController {
public:
    KORVA_MAKE(LicensesController)
    static constexpr const char* kLicenceFolder = "licenses";

    // The licence text of a component; empty when the bundle has none.
    static std::string licenceText(const std::string& name);

    std::shared_ptr<LicensesControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<LicensesControllerDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIBarButtonItem>& bbDone() const { return bbDone_; }

    void init() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void updateNav();
    void updateView() {}
    void onDone();
    std::shared_ptr<UIFont> headerFooterFont() override;
    std::string className() const override { return "LicensesController"; }

protected:
    explicit LicensesController(std::vector<std::string> names);

private:
    std::vector<std::string> names_;
    std::weak_ptr<LicensesControllerDelegate> delegate_;
    std::shared_ptr<UIBarButtonItem> bbDone_;
};

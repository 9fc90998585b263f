// The app's side menu: the camera switches, the app's links and services and the more-apps list,
// under a header with the app's logo and name; and the image-size choice that no row leads to.
// Registered in the storyboard as "LeftController". Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/left/left_controller_base.h"
#include "settings/lists/value_table_basic_controller.h"

class CLLocationManager;

class LeftController : public LeftControllerBase, public ValueTableBasicControllerDelegate {
public:
    KORVA_MAKE(LeftController)
    static constexpr const char* kStoryboardID = "LeftController";
    static constexpr CGFloat kRowHeight = 50;
    static constexpr CGFloat kLogoCornerRatio = 0.25;
    // The row key of the image-size choice.
    static constexpr const char* kImageSizeKey = "imageSize";

    using Preset = std::pair<std::string, std::string>;  // capture preset, label

    void updateData() override;
    void reload() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void onLogo();
    void onSwitch(UISwitch& toggle) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;

    long valueMode() const { return valueMode_; }
    std::shared_ptr<CLLocationManager> locManager();
    // The capture sizes the current camera side can take, made on first use.
    const std::vector<Preset>& sessionPresets();
    // Opens the image-size list.
    void showImageSizes();
    const std::vector<Preset>& shownPresets() const { return shownPresets_; }

    void onValueTableBasicControllerCanceled(ValueTableBasicController& controller) override;
    void onValueTableBasicControllerSelected(ValueTableBasicController& controller, const std::string& string,
                                             long index) override;
    std::string className() const override { return "LeftController"; }

protected:
    LeftController() = default;

private:
    void geoTaggingTurnedOn();

    long valueMode_ = 0;
    std::shared_ptr<CLLocationManager> locManager_;
    std::optional<std::vector<Preset>> sessionPresets_;
    // The list the open image-size choice shows: a rebuild meanwhile does not change what its
    // indexes mean.
    std::vector<Preset> shownPresets_;
};

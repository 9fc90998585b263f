// The camera screen's views, built once when its view loads (view_controller.cpp) and read by the
// screen's parts, the gallery and the tests.
#pragma once

#include <memory>

class AnimButton;
class FocusView;
class GuideView;
class IconButton;
class LabelStatusButton;
class UIButton;
class UISlider;
class UIView;

struct CameraScreenViews {
    // The gesture layer over the picture, its centre, and the two bars.
    std::shared_ptr<UIView> ui, center, top, bottom;
    std::shared_ptr<UIButton> btnMenu, btnAsset, btnOption, btnFilter, btnSwap;
    std::shared_ptr<IconButton> btnHelp;
    std::shared_ptr<AnimButton> btnShot, btnManual;
    std::shared_ptr<UISlider> slZoom;
    std::shared_ptr<LabelStatusButton> lblFilter;
    // The overlays on the gesture layer.
    std::shared_ptr<GuideView> guideView;
    std::shared_ptr<FocusView> focusView, exposureView;
};

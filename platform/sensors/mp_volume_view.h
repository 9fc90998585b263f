// MPVolumeView: the system volume slider. Placed off screen, its presence keeps the system's
// volume display from covering the app while the volume buttons act as a shutter. It draws
// nothing here. Main thread only, like every view.
#pragma once

#include <atomic>

#include "platform/ui/view/ui_view.h"

class MPVolumeView : public UIView {
public:
    KORVA_MAKE(MPVolumeView)
    ~MPVolumeView() override;
    void init() override;

    // The slider's own height at the width it is given.
    CGSize sizeThatFits(CGSize size) const override { return {size.width > 0 ? size.width : bounds().size.width, 34}; }
    bool showsRouteButton() const { return showsRouteButton_; }
    void setShowsRouteButton(bool s) { showsRouteButton_ = s; }

    // How many volume views exist (to check that one is reused rather than one made per start).
    static int liveCount();

private:
    bool showsRouteButton_ = true;
    static std::atomic<int> live_;
};

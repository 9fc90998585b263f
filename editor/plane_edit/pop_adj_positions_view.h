// The positions editor: a filter's position inputs as points on the host's picture, joined by a
// closed outline; every move writes all positions back in the picture's pixels with the picture's
// size as their base. Stored positions measured against another picture size are shown where
// that picture shows them. Main-thread only.
#pragma once

#include "editor/plane/coord_pointer_view.h"
#include "editor/plane_edit/pop_adj_picture_frame.h"
#include "platform/runtime/value.h"

class PopAdjPositionsView : public PopAdjPictureFrame, public CoordPointerViewDelegate {
public:
    KORVA_MAKE(PopAdjPositionsView)
    static constexpr double kRefreshInterval = 0.3;

    void init() override;

    // Opens on the "attr" of each entry of the list; without a usable picture nothing opens
    // and the completion is not called.
    void show(const std::shared_ptr<NSObject>& sender, const Value& list, Callback completion);
    using PopAdjPictureFrame::show;
    // Lays out for the current picture and loads the points; false without a usable picture.
    bool load();
    void updateView() override { load(); }
    void onCoordPointerViewValueChanged(CoordPointerView& plane) override;
    // Reset: each default as an absolute position (the base size dropped), then a reload.
    void onRightButton(IconButton& sender) override;

    const ValueArray& values() const { return values_; }
    const std::shared_ptr<CoordPointerView>& plane() const { return plane_; }

    std::string className() const override { return "PopAdjPositionsView"; }

protected:
    using PopAdjPictureFrame::PopAdjPictureFrame;

private:
    ValueArray values_;
    std::shared_ptr<CoordPointerView> plane_;
};

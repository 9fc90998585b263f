// The rectangle editor: a filter's rectangle input as a rectangle on the host's picture, with a
// ratio chooser below it and "Reset" on the title bar; every change is written into the record
// in the picture's pixels with the picture's size as its base. Main-thread only.
//
// Ratio indexes: 0 free, 1 "3:4", 2 "9:16", 3 "2:3", 4 "1:1" (height by width in pixels); the
// plane holds the pixel ratio converted to plane units for the picture's current size.
#pragma once

#include "editor/plane/coord_rect_view.h"
#include "editor/plane_edit/pop_adj_picture_frame.h"
#include "editor/plane_edit/pop_adj_rect_ratio_view.h"
#include "platform/runtime/value.h"

class StatusButtonPath;

class PopAdjRectView : public PopAdjPictureFrame, public CoordRectViewDelegate, public PopAdjRectRatioViewDelegate {
public:
    KORVA_MAKE(PopAdjRectView)
    static constexpr double kRefreshInterval = 0.1;
    static constexpr CGFloat kRatioBar = 40;

    void init() override;

    // Opens on the record; without a usable picture nothing opens and the completion is not called.
    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjPictureFrame::show;
    void hide(Callback completion) override;
    using PopAdjPictureFrame::hide;
    void scheduledInternalLayout() override;
    // Lays out for the current picture and shows the stored rectangle; false without a picture.
    bool load();
    void updateView() override { load(); }

    void onRatio();
    long onPopAdjRectRatioViewGetValue(PopAdjRectRatioView&) override { return selectedRatio_; }
    void onPopAdjRectRatioViewValueChanged(PopAdjRectRatioView& chooser, long index) override;
    void onCoordRectViewValueChanged(CoordRectView& plane) override;
    void onRightButton(IconButton& sender) override;

    // The height-to-width ratio in pixels of an index; 0 (free) outside 1 to 4.
    static double ratioOf(long index);

    const Value& value() const { return value_; }
    long selectedRatio() const { return selectedRatio_; }
    const std::shared_ptr<CoordRectView>& plane() const { return plane_; }
    const std::shared_ptr<StatusButtonPath>& btnRatio() const { return btnRatio_; }
    const std::shared_ptr<PopAdjRectRatioView>& popRatio() const { return popRatio_; }

    std::string className() const override { return "PopAdjRectView"; }

protected:
    using PopAdjPictureFrame::PopAdjPictureFrame;

private:
    // The rectangle of a record's key as fractions of the picture: left, bottom, right, top.
    struct Fractions {
        double l, b, r, t;
    };
    Fractions fractionsOf(std::string_view key, CGSize picture) const;
    // The plane's ratio for the selected index and the picture's current size.
    void applyRatio();

    Value value_;
    long selectedRatio_ = 0;
    std::shared_ptr<CoordRectView> plane_;
    std::shared_ptr<StatusButtonPath> btnRatio_;
    std::shared_ptr<PopAdjRectRatioView> popRatio_;
};

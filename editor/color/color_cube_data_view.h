// The data of one colour cube shown as a fanned stack of n planes seen obliquely, one per blue
// level, with a row of "Z" labels under it. A label brings its plane flat to the front, where its
// cells can be edited one at a time; "Done" puts the stack back.
//
// States: stacked (every plane shown, fanned and untouchable; the labels show) and editing (one
// plane flat and touchable, the others hidden; "Done" shows). Rebuilding the stack keeps the state.
//
// The table (the record's "value", entries or packed) holds n³ colours of four numbers, red
// fastest: entry q + n·r + n²·z is column q (red), row r (green) of the plane of blue level z. A
// table of another length shows its missing cells black, and a cell edit first pads it with opaque
// black to n³ (a packed table becomes entries). A dimension outside 1 to 64 shows no planes.
// Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "editor/color/color_plane_view.h"
#include "ui/controls/menu_label_view.h"

class ColorCubeDataView;
class IconButton;

class ColorCubeDataViewDelegate {
public:
    virtual ~ColorCubeDataViewDelegate() = default;
    virtual long onColorCubeDataViewGetDimension(ColorCubeDataView& view) = 0;
    virtual Value onColorCubeDataViewGetAttr(ColorCubeDataView& view) = 0;
    virtual void onColorCubeDataViewValueChanged(ColorCubeDataView& view) = 0;
};

class ColorCubeDataView : public UIView, public ColorPlaneViewDelegate, public MenuLabelViewDelegate {
public:
    KORVA_MAKE(ColorCubeDataView)
    static constexpr long kMaxDimension = 64;
    static constexpr CGFloat kFooterHeight = 55;
    static constexpr double kSwitchDuration = 0.3;
    static constexpr double kPlaneDuration = 1.0;
    static constexpr CGSize kDoneSize{50, 35};
    static constexpr CGFloat kMenuHeight = 40;
    static constexpr CGFloat kFooterBottom = 10;

    void init() override;

    // Rebuilds the stack from the delegate's dimension and record.
    void updateData();
    // Shows the labels or "Done", by the state.
    void updateView();
    void scheduledLayout();

    // The oblique transform of the plane at an array position.
    CGAffineTransform transform(long position) const;
    static CGAffineTransform transformFor(long position, long n);
    // The plane's alpha in the stack at a position (or blue level) of n.
    static CGFloat stackAlpha(long index, long n);
    // The entry index of a cell.
    static long entryIndex(long n, long row, long col, long level);
    void selectZ(long position);
    void deselect();
    void onDone();

    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;
    long onColorPlaneViewGetRowCount(ColorPlaneView& plane) override;
    long onColorPlaneViewGetColCount(ColorPlaneView& plane) override;
    std::shared_ptr<UIColor> onColorPlaneViewGetColor(ColorPlaneView& plane, long row, long col) override;
    void onColorPlaneViewValueChanged(ColorPlaneView& plane, long row, long col,
                                      const std::shared_ptr<UIColor>& color) override;

    bool editing() const { return editing_; }
    std::shared_ptr<ColorCubeDataViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ColorCubeDataViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIView>& bplane();
    const std::vector<std::shared_ptr<ColorPlaneView>>& planes() const { return planes_; }
    const std::shared_ptr<MenuLabelView>& menu();
    const std::shared_ptr<IconButton>& btnDone();
    long dimension() const { return dimension_; }
    const Value& attr() const { return attr_; }

    std::string className() const override { return "ColorCubeDataView"; }

protected:
    explicit ColorCubeDataView(std::shared_ptr<UIViewController> vc) : vc_(std::move(vc)) {}

private:
    bool editing_ = false;
    std::weak_ptr<ColorCubeDataViewDelegate> delegate_;
    // The owning controller's view holds this view: a strong link back would keep both alive.
    std::weak_ptr<UIViewController> vc_;
    std::shared_ptr<UIView> bplane_;
    std::vector<std::shared_ptr<ColorPlaneView>> planes_;
    std::shared_ptr<MenuLabelView> menu_;
    std::shared_ptr<IconButton> btnDone_;
    long dimension_ = 0;
    Value attr_;
};

// One plane of a colour cube: the cells of one blue level as rounded squares in their colours,
// rows of green (row 0 at the bottom) by columns of red. A tap on a cell opens a colour editor on
// that cell alone; its changes go to the delegate. The view's tag is its blue level.
//
// Cells are light controls placed by frame from their centre and size (a 64-cube has 262,144 of
// them, too many for the constraint solver). Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "editor/adjust/pop_adj_general_base.h"
#include "platform/ui/view/ui_view.h"

class ColorPlaneView;
class PopAdjColorView;
class UIControl;
class UIViewController;

class ColorPlaneViewDelegate {
public:
    virtual ~ColorPlaneViewDelegate() = default;
    virtual long onColorPlaneViewGetRowCount(ColorPlaneView& plane) = 0;
    virtual long onColorPlaneViewGetColCount(ColorPlaneView& plane) = 0;
    virtual std::shared_ptr<UIColor> onColorPlaneViewGetColor(ColorPlaneView& plane, long row, long col) = 0;
    virtual void onColorPlaneViewValueChanged(ColorPlaneView& plane, long row, long col,
                                              const std::shared_ptr<UIColor>& color) = 0;
};

class ColorPlaneView : public UIView, public PopAdjGeneralBaseDelegate {
public:
    KORVA_MAKE(ColorPlaneView)
    // The plane's cells share this many points across and down.
    static constexpr long kSpan = 200;
    static constexpr CGFloat kMaxCell = 40;
    static constexpr CGFloat kCellRadius = 8;

    void init() override;
    void layoutSubviews() override;

    // Rebuilds the cells from the delegate.
    void update();
    void scheduledLayout();
    // The cell's pitches across and down for a grid of rows by columns.
    static CGSize pitchFor(long rows, long cols);
    // The centre offset from the plane's centre, and the size, of the cell at (row, col).
    static CGRect cellGeometry(long rows, long cols, long row, long col);

    // A cell was tapped: opens the colour editor on that cell.
    void onButton(UIControl& cell);
    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) override;

    std::shared_ptr<ColorPlaneViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ColorPlaneViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIView>& controls() const { return controls_; }
    const std::vector<std::shared_ptr<UIControl>>& buttons() const { return buttons_; }
    // The cell editor; none before the first tap.
    const std::shared_ptr<PopAdjColorView>& popColor() const { return popColor_; }
    const Value& cursor() const { return cursor_; }

    std::string className() const override { return "ColorPlaneView"; }

protected:
    explicit ColorPlaneView(std::shared_ptr<UIViewController> vc) : vc_(std::move(vc)) {}

private:
    std::weak_ptr<ColorPlaneViewDelegate> delegate_;
    // The owning controller's view holds this view: a strong link back would keep both alive.
    std::weak_ptr<UIViewController> vc_;
    std::shared_ptr<UIView> controls_;
    std::vector<std::shared_ptr<UIControl>> buttons_;
    long rows_ = 0;
    long cols_ = 0;
    std::shared_ptr<PopAdjColorView> popColor_;
    Value cursor_;
};

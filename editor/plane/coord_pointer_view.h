// A coordinate plane with a fixed set of draggable points (the pointers) and one line through
// them: an open polyline, a closed polygon or the tone curve through five points. The owner
// builds the pointers and forwards its pan and tap recognisers; the plane only moves the points
// and tells its delegate of every move. Main-thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "editor/plane/coord_handle_view.h"
#include "editor/plane/coord_view.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

// A pointer: a cross-hair with a centre dot.
class CoordPointerHandleView : public CoordHandleView {
public:
    KORVA_MAKE(CoordPointerHandleView)
    std::string className() const override { return "CoordPointerHandleView"; }

protected:
    CoordPointerHandleView(CGFloat width, std::shared_ptr<UIColor> color);
    CGPath mark() const override;
};

class CoordPointerView;

class CoordPointerViewDelegate {
public:
    virtual ~CoordPointerViewDelegate() = default;
    virtual void onCoordPointerViewValueChanged(CoordPointerView& plane) = 0;
};

enum class CoordLineType : std::int64_t { None = 0, Open = 1, Closed = 2, ToneCurve = 3 };

class CoordPointerView : public CoordView {
public:
    KORVA_MAKE(CoordPointerView)
    static constexpr CGFloat kPointerSide = 15;
    static constexpr int kToneCurveSamples = 100;

    // Adds a pointer of the colour at (0, 0); answers its index.
    std::size_t addPointer(const std::shared_ptr<UIColor>& color);
    void resetPointers();
    const std::vector<std::shared_ptr<CoordPointerHandleView>>& pointers() const { return pointers_; }

    // Guides, then the line, then every handle.
    void update() override;
    void updateLine();
    // The pointer at a place along the line. The order is followed only when it names an
    // existing pointer for every place; otherwise the points are joined in their own order.
    std::size_t getPointIndexForLine(std::size_t place) const;
    // The squared distance in view points between a handle's place and a point.
    double dist(const CoordHandleView& handle, CGPoint p) const;

    void onPan(UIGestureRecognizer& recognizer);
    void onTap(UIGestureRecognizer& recognizer);
    // The same with the state and the location in the plane's own points.
    void pan(UIGestureRecognizerState state, CGPoint p);
    void tap(UIGestureRecognizerState state, CGPoint p);

    std::shared_ptr<CoordPointerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CoordPointerViewDelegate>& d) { delegate_ = d; }
    CoordLineType lineType() const { return lineType_; }
    void setLineType(CoordLineType t) { lineType_ = t; }
    const std::optional<std::vector<std::size_t>>& lineOrder() const { return lineOrder_; }
    void setLineOrder(std::optional<std::vector<std::size_t>> order) { lineOrder_ = std::move(order); }
    const std::shared_ptr<CAShapeLayer>& line();
    const std::shared_ptr<CoordPointerHandleView>& panK() const { return panK_; }

    std::string className() const override { return "CoordPointerView"; }

protected:
    using CoordView::CoordView;

private:
    std::size_t nearest(CGPoint p) const;
    bool lineOrderFits() const;
    void changed();
    CGPath linePath() const;
    CGPath toneCurvePath() const;

    std::shared_ptr<CoordPointerHandleView> panK_;
    CGPoint panP0_{}, panV0_{};
    std::weak_ptr<CoordPointerViewDelegate> delegate_;
    CoordLineType lineType_ = CoordLineType::None;
    std::optional<std::vector<std::size_t>> lineOrder_;
    std::vector<std::shared_ptr<CoordPointerHandleView>> pointers_;
    std::shared_ptr<CAShapeLayer> line_;
};

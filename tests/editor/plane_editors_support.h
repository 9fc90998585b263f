// The plane editors opened through the parameter pop-up, over real pictures of known sizes.
#pragma once

#include <cmath>
#include <limits>

#include "editor/plane/coord_pointer_view.h"
#include "editor/plane_edit/pop_adj_graph2d_view.h"
#include "editor/plane_edit/pop_adj_positions_view.h"
#include "editor/plane_edit/pop_adj_rect_view.h"
#include "filter/filter_record_values.h"
#include "platform/image/ci_color.h"
#include "tests/editor/adjust_test_support.h"

inline Value numbers(std::initializer_list<double> xs) {
    Value a = Value::array();
    for (double x : xs) a.append(Value(x));
    return a;
}

// A flat picture of the size, its extent at the origin.
inline std::shared_ptr<CIImage> picture(CGFloat w, CGFloat h) {
    return CIImage::imageWithColor(CIColor::colorWithRed(0.3, 0.5, 0.7))->imageByCroppingToRect({{0, 0}, {w, h}});
}

// The host's picture requests are counted, to see the canvas refresh.
struct CountingHost : AdjHost {
    int imageAsks = 0;
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView& p) override {
        ++imageAsks;
        return AdjHost::onPopAdjViewGetImage(p);
    }
};

struct PlaneEditors : AdjustTest {
    std::shared_ptr<PopAdjView> pop;
    std::shared_ptr<CountingHost> counting = std::make_shared<CountingHost>();

    void SetUp() override {
        AdjustTest::SetUp();
        host = counting;
        pop = PopAdjView::make(screenVC);
        pop->setDelegate(host);
    }
    void open(const Value& attrs, std::size_t index = 0) {
        pop->setAttrs(attrs);
        pop->updateData();
        ASSERT_LT(index, pop->arr().size());
        pop->act(pop->arr()[index], anchor);
        advance(0.5);
    }
    // The point of the view's own coordinates in the window.
    CGPoint inWindow(const std::shared_ptr<UIView>& v, CGPoint p) { return v->convertPointToView(p, window); }
    static CGPoint xy(const Value& record) {
        return {record["value"][std::size_t{0}].doubleValue(), record["value"][std::size_t{1}].doubleValue()};
    }
    static bool allFinite(const Value& record) {
        const ValueArray* a = record["value"].arrayPtr();
        if (!a) return false;
        for (const Value& v : *a) {
            if (!std::isfinite(v.doubleValue())) return false;
        }
        return true;
    }
};

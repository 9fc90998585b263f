// Parameter pop-up and editor tests: a plain screen with a label to anchor on, hand-made attribute
// records, and a host that logs what the pop-up asks of it.
#pragma once

#include <string>
#include <vector>

#include "editor/adjust/pop_adj_view.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/ui/popup/popup_test_support.h"

// An attribute record of the given display name and editor kind, editable, with further keys.
inline Value adjRecord(const char* disp, int kind, ValueDictionary extra = {}) {
    Value r = Value::dictionary({{"type", Value("NSNumber")}, {"view", Value(kind)}, {"editable", Value(true)}});
    if (disp) r.set("disp", Value(disp));
    for (const auto& [k, v] : extra) r.set(k, v);
    return r;
}

// An attribute set of a filter with its records by input key.
inline Value adjAttrs(const char* name, ValueDictionary records, const char* disp = nullptr) {
    Value a = Value::dictionary({{"name", Value(name)}, {"value", Value(std::move(records))}});
    if (disp) a.set("disp", Value(disp));
    return a;
}

// Logs each call as "<event> <key or disp>", keeping the records it was given.
struct AdjHost : PopAdjViewDelegate {
    std::vector<std::string> log;
    std::vector<Value> changed;
    std::string filterName;
    std::shared_ptr<CIImage> image;

    void onPopAdjViewPreprocess(PopAdjView&, const std::string& name, const std::string& key, const Value&) override {
        filterName = name;
        log.push_back("preprocess " + key);
    }
    void onPopAdjViewValueInitialize(PopAdjView&, const Value& record) override {
        log.push_back("initialize " + record["disp"].stringValue());
    }
    void onPopAdjViewValueChanged(PopAdjView&, const Value& record) override {
        log.push_back("changed " + record["disp"].stringValue());
        changed.push_back(record);
    }
    void onPopAdjViewFullScreenRequested(PopAdjView&) override { log.push_back("fullScreen"); }
    void onPopAdjViewFullScreenFinished(PopAdjView&) override { log.push_back("fullScreenEnd"); }
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView&) override { return image; }
};

struct AdjustTest : PopupTest {
    std::shared_ptr<UIView> anchor;
    std::shared_ptr<AdjHost> host = std::make_shared<AdjHost>();

    void SetUp() override {
        PopupTest::SetUp();
        anchor = UIView::make(CGRect{{100, 300}, {80, 40}});
        root()->addSubview(anchor);
        settle();
    }
    // A finger down, moved through the points and lifted at the last, through touch delivery.
    void drag(const std::vector<CGPoint>& points) {
        static long id = 5000;
        ++id;
        auto dispatcher = UITouchDispatcher::shared();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const UITouchPhase phase = i == 0                   ? UITouchPhase::Began
                                       : i + 1 == points.size() ? UITouchPhase::Ended
                                                                : UITouchPhase::Moved;
            dispatcher->touchEvent({Clock::now(), {{id, points[i], phase}}});
            RunLoop::main().advance(0.02);
        }
        settle();
    }
    // A finger that lands and stays down.
    void press(CGPoint p) {
        static long id = 9000;
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{++id, p, UITouchPhase::Began}}});
        settle();
    }
    // The centre of a view in window coordinates.
    CGPoint centreOf(const std::shared_ptr<UIView>& v) {
        const CGRect r = v->convertRectToView(v->bounds(), window);
        return {CGRectGetMidX(r), CGRectGetMidY(r)};
    }
};

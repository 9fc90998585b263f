// What the editor sections share: a host for the parameter pop-up that hears it and does nothing,
// since the hand-made records hold their values already.
#pragma once

#include "editor/adjust/pop_adj_view.h"

struct QuietAdjHost : PopAdjViewDelegate {
    void onPopAdjViewPreprocess(PopAdjView&, const std::string&, const std::string&, const Value&) override {}
    void onPopAdjViewValueInitialize(PopAdjView&, const Value&) override {}
    void onPopAdjViewValueChanged(PopAdjView&, const Value&) override {}
    void onPopAdjViewFullScreenRequested(PopAdjView&) override {}
    void onPopAdjViewFullScreenFinished(PopAdjView&) override {}
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView&) override { return nullptr; }
};

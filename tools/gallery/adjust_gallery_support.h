// What the parameter-editor sections share: a host that hears the pop-up and answers with a
// picture, and a screen over the photograph with a stand-in tile to open editors from.
#pragma once

#include <memory>
#include <string>

#include "editor/adjust/pop_adj_view.h"
#include "tools/gallery/gallery.h"

class UIViewController;

// Does nothing with what it hears: the records hold their values already.
struct GalleryAdjHost : PopAdjViewDelegate {
    std::shared_ptr<CIImage> image;
    void onPopAdjViewPreprocess(PopAdjView&, const std::string&, const std::string&, const Value&) override {}
    void onPopAdjViewValueInitialize(PopAdjView&, const Value&) override {}
    void onPopAdjViewValueChanged(PopAdjView&, const Value&) override {}
    void onPopAdjViewFullScreenRequested(PopAdjView&) override {}
    void onPopAdjViewFullScreenFinished(PopAdjView&) override {}
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView&) override { return image; }
};

// A fresh window with the controller's view over the photograph and a tile near the bottom,
// which this returns.
std::shared_ptr<UIView> galleryAdjustScreen(GalleryPage& page, const std::shared_ptr<UIViewController>& vc);

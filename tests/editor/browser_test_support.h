// The filter browser's tests: a phone screen on the virtual clock with fresh folders, a stand-in
// host with a synthetic picture and a real rendering context, hand-made preset menus, and the
// wait for a strip's load (its elements are made on the list queue).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/browser/filter_list_view.h"
#include "editor/browser/filter_source.h"
#include "filter/filter_context.h"
#include "filter/filter_element.h"
#include "filter/filter_persist_element.h"
#include "filter/filter_preset.h"
#include "platform/dispatch/clock.h"
#include "platform/image/ci_image.h"
#include "tests/support/run_loop_pump.h"
#include "tests/ui/ui_test_support.h"

// A picture with a gradient in each channel, so that every look changes it visibly.
inline std::shared_ptr<CIImage> syntheticPicture(int w = 64, int h = 64) {
    std::vector<std::uint8_t> px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(40 + 180 * x / w);
            p[1] = std::uint8_t(60 + 150 * y / h);
            p[2] = std::uint8_t(200 - 150 * x / w);
            p[3] = 255;
        }
    return CIImage::imageWithBitmapData(std::move(px), std::size_t(w) * 4, w, h, CIFormat::RGBA8,
                                        CIAlphaMode::Premultiplied, nullptr);
}

// The host: a picture (none until set), a real context, and a log of what it was told. Each
// picture request may cost virtual time, as a slow render would.
struct StandInHost : FilterAttrDelegate {
    std::shared_ptr<CIImage> picture;
    std::shared_ptr<FilterContext> context = FilterContext::make();
    double drawCost = 0;
    int pictureRequests = 0;
    std::vector<std::string> log;
    std::vector<std::shared_ptr<FilterElement>> changed;
    std::function<void(const std::shared_ptr<FilterElement>&)> onChanged;

    std::shared_ptr<CIImage> onFilterSourceGetImage() override {
        ++pictureRequests;
        if (drawCost > 0) Clock::advanceVirtual(drawCost);
        return picture;
    }
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override { return context; }
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) override {
        if (onChanged) onChanged(element);
        changed.push_back(element);
        log.push_back("changed");
    }
    void onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key, const Value&) override {
        log.push_back("before " + filterName + " " + key);
    }
};

// Filter descriptions quick to make and to render.
inline Value sepiaDesc(const std::string& disp, double intensity = 0.8) {
    return Value::dictionary(
        {{"name", Value("CISepiaTone")},
         {"disp", Value(disp)},
         {"value", Value::dictionary({{"inputIntensity", Value::dictionary({{"value", Value(intensity)},
                                                                            {"editable", Value(true)}})}})}});
}
inline Value xrayDesc(const std::string& disp) {
    return Value::dictionary({{"name", Value("CIXRay")}, {"disp", Value(disp)}});
}
// A description no element can be made from.
inline Value brokenDesc() {
    return Value::dictionary({{"name", Value("NoSuchFilter")}});
}

// Strip entries {"key", "desc"} for menu `menu`.
inline Value entriesOf(long menu, const std::vector<Value>& descs) {
    Value out = Value::array();
    for (std::size_t i = 0; i < descs.size(); ++i)
        out.append(Value::dictionary({{"key", Value(FilterPreset::presetKey(menu, long(i)))}, {"desc", descs[i]}}));
    return out;
}

struct BrowserTest : ToolkitTest {
    std::shared_ptr<UIViewController> screenVC = UIViewController::make();
    std::shared_ptr<StandInHost> host = std::make_shared<StandInHost>();

    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(screenVC);
        settle();
        host->picture = syntheticPicture();
        // Four small menus: sepia looks, an x-ray one, and a menu with a single look.
        auto preset = FilterPreset::make();
        preset->setDescBnW(
            Value::array({sepiaDesc("BRIGHT 1", 0.2), sepiaDesc("BRIGHT 2", 0.5), sepiaDesc("BRIGHT 3", 0.9)}));
        preset->setDescYellow(Value::array({xrayDesc("WARM 1"), sepiaDesc("WARM 2")}));
        preset->setDescMagenta(Value::array({sepiaDesc("MAGENTA 1")}));
        preset->setDescCyan(Value::array());
        global()->setFilterPreset(preset);
    }
    std::shared_ptr<UIView> root() { return screenVC->view(); }
    // Runs the main queue until the strip has adopted its newest load.
    static void waitForLoad(const FilterListView& strip) {
        ASSERT_TRUE(pumpMainUntil([&] { return strip.status() == FilterListView::Status::Loaded; }));
    }
};

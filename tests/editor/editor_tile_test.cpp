// Editors end to end: a stand-in for the filter tile hosts the parameter pop-up over an element of
// a preset, as the tile does (the element's persistence loads each record before it is edited and
// keeps each change; the element's graph is dropped). Each filter's item opens its editor, an edit
// reaches the tile and changes the filtered picture, and a new element of the same preset reads
// back what the engine keeps.
#include <gtest/gtest.h>

#include <functional>

#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/color/pop_adj_color_cube2_view.h"
#include "editor/color/pop_adj_color_cube_view.h"
#include "editor/color/pop_adj_color_view.h"
#include "editor/input/pop_adj_input_view.h"
#include "editor/input/pop_adj_transform_view.h"
#include "filter/filter_persist_element.h"
#include "platform/image/ci_context.h"
#include "platform/ui/control/ui_button.h"
#include "tests/editor/editor_pop_support.h"
#include "tests/filter/filter_test_support.h"
#include "ui/controls/stepper_view.h"
#include "widgets/button/icon_button.h"

namespace {

// What the tile does with the pop-up's calls.
struct TileHost : PopAdjViewDelegate {
    std::shared_ptr<FilterPersistElement> element;
    std::vector<Value> changed;
    void onPopAdjViewPreprocess(PopAdjView&, const std::string&, const std::string&, const Value&) override {}
    void onPopAdjViewValueInitialize(PopAdjView&, const Value& record) override { element->load(record); }
    void onPopAdjViewValueChanged(PopAdjView&, const Value& record) override {
        element->save(record);
        element->resetInstanceData();
        changed.push_back(record);
    }
    void onPopAdjViewFullScreenRequested(PopAdjView&) override {}
    void onPopAdjViewFullScreenFinished(PopAdjView&) override {}
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView&) override { return nullptr; }
};

// A 16 x 16 picture whose red runs across and green down, so that flips, turns, colour changes
// and convolutions all show.
std::shared_ptr<CIImage> picture() {
    std::vector<std::uint8_t> px(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = &px[static_cast<std::size_t>((y * 16 + x) * 4)];
            p[0] = static_cast<std::uint8_t>(x * 16);
            p[1] = static_cast<std::uint8_t>(y * 16);
            p[2] = 96;
            p[3] = 255;
        }
    return CIImage::imageWithBitmapData(std::move(px), 64, 16, 16, CIFormat::RGBA8, CIAlphaMode::Premultiplied,
                                        nullptr);
}

struct EditorTile : EditorPopTest {
    std::shared_ptr<TileHost> tile = std::make_shared<TileHost>();
    std::shared_ptr<CIContext> context = unmanagedContext();

    // The thumbnail's pixels (and where they lie).
    std::vector<std::uint8_t> thumbnail(FilterElement& e) {
        auto out = e.make(picture());
        if (!out) return {};
        const CGRect r = CGRectIntersection(out->extent(), CGRectMake(-32, -32, 64, 64));
        auto bitmap = context->createCGImage(out, r, CGImagePixelLayout::RGBA8Premultiplied, nullptr);
        if (!bitmap) return {};
        std::vector<std::uint8_t> bytes(bitmap->data(), bitmap->data() + bitmap->bytesPerRow() * bitmap->height());
        const auto origin = reinterpret_cast<const std::uint8_t*>(&r);
        bytes.insert(bytes.end(), origin, origin + sizeof r);
        return bytes;
    }

    // Opens the item (by input key, or the grouped item of the action), edits it, and checks the
    // edit's road through the tile.
    void editThrough(const char* filter, const char* key, int act, const std::function<void()>& edit) {
        SCOPED_TRACE(filter);
        const Value desc = Value::dictionary({{"name", Value(filter)}});
        const std::string preset = std::string("e2e-") + filter;
        tile->element = FilterPersistElement::withKey(preset, desc);
        ASSERT_NE(tile->element, nullptr);
        tile->changed.clear();
        pop->setDelegate(tile);
        const auto before = thumbnail(*tile->element);
        ASSERT_FALSE(before.empty());

        pop->setAttrs(tile->element->attrs());
        pop->updateData();
        const Value* found = nullptr;
        for (const Value& item : pop->arr())
            if (item["act"].integerValue() == act && (!key || item["k"].stringValue() == key)) found = &item;
        if (!found)
            for (const Value& item : pop->arr())
                ADD_FAILURE() << item["act"].integerValue() << " " << item["k"].stringValue();
        ASSERT_NE(found, nullptr) << "no item " << (key ? key : "") << " of action " << act;
        pop->act(*found, anchor);
        advance(1);
        edit();
        ASSERT_FALSE(tile->changed.empty()) << "the edit reached the tile";
        EXPECT_NE(thumbnail(*tile->element), before) << "the thumbnail changed";

        // Saved after the quiet time and read back by a new element of the preset.
        advance(FilterPersistElement::kSaveDelay + 0.5);
        auto again = FilterPersistElement::withKey(preset, desc);
        for (const Value& record : tile->changed) {
            if (FilterPersistElement::isSkipAttr(record) || std::string(filter).find("Cube") != std::string::npos)
                continue;  // the engine does not keep these kinds
            const Value& back = again->attrs()["value"][found->operator[]("k").stringValue()]["value"];
            EXPECT_TRUE(back.isEqual(record["value"])) << back.description() << " vs " << record["value"].description();
        }
        tap({2, 2});
        advance(1);
    }
    void stepUp(PopAdjStepperView& s) {
        s.stepper()->btnUp()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    }
};

TEST_F(EditorTile, EachEditorsEditReachesTheTileAndThePicture) {
    editThrough("CIColorCrossPolynomial", "inputRedCoefficients", 9, [&] {
        pop->popInput()->inputs()[0].first->sendActionsForControlEvents(UIControlEventTouchUpInside);
        advance(1);
        answer("0.25");
    });
    editThrough("CIConvolution3X3", "inputWeights", 9, [&] {
        pop->popInput()->inputs()[0].first->sendActionsForControlEvents(UIControlEventTouchUpInside);
        advance(1);
        answer("1");
    });
    editThrough("CIAffineTransform", "inputTransform", 16, [&] { pop->popTransform()->onRotateLeft(); });
    editThrough("CIColorCube", nullptr, 14, [&] {
        auto e = pop->popColorCube();
        e->onDimension();
        advance(0.5);
        stepUp(*e->popDimension());
    });
    editThrough("CIColorCubeWithColorSpace", nullptr, 14, [&] {
        auto e = pop->popColorCube();
        e->onDimension();
        advance(0.5);
        stepUp(*e->popDimension());
    });
}

TEST_F(EditorTile, ColourMatrixRowsAndTheCubeMix) {
    // The matrix's rows are coefficient vectors in the colour editor: opening it writes nothing,
    // a swatch does.
    editThrough("CIColorMatrix", "inputRVector", 4, [&] {
        EXPECT_TRUE(tile->changed.empty());
        pop->popColor()->swatches()[2]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    });
    editThrough("CIColorCubesMixedWithMask", nullptr, 15, [&] {
        auto e = pop->popColorCube2();
        e->onDimension();
        advance(0.5);
        stepUp(*e->popDimension());
    });
}

}  // namespace

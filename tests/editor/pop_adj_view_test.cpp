// The parameter pop-up opens an item's editor around the fixed order preprocess, initialise,
// show, relays the editors' reports, and writes text inputs through the element's setter.
#include <gtest/gtest.h>

#include "editor/adjust/adj_record.h"
#include "editor/adjust/pop_adj_slider_view.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/adjust/pop_adj_switch_view.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/input/ui_text_field.h"
#include "tests/editor/adjust_test_support.h"

namespace {

// A full-frame editor that fills the screen and tells its delegate it appeared.
struct FrameEditor : PopAdjFrameBase {
    KORVA_MAKE(FrameEditor)
    void recalcLayout() override {
        if (auto r = rootView()) setCrt(r->bounds());
    }
    void open(const std::shared_ptr<NSObject>& sender) {
        show(sender, "POSITIONS", [] {});
        if (auto d = delegate()) d->onPopAdjFrameBaseDidShow(*this);
    }

protected:
    using PopAdjFrameBase::PopAdjFrameBase;
};

// Connects the grouped actions the way their editors will: the records are prepared in the
// editor's order, then the editor shows.
struct ConnectedPop : PopAdjView {
    KORVA_MAKE(ConnectedPop)
    std::vector<std::string>* log = nullptr;
    std::shared_ptr<FrameEditor> positions;

    void actGraph2D(const Value& item, const std::shared_ptr<NSObject>&) override {
        prepare(listRecords(item));
        log->push_back("show graph");
    }
    void actColorCube(const Value& item, const std::shared_ptr<NSObject>&) override {
        prepare(cubeRecords(item));
        log->push_back("show cube");
    }
    void actColorCube2(const Value& item, const std::shared_ptr<NSObject>&) override {
        prepare(cubeRecords(item));
        log->push_back("show cubes");
    }
    void actPositions(const Value& item, const std::shared_ptr<NSObject>& sender) override {
        prepare(listRecords(item));
        frameEditor(positions).open(sender);
    }

protected:
    using PopAdjView::PopAdjView;
};

using Log = std::vector<std::string>;

struct PopAdj : AdjustTest {
    std::shared_ptr<ConnectedPop> pop;
    void SetUp() override {
        AdjustTest::SetUp();
        pop = ConnectedPop::make(screenVC);
        pop->log = &host->log;
        pop->setDelegate(host);
    }
    void openItem(const Value& attrs, std::size_t index) {
        pop->setAttrs(attrs);
        pop->updateData();
        ASSERT_LT(index, pop->arr().size());
        pop->act(pop->arr()[index], anchor);
        settle();
    }
    std::shared_ptr<UIAlertController> alert() {
        return std::dynamic_pointer_cast<UIAlertController>(screenVC->presentedViewController());
    }
};

TEST_F(PopAdj, EachRecordIsPreparedBeforeTheEditorShows) {
    Value attrs = adjAttrs("CIVignette", {{"inputRadius", adjRecord("Radius", 2, {{"value", Value(0.5)}})}});
    // The host's initialisation puts the persisted value in; the slider must show that one.
    struct Persisting : AdjHost {
        void onPopAdjViewValueInitialize(PopAdjView& p, const Value& record) override {
            record.set("value", Value(0.25));
            record.set("max", Value(1.0));
            AdjHost::onPopAdjViewValueInitialize(p, record);
        }
    };
    auto persisting = std::make_shared<Persisting>();
    pop->setDelegate(persisting);
    openItem(attrs, 0);
    EXPECT_EQ(persisting->log, (Log{"preprocess inputRadius", "initialize Radius"}));
    EXPECT_EQ(persisting->filterName, "CIVignette");
    ASSERT_NE(pop->popSlider(), nullptr);
    EXPECT_EQ(pop->popSlider()->phase(), PopPhase::Showing);
    EXPECT_FLOAT_EQ(pop->popSlider()->slider()->value(), 0.25f);
    EXPECT_TRUE(pop->popSlider()->showAboveIfBothAvailable());
}

TEST_F(PopAdj, ListsAndCubesArePreparedInTheirEditorsOrder) {
    Value curve = adjAttrs("CIToneCurve", {{"inputPoint1", adjRecord("P1", 11)}, {"inputPoint0", adjRecord("P0", 11)}});
    openItem(curve, 0);
    EXPECT_EQ(host->log, (Log{"preprocess inputPoint0", "initialize P0", "preprocess inputPoint1", "initialize P1",
                              "show graph"}));

    host->log.clear();
    Value cube = adjAttrs(
        "CIColorCube", {{"inputCubeData", adjRecord("Data", 23)}, {"inputCubeDimension", adjRecord("Dimension", 5)}});
    openItem(cube, 0);
    EXPECT_EQ(host->log, (Log{"preprocess inputCubeDimension", "initialize Dimension", "preprocess inputCubeData",
                              "initialize Data", "show cube"}));

    host->log.clear();
    Value two = adjAttrs("CIColorCubesMixedWithMask", {{"inputCube1Data", adjRecord("C1", 23)},
                                                       {"inputCube0Data", adjRecord("C0", 23)},
                                                       {"inputCubeDimension", adjRecord("Dimension", 5)}});
    openItem(two, 0);
    EXPECT_EQ(host->log, (Log{"preprocess inputCubeDimension", "initialize Dimension", "preprocess inputCube0Data",
                              "initialize C0", "preprocess inputCube1Data", "initialize C1", "show cubes"}));
}

TEST_F(PopAdj, NestedItemsArePreparedWithTheTopLevelFilterName) {
    Value inner = adjAttrs("CIVignette", {{"inputIntensity", adjRecord("Intensity", 5)}}, "Vignette");
    Value outer = adjAttrs("CIBloom", {{"inputImage", adjRecord("Image", 25, {{"value", inner}})}});
    openItem(outer, 0);
    EXPECT_EQ(host->filterName, "CIBloom");
    ASSERT_NE(pop->popStepper(), nullptr);
    EXPECT_EQ(pop->popStepper()->phase(), PopPhase::Showing);
    // No bounds in the record: the pop-up's defaults.
    EXPECT_EQ(pop->popStepper()->stepper()->minValue(), 1);
    EXPECT_EQ(pop->popStepper()->stepper()->maxValue(), 100);
}

TEST_F(PopAdj, ItemsWithoutAConnectedEditorOpenNothing) {
    // A position input under the tone curve and two inputs without an editor kind.
    Value attrs = adjAttrs("CIToneCurve", {{"inputPlace", adjRecord("Place", 7)},
                                           {"inputOdd", adjRecord("Odd", 23)},
                                           {"inputData", adjRecord("Data", 22)}});
    for (std::size_t i = 0; i < 3; ++i) openItem(attrs, i);
    EXPECT_TRUE(host->log.empty());
    pop->act(Value::dictionary({{"act", Value(99)}}), anchor);
    pop->act(Value(), anchor);
    EXPECT_TRUE(host->log.empty());
    EXPECT_EQ(pop->popSlider(), nullptr);
}

TEST_F(PopAdj, ALoneItemOpensDirectly) {
    Value one = adjAttrs("CIVignette", {{"inputFlag", adjRecord("Flag", 4)}});
    EXPECT_TRUE(pop->act1(one, anchor));
    ASSERT_NE(pop->popSwitch(), nullptr);
    EXPECT_EQ(pop->popSwitch()->phase(), PopPhase::Showing);

    host->log.clear();
    Value two = adjAttrs("CIVignette", {{"inputA", adjRecord("A", 2)}, {"inputB", adjRecord("B", 2)}});
    EXPECT_FALSE(pop->act1(two, anchor));
    EXPECT_EQ(pop->popSlider(), nullptr);
    EXPECT_TRUE(host->log.empty());
    EXPECT_EQ(pop->arr().size(), 2u);
    EXPECT_FALSE(pop->act1(adjAttrs("CIVignette", {}), anchor));
}

TEST_F(PopAdj, EditorReportsReachTheHostWithTheRecord) {
    Value attrs = adjAttrs("CIVignette", {{"inputRadius", adjRecord("Radius", 2, {{"max", Value(10)}})}});
    openItem(attrs, 0);
    advance(0.5);
    pop->popSlider()->slider()->setValue(3);
    pop->popSlider()->slider()->sendActionsForControlEvents(UIControlEventValueChanged);
    ASSERT_EQ(host->changed.size(), 1u);
    EXPECT_EQ(host->changed[0].identity(), attrs["value"]["inputRadius"].identity());
    EXPECT_DOUBLE_EQ(host->changed[0]["value"].doubleValue(), 3);
}

TEST_F(PopAdj, HidingClosesTheSmallEditorsButNotTheFullFrameOnes) {
    Value attrs = adjAttrs("CIBumpDistortion",
                           {{"inputCenter", adjRecord("Center", 7)}, {"inputRadius", adjRecord("Radius", 2)}});
    pop->show(
        anchor, [] {}, [] {});
    openItem(attrs, 0);
    openItem(attrs, 1);
    advance(0.5);
    ASSERT_NE(pop->positions, nullptr);
    EXPECT_EQ(host->log.back(), "fullScreen");
    EXPECT_EQ(pop->positions->titleView()->lblTitle() != nullptr, true);
    EXPECT_EQ(pop->popSlider()->phase(), PopPhase::Shown);
    EXPECT_EQ(pop->positions->phase(), PopPhase::Shown);

    // A relayout reaches every editor made so far.
    pop->scheduledInternalLayout();
    EXPECT_TRUE(pop->popSlider()->layoutPending());
    EXPECT_TRUE(pop->positions->layoutPending());

    pop->hide([] {});
    advance(0.5);
    EXPECT_EQ(pop->phase(), PopPhase::Hidden);
    EXPECT_EQ(pop->popSlider()->phase(), PopPhase::Hidden);
    EXPECT_EQ(pop->positions->phase(), PopPhase::Shown);

    // The frame editor's questions and reports go to the host too.
    host->image = CIImage::emptyImage();
    EXPECT_EQ(pop->onPopAdjFrameBaseGetImage(*pop->positions), host->image);
    pop->onPopAdjFrameBaseValueChanged(*pop->positions, attrs["value"]["inputCenter"]);
    pop->onPopAdjFrameBaseWillHide(*pop->positions);
    EXPECT_EQ(host->log.back(), "fullScreenEnd");
    EXPECT_EQ(host->log[host->log.size() - 2], "changed Center");
}

TEST_F(PopAdj, TheTextPromptWritesThroughTheSetterOnOKOnly) {
    Value record = adjRecord("Message", 26, {{"value", Value("old")}, {"instanceData", Value(1)}});
    Value attrs = adjAttrs("CIQRCodeGenerator", {{"inputMessage", record}});
    openItem(attrs, 0);
    advance(1);
    EXPECT_EQ(host->log, (Log{"preprocess inputMessage", "initialize Message"}));
    ASSERT_NE(alert(), nullptr);
    ASSERT_EQ(alert()->textFields().size(), 1u);
    EXPECT_EQ(alert()->textFields()[0]->text(), "old");
    EXPECT_EQ(alert()->textFields()[0]->placeholder(), "");
    alert()->textFields()[0]->setText("discarded");
    EXPECT_TRUE(alert()->chooseActionWithTitle("Cancel"));
    advance(1);
    EXPECT_EQ(record["value"].stringValue(), "old");
    EXPECT_TRUE(record.dictionaryPtr()->contains("instanceData"));
    EXPECT_TRUE(host->changed.empty());

    // Any text, however long or in whatever script, is stored as given.
    const std::string text = "Ηλιοβασίλεμα 日没 🌅 " + std::string(5000, 'x') + "\n\t\"quoted\"";
    openItem(attrs, 0);
    advance(1);
    ASSERT_NE(alert(), nullptr);
    alert()->textFields()[0]->setText(text);
    EXPECT_TRUE(alert()->chooseActionWithTitle("OK"));
    advance(1);
    EXPECT_EQ(record["value"].stringValue(), text);
    EXPECT_FALSE(record.dictionaryPtr()->contains("instanceData"));
    ASSERT_EQ(host->changed.size(), 1u);
    EXPECT_EQ(host->changed[0].identity(), record.identity());
}

}  // namespace

// The parameter pop-up: turns a filter element's attribute set into a flat list of parameter items
// and opens the right editor for an item, around a fixed calling order:
//
//   for each record the editor edits, in order: delegate Preprocess, then ValueInitialize;
//   then the editor's show; then, while it is open, every write the editor reports is relayed to
//   the delegate as ValueChanged.
//
// Items are dictionaries, one of these shapes ("header" is the path of nested filter display
// names, "" at the top level):
//   single     {"act", "k": input key, "attr": record, "header"}
//   positions  {"act": 5, "arr": [{"k", "attr"}...], "header"}
//   tone curve {"act": 8, "arr": [{"k", "attr"}...], "header"}
//   cube       {"act": 14, "attr": {"inputCubeDimension": {"k", "attr"}, "inputCubeData": {...}}, "header"}
//   two cubes  {"act": 15, "attr": {"inputCubeDimension", "inputCube0Data", "inputCube1Data"}, "header"}
//
// The base has no list of its own; the horizontal pop-up adds the row of labels. Editors are made
// on first use and kept. Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/adjust/adj_action.h"
#include "editor/adjust/pop_adj_frame_base.h"
#include "editor/adjust/pop_adj_general_base.h"
#include "platform/image/ci_image.h"
#include "platform/runtime/value.h"
#include "ui/popup/pop_arrowed_view.h"

class PopAdjView;
class PopAdjSliderView;
class PopAdjStepperView;
class PopAdjSwitchView;
class PopAdjInputView;
class PopAdjVectorView;
class PopAdjTransformView;
class PopAdjColorSpaceView;
class PopAdjColorView;
class PopAdjColorArrayView;
class PopAdjColorCubeView;
class PopAdjColorCube2View;
class PopAdjGraph2DView;
class PopAdjPositionsView;
class PopAdjRectView;
class PopAdjSourceView;

// Implemented by the host of the pop-up (the filter tile).
class PopAdjViewDelegate {
public:
    virtual ~PopAdjViewDelegate() = default;
    // A record is about to be edited; the host may adjust it. The filter name is the top-level
    // filter's, also for the inputs of nested filters.
    virtual void onPopAdjViewPreprocess(PopAdjView& pop, const std::string& filterName, const std::string& key,
                                        const Value& record) = 0;
    // Put the persisted value into the record.
    virtual void onPopAdjViewValueInitialize(PopAdjView& pop, const Value& record) = 0;
    // An editor wrote the record's value.
    virtual void onPopAdjViewValueChanged(PopAdjView& pop, const Value& record) = 0;
    // A full-screen editor appeared: the holder should get out of the way.
    virtual void onPopAdjViewFullScreenRequested(PopAdjView& pop) = 0;
    // The full-screen editor is closing.
    virtual void onPopAdjViewFullScreenFinished(PopAdjView& pop) = 0;
    // The source picture for editors that draw over it; may be none.
    virtual std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView& pop) = 0;
};

class PopAdjView : public PopArrowedView, public PopAdjGeneralBaseDelegate, public PopAdjFrameBaseDelegate {
public:
    KORVA_MAKE(PopAdjView)
    static constexpr CGSize kInitialSize{250, 80};
    // The stepper's bounds for a record without "min" or "max".
    static constexpr float kStepperMinIfNotExist = 1;
    static constexpr float kStepperMaxIfNotExist = 100;

    ~PopAdjView() override;
    void init() override;

    // The items of an attribute set, in the order the parse makes them.
    static ValueArray parseTo1D(const Value& attrs, const std::string& header);
    // Adds the items of one input of the named filter.
    static void parseTo1D(const std::string& filterName, const std::string& key, const Value& record,
                          const std::string& header, ValueArray& result);
    // The action of a record's editor kind (the filter name plays no part).
    static AdjAction parseViewType(const Value& record, const std::string& filterName);
    // Whether the attribute set has at least one item.
    static bool available(const Value& attrs);
    // Items by the case-insensitive display name of their record; items without one (the
    // grouped items among them) follow, in the order given.
    static ValueArray sortedItems(ValueArray items);
    // The inputs a cube item holds, in the order its editor takes them: the dimension, then the
    // data (two tables for the two-cube item). None for other actions.
    static const std::vector<std::string>& cubeInputsOf(AdjAction act);

    // Parses `attrs` into `arr`, sorted.
    virtual void updateData();
    // Takes the attribute set; when it has exactly one item, opens that item's editor at the
    // anchor and answers true.
    bool act1(const Value& attrs, const std::shared_ptr<NSObject>& sender);
    // Opens the item's editor at the anchor; an item of another action opens nothing.
    void act(const Value& item, const std::shared_ptr<NSObject>& sender);

    // One operation per action. Those whose editors are not part of the program yet open nothing.
    virtual void actSlider(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actSwitch(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actStepper(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actColor(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actPositions(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actRect(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actVector(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actGraph2D(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actInput(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actString(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actSource(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actColorSpace(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actColorArray(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actColorCube(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actColorCube2(const Value& item, const std::shared_ptr<NSObject>& sender);
    virtual void actTransform(const Value& item, const std::shared_ptr<NSObject>& sender);

    // Hides the small editors that are open, then the pop-up itself. The full-frame editors stay.
    void hide(Callback completion) override;
    using PopArrowedView::hide;
    void scheduledInternalLayout() override;

    void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) override;
    void onPopAdjFrameBaseDidShow(PopAdjFrameBase& editor) override;
    void onPopAdjFrameBaseWillHide(PopAdjFrameBase& editor) override;
    std::shared_ptr<CIImage> onPopAdjFrameBaseGetImage(PopAdjFrameBase& editor) override;
    void onPopAdjFrameBaseValueChanged(PopAdjFrameBase& editor, const Value& record) override;

    std::shared_ptr<PopAdjViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopAdjViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIView>& b0();
    const Value& attrs() const { return attrs_; }
    void setAttrs(Value attrs) { attrs_ = std::move(attrs); }
    const ValueArray& arr() const { return arr_; }

    // The editors made so far (none before first use).
    const std::shared_ptr<PopAdjSliderView>& popSlider() const { return popSlider_; }
    const std::shared_ptr<PopAdjSwitchView>& popSwitch() const { return popSwitch_; }
    const std::shared_ptr<PopAdjStepperView>& popStepper() const { return popStepper_; }
    const std::shared_ptr<PopAdjInputView>& popInput() const { return popInput_; }
    const std::shared_ptr<PopAdjVectorView>& popVector() const { return popVector_; }
    const std::shared_ptr<PopAdjTransformView>& popTransform() const { return popTransform_; }
    const std::shared_ptr<PopAdjColorSpaceView>& popColorSpace() const { return popColorSpace_; }
    const std::shared_ptr<PopAdjColorView>& popColor() const { return popColor_; }
    const std::shared_ptr<PopAdjColorArrayView>& popColorArray() const { return popColorArray_; }
    const std::shared_ptr<PopAdjColorCubeView>& popColorCube() const { return popColorCube_; }
    const std::shared_ptr<PopAdjColorCube2View>& popColorCube2() const { return popColorCube2_; }
    const std::shared_ptr<PopAdjGraph2DView>& popGraph2D() const { return popGraph2D_; }
    const std::shared_ptr<PopAdjPositionsView>& popPositions() const { return popPositions_; }
    const std::shared_ptr<PopAdjRectView>& popRect() const { return popRect_; }
    const std::shared_ptr<PopAdjSourceView>& popSource() const { return popSource_; }

    std::string className() const override { return "PopAdjView"; }

protected:
    explicit PopAdjView(std::shared_ptr<UIViewController> vc);

    // An input key with its record, as the editors take them.
    using KeyedRecord = std::pair<std::string, Value>;
    // The records an item's editor edits, in the order they are prepared: the record of a single
    // item; each entry of "arr"; the cube entries under the given names.
    static std::vector<KeyedRecord> singleRecord(const Value& item);
    static std::vector<KeyedRecord> listRecords(const Value& item);
    static std::vector<KeyedRecord> cubeRecords(const Value& item);
    // The first step of every opening: for each record in order, the host's preprocessing and
    // then its value initialisation.
    void prepare(const std::vector<KeyedRecord>& records);

    // Makes a small editor on first use: owned by this pop-up's controller, shown above its
    // sender when both sides have room, reporting to this pop-up, hidden with it.
    template <class Editor>
    Editor& generalEditor(std::shared_ptr<Editor>& field) {
        if (!field) {
            field = Editor::make(vc());
            field->setShowAboveIfBothAvailable(true);
            adoptGeneralEditor(field);
        }
        return *field;
    }
    // Makes a full-frame editor on first use: reporting to this pop-up, not hidden with it.
    template <class Editor>
    Editor& frameEditor(std::shared_ptr<Editor>& field) {
        if (!field) {
            field = Editor::make(vc());
            adoptFrameEditor(field);
        }
        return *field;
    }

private:
    void adoptGeneralEditor(const std::shared_ptr<PopAdjGeneralBase>& editor);
    void adoptFrameEditor(const std::shared_ptr<PopAdjFrameBase>& editor);

    std::weak_ptr<PopAdjViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    Value attrs_;
    ValueArray arr_;
    std::shared_ptr<PopAdjSliderView> popSlider_;
    std::shared_ptr<PopAdjSwitchView> popSwitch_;
    std::shared_ptr<PopAdjStepperView> popStepper_;
    std::shared_ptr<PopAdjInputView> popInput_;
    std::shared_ptr<PopAdjVectorView> popVector_;
    std::shared_ptr<PopAdjTransformView> popTransform_;
    std::shared_ptr<PopAdjColorSpaceView> popColorSpace_;
    std::shared_ptr<PopAdjColorView> popColor_;
    std::shared_ptr<PopAdjColorArrayView> popColorArray_;
    std::shared_ptr<PopAdjColorCubeView> popColorCube_;
    std::shared_ptr<PopAdjColorCube2View> popColorCube2_;
    std::shared_ptr<PopAdjGraph2DView> popGraph2D_;
    std::shared_ptr<PopAdjPositionsView> popPositions_;
    std::shared_ptr<PopAdjRectView> popRect_;
    std::shared_ptr<PopAdjSourceView> popSource_;
    // Every editor made so far, in the order made, for hiding and relayout.
    std::vector<std::shared_ptr<PopAdjGeneralBase>> generalEditors_;
    std::vector<std::shared_ptr<PopAdjFrameBase>> frameEditors_;
};

#include "editor/adjust/pop_adj_view.h"

#include "editor/adjust/pop_adj_slider_view.h"
#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/adjust/pop_adj_switch_view.h"
#include "editor/color/pop_adj_color_array_view.h"
#include "editor/color/pop_adj_color_cube2_view.h"
#include "editor/color/pop_adj_color_cube_view.h"
#include "editor/color/pop_adj_color_space_view.h"
#include "editor/color/pop_adj_color_view.h"
#include "editor/input/pop_adj_input_view.h"
#include "editor/input/pop_adj_transform_view.h"
#include "editor/input/pop_adj_vector_view.h"
#include "editor/plane_edit/pop_adj_graph2d_view.h"
#include "editor/plane_edit/pop_adj_positions_view.h"
#include "editor/plane_edit/pop_adj_rect_view.h"
#include "editor/source/pop_adj_source_view.h"
#include "filter/filter_element.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {
constexpr CGFloat kContentInset = 1;
}  // namespace

PopAdjView::PopAdjView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

PopAdjView::~PopAdjView() = default;

void PopAdjView::init() {
    PopArrowedView::init();
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    hideOnTapOutside();
    setBgColor(UIColor::colorWithWhite(0, 1));
    b0();
}

const std::shared_ptr<UIView>& PopAdjView::b0() {
    if (!b0_) {
        b0_ = UIView::make();
        assignRound(*b0_, kPopupCornerRadius);
        b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
        container()->addSubview(b0_);
        addConstraintsFull(b0_, container(), kContentInset, kContentInset, -kContentInset, -kContentInset);
    }
    return b0_;
}

void PopAdjView::updateData() {
    arr_ = sortedItems(parseTo1D(attrs_, ""));
}

bool PopAdjView::act1(const Value& attrs, const std::shared_ptr<NSObject>& sender) {
    attrs_ = attrs;
    updateData();
    if (arr_.size() != 1) return false;
    act(arr_.front(), sender);
    return true;
}

void PopAdjView::act(const Value& item, const std::shared_ptr<NSObject>& sender) {
    switch (adjActionFromNumber(item["act"].integerValue())) {
        case AdjAction::Slider: return actSlider(item, sender);
        case AdjAction::Switch: return actSwitch(item, sender);
        case AdjAction::Stepper: return actStepper(item, sender);
        case AdjAction::Color: return actColor(item, sender);
        case AdjAction::Positions: return actPositions(item, sender);
        case AdjAction::Rect: return actRect(item, sender);
        case AdjAction::Vector: return actVector(item, sender);
        case AdjAction::Graph2D: return actGraph2D(item, sender);
        case AdjAction::Input: return actInput(item, sender);
        case AdjAction::String: return actString(item, sender);
        case AdjAction::Source: return actSource(item, sender);
        case AdjAction::ColorSpace: return actColorSpace(item, sender);
        case AdjAction::ColorArray: return actColorArray(item, sender);
        case AdjAction::ColorCube: return actColorCube(item, sender);
        case AdjAction::ColorCube2: return actColorCube2(item, sender);
        case AdjAction::Transform: return actTransform(item, sender);
        case AdjAction::None: return;
    }
}

std::vector<PopAdjView::KeyedRecord> PopAdjView::singleRecord(const Value& item) {
    return {{item["k"].stringValue(), item["attr"]}};
}

std::vector<PopAdjView::KeyedRecord> PopAdjView::listRecords(const Value& item) {
    std::vector<KeyedRecord> out;
    if (const ValueArray* entries = item["arr"].arrayPtr())
        for (const Value& e : *entries) out.emplace_back(e["k"].stringValue(), e["attr"]);
    return out;
}

std::vector<PopAdjView::KeyedRecord> PopAdjView::cubeRecords(const Value& item) {
    std::vector<KeyedRecord> out;
    for (const auto& name : cubeInputsOf(adjActionFromNumber(item["act"].integerValue()))) {
        const Value& e = item["attr"][name];
        out.emplace_back(e["k"].stringValue(), e["attr"]);
    }
    return out;
}

void PopAdjView::prepare(const std::vector<KeyedRecord>& records) {
    const std::string filterName = attrs_["name"].stringValue();
    for (const auto& [key, record] : records) {
        // Looked up for each call: the host may let go of the pop-up's delegate meanwhile.
        if (auto d = delegate()) d->onPopAdjViewPreprocess(*this, filterName, key, record);
        if (auto d = delegate()) d->onPopAdjViewValueInitialize(*this, record);
    }
}

void PopAdjView::actSlider(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popSlider_).show(sender, item["attr"], [] {});
}

void PopAdjView::actSwitch(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popSwitch_).show(sender, item["attr"], [] {});
}

void PopAdjView::actStepper(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popStepper_).show(sender, item["attr"], kStepperMinIfNotExist, kStepperMaxIfNotExist, [] {});
}

void PopAdjView::actSource(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popSource_).show(sender, item["attr"], [] {});
}

void PopAdjView::actString(const Value& item, const std::shared_ptr<NSObject>& sender) {
    (void)sender;
    prepare(singleRecord(item));
    const Value record = item["attr"];
    std::weak_ptr<PopAdjView> weak = self<PopAdjView>();
    prompt(
        vc(), "", "", record["value"].stringValue(), UIKeyboardType::Default,
        [weak, record](const std::string& text) {
            // Through the setter like every editor, so no stale conversion stays behind.
            FilterElement::setAttrValueString(record, text);
            auto s = weak.lock();
            if (auto d = s ? s->delegate() : nullptr) d->onPopAdjViewValueChanged(*s, record);
        },
        [] {});
}

void PopAdjView::actInput(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popInput_).show(sender, item["attr"], [] {});
}

void PopAdjView::actVector(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popVector_).show(sender, item["attr"], [] {});
}

void PopAdjView::actTransform(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popTransform_).show(sender, item["attr"], [] {});
}

void PopAdjView::actColorSpace(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popColorSpace_).show(sender, item["attr"], [] {});
}

void PopAdjView::actColor(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popColor_).show(sender, item["attr"], [] {});
}

void PopAdjView::actColorArray(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    generalEditor(popColorArray_).show(sender, item["attr"], [] {});
}

void PopAdjView::actColorCube(const Value& item, const std::shared_ptr<NSObject>& sender) {
    const auto records = cubeRecords(item);
    prepare(records);
    generalEditor(popColorCube_).show(sender, records[0].second, records[1].second, [] {});
}

void PopAdjView::actColorCube2(const Value& item, const std::shared_ptr<NSObject>& sender) {
    const auto records = cubeRecords(item);
    prepare(records);
    generalEditor(popColorCube2_).show(sender, records[0].second, records[1].second, records[2].second, [] {});
}

void PopAdjView::actPositions(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(listRecords(item));
    frameEditor(popPositions_).show(sender, item["arr"], [] {});
}

void PopAdjView::actRect(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(singleRecord(item));
    frameEditor(popRect_).show(sender, item["attr"], [] {});
}

void PopAdjView::actGraph2D(const Value& item, const std::shared_ptr<NSObject>& sender) {
    prepare(listRecords(item));
    generalEditor(popGraph2D_).show(sender, item["arr"], [] {});
}

void PopAdjView::adoptGeneralEditor(const std::shared_ptr<PopAdjGeneralBase>& editor) {
    editor->setDelegate(std::dynamic_pointer_cast<PopAdjGeneralBaseDelegate>(shared_from_this()));
    generalEditors_.push_back(editor);
}

void PopAdjView::adoptFrameEditor(const std::shared_ptr<PopAdjFrameBase>& editor) {
    editor->setDelegate(std::dynamic_pointer_cast<PopAdjFrameBaseDelegate>(shared_from_this()));
    frameEditors_.push_back(editor);
}

void PopAdjView::hide(Callback completion) {
    for (const auto& editor : generalEditors_) editor->hide(Callback([] {}));
    PopArrowedView::hide(std::move(completion));
}

void PopAdjView::scheduledInternalLayout() {
    PopArrowedView::scheduledInternalLayout();
    for (const auto& editor : generalEditors_) editor->scheduledLayout();
    for (const auto& editor : frameEditors_) editor->scheduledLayout();
}

void PopAdjView::onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value& record) {
    if (auto d = delegate()) d->onPopAdjViewValueChanged(*this, record);
}

void PopAdjView::onPopAdjFrameBaseDidShow(PopAdjFrameBase&) {
    if (auto d = delegate()) d->onPopAdjViewFullScreenRequested(*this);
}

void PopAdjView::onPopAdjFrameBaseWillHide(PopAdjFrameBase&) {
    if (auto d = delegate()) d->onPopAdjViewFullScreenFinished(*this);
}

std::shared_ptr<CIImage> PopAdjView::onPopAdjFrameBaseGetImage(PopAdjFrameBase&) {
    auto d = delegate();
    return d ? d->onPopAdjViewGetImage(*this) : nullptr;
}

void PopAdjView::onPopAdjFrameBaseValueChanged(PopAdjFrameBase&, const Value& record) {
    if (auto d = delegate()) d->onPopAdjViewValueChanged(*this, record);
}

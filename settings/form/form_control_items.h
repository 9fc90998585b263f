// Rows driven by one control: a yes/no switch, a segmented choice and a 0...1 slider. Each
// handler runs after the user changed the value, with the item.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "settings/form/form_table_view_item.h"

class FormBoolItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormBoolItem)
    using ChangeHandler = std::function<void(FormBoolItem&)>;
    static std::shared_ptr<FormBoolItem> itemWithTitle(std::optional<std::string> title, bool value,
                                                       ChangeHandler handler = nullptr);

    bool value = false;
    ChangeHandler switchValueChangeHandler;

    std::optional<FormErrors> errors() const override { return validate(Value(value)); }
    std::string className() const override { return "FormBoolItem"; }

protected:
    FormBoolItem() = default;
};

class FormSegmentedItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormSegmentedItem)
    using ChangeHandler = std::function<void(FormSegmentedItem&)>;
    static std::shared_ptr<FormSegmentedItem> itemWithTitle(std::optional<std::string> title,
                                                            std::vector<std::string> titles, long value,
                                                            ChangeHandler handler = nullptr);
    static std::shared_ptr<FormSegmentedItem> itemWithTitle(std::optional<std::string> title,
                                                            std::vector<std::shared_ptr<UIImage>> images, long value,
                                                            ChangeHandler handler = nullptr);

    long value = 0;
    // One segment per title; the images are used only when there are no titles.
    std::vector<std::string> segmentedControlTitles;
    std::vector<std::shared_ptr<UIImage>> segmentedControlImages;
    // None leaves the control's own colour.
    std::shared_ptr<UIColor> tintColor;
    ChangeHandler switchValueChangeHandler;

    std::string className() const override { return "FormSegmentedItem"; }

protected:
    FormSegmentedItem() = default;
};

class FormFloatItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormFloatItem)
    using ChangeHandler = std::function<void(FormFloatItem&)>;
    static constexpr double kDefaultSliderWidth = 140;
    static std::shared_ptr<FormFloatItem> itemWithTitle(std::optional<std::string> title, float value,
                                                        ChangeHandler handler = nullptr);

    float value = 0;
    double sliderWidth = kDefaultSliderWidth;
    // Runs on every value change while the thumb moves.
    ChangeHandler sliderValueChangeHandler;

    std::optional<FormErrors> errors() const override { return validate(Value(value)); }
    std::string className() const override { return "FormFloatItem"; }

protected:
    FormFloatItem() = default;
};

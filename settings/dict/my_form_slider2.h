// The settings form's slider row: a title and a slider over 0 to 1 that reports once, when the
// thumb is released.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_slider.h"
#include "settings/form/form_table_view_cell.h"

class MyFormSlider2Item : public FormTableViewItem {
public:
    KORVA_MAKE(MyFormSlider2Item)
    using ChangeHandler = std::function<void(MyFormSlider2Item&)>;
    static std::shared_ptr<MyFormSlider2Item> itemWithTitle(std::optional<std::string> title, float value,
                                                            ChangeHandler handler = nullptr);

    float value = 0;
    ChangeHandler valueChangeHandler;

    std::string className() const override { return "MyFormSlider2Item"; }

protected:
    MyFormSlider2Item() = default;
};

class MyFormSlider2Cell : public FormTableViewCell {
public:
    KORVA_MAKE(MyFormSlider2Cell)
    using FormTableViewCell::canFocusWithItem;
    using FormTableViewCell::heightWithItem;

    std::shared_ptr<MyFormSlider2Item> sliderItem() const {
        return std::dynamic_pointer_cast<MyFormSlider2Item>(formItemObject(item()));
    }
    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<UISlider>& slider() const { return slider_; }

    void cellDidLoad() override;
    void cellWillAppear() override;
    // Shows the item.
    void updateView();
    void onSlider();

    std::string className() const override { return "MyFormSlider2Cell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    // Places the label and slider for the margin of the row's section.
    void place();

    std::shared_ptr<UILabel> label_;
    std::shared_ptr<UISlider> slider_;
    CGFloat placedMargin_ = -1;
};

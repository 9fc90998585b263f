// The base of the small parameter editors that float beside their label under a title bar (slider,
// stepper, switch and the later value editors). An editor opens on one attribute record, writes
// each change into that record through a FilterElement setter and then tells its delegate; it
// offers "Reset" when the record has a default and closes on a tap that ends outside its panel.
// Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/value.h"
#include "ui/popup/pop_title_base.h"

class PopAdjGeneralBase;

class PopAdjGeneralBaseDelegate {
public:
    virtual ~PopAdjGeneralBaseDelegate() = default;
    // Sent after every write, with the record that was written.
    virtual void onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase& editor, const Value& record) = 0;
};

class PopAdjGeneralBase : public PopTitleBase {
public:
    void init() override;

    std::shared_ptr<PopAdjGeneralBaseDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopAdjGeneralBaseDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "PopAdjGeneralBase"; }

protected:
    using PopTitleBase::PopTitleBase;

    // "Reset" on the title bar exactly when the record has a default (never animated), then the
    // record's display name in upper case as the title, shown at the sender.
    void showForRecord(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    // Tells the delegate, after a write into the record.
    void reportChange(const Value& record);
    // The common frame of the concrete editors: their size, a clear background, their colour and
    // a content panel under the title bar, which this returns.
    std::shared_ptr<UIView> layOutEditor(CGSize size, std::shared_ptr<UIColor> color);

private:
    std::weak_ptr<PopAdjGeneralBaseDelegate> delegate_;
};

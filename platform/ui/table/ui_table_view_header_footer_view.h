// The view above or below a table section: a title label on a plain background, reusable.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/control/ui_label.h"

class UITableViewHeaderFooterView : public UIView {
public:
    KORVA_MAKE(UITableViewHeaderFooterView)
    void init() override;
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    std::shared_ptr<UILabel> textLabel() const { return textLabel_; }
    std::shared_ptr<UIView> contentView() const { return contentView_; }
    void layoutSubviews() override;
    std::string className() const override { return "UITableViewHeaderFooterView"; }

protected:
    explicit UITableViewHeaderFooterView(std::string reuseIdentifier = {})
        : UIView(CGRectMake(0, 0, 320, 28)), reuseIdentifier_(std::move(reuseIdentifier)) {}

private:
    std::string reuseIdentifier_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_;
};

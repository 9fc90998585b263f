// A single-choice list of strings in the caller's order, with a check mark at the current value;
// the tapped string (with its index) or a cancel goes to the delegate, which closes the screen.
// Made from the storyboard under "ValueTableBasicController". Main-thread only.
#pragma once

#include "settings/lists/value_list_base.h"

class ValueTableBasicController;

class ValueTableBasicControllerDelegate {
public:
    virtual ~ValueTableBasicControllerDelegate() = default;
    virtual void onValueTableBasicControllerCanceled(ValueTableBasicController& controller) = 0;
    virtual void onValueTableBasicControllerSelected(ValueTableBasicController& controller, const std::string& string,
                                                     long index) = 0;
};

class ValueTableBasicController : public ValueListBase<> {
public:
    KORVA_MAKE(ValueTableBasicController)
    static constexpr const char* kStoryboardID = "ValueTableBasicController";

    std::shared_ptr<ValueTableBasicControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ValueTableBasicControllerDelegate>& d) { delegate_ = d; }
    void onCancel() override;

    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::string className() const override { return "ValueTableBasicController"; }

protected:
    ValueTableBasicController() = default;

private:
    std::weak_ptr<ValueTableBasicControllerDelegate> delegate_;
};

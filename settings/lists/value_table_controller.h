// A searchable single-choice list: the strings that hold every word of the search text, sorted
// without regard to letter case and grouped by first letter with a side index. The index given
// to the delegate counts in the filtered, sorted `keys`. Main-thread only.
#pragma once

#include "settings/lists/indexed_value_list.h"

class ValueTableController;

class ValueTableControllerDelegate {
public:
    virtual ~ValueTableControllerDelegate() = default;
    virtual void onValueTableControllerCanceled(ValueTableController& controller) = 0;
    virtual void onValueTableControllerSelected(ValueTableController& controller, const std::string& string,
                                                long index) = 0;
};

class ValueTableController : public IndexedValueList<> {
public:
    KORVA_MAKE(ValueTableController)

    std::shared_ptr<ValueTableControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ValueTableControllerDelegate>& d) { delegate_ = d; }
    void updateData() override;
    void onCancel() override;

    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::string className() const override { return "ValueTableController"; }

protected:
    ValueTableController() = default;

private:
    std::weak_ptr<ValueTableControllerDelegate> delegate_;
};

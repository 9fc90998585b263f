// The option screen: a grouped table that lists the options of a choice item with check marks and
// writes the choice back into the item. Single choice keeps the row selected and leaves closing
// the screen to the completion handler.
#pragma once

#include <functional>
#include <memory>
#include <variant>
#include <vector>

#include "platform/ui/controller/ui_table_view_controller.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_table_view_manager.h"

class FormTableViewOptionsController : public UITableViewController, public FormTableViewManagerDelegate {
public:
    KORVA_MAKE(FormTableViewOptionsController)
    // An option: a string, or a radio item standing for its title.
    using Option = std::variant<std::string, std::shared_ptr<FormRadioItem>>;
    using Completion = std::function<void(FormTableViewItem& option)>;

    void init() override;
    void viewDidLoad() override;

    const std::shared_ptr<FormTableViewManager>& tableViewManager() const { return manager_; }
    const std::shared_ptr<FormTableViewSection>& mainSection() const { return mainSection_; }
    std::shared_ptr<FormTableViewItem> item() const { return item_.lock(); }
    const std::vector<Option>& options() const { return options_; }
    bool multipleChoice() const { return multipleChoice_; }
    // Set before the view loads.
    void setStyle(std::shared_ptr<FormTableViewCellStyle> s) { style_ = std::move(s); }
    void setDelegate(const std::shared_ptr<FormTableViewManagerDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "FormTableViewOptionsController"; }

    // The table is served by the manager; these are never asked.
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return 0; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, NSIndexPath) override { return nullptr; }

protected:
    FormTableViewOptionsController(std::shared_ptr<FormTableViewItem> item, std::vector<Option> options,
                                   bool multipleChoice, Completion completion)
        : UITableViewController(UITableViewStyle::Grouped),
          item_(std::move(item)),
          options_(std::move(options)),
          multipleChoice_(multipleChoice),
          completion_(std::move(completion)) {}

private:
    void rowTapped(FormTableViewItem& option);
    void toggleMultiple(FormMultipleChoiceItem& item, FormTableViewItem& option);
    void chooseSingle(FormTableViewItem& option);
    std::shared_ptr<UITableViewCell> cellFor(FormTableViewItem& option);

    std::shared_ptr<FormTableViewManager> manager_;
    std::shared_ptr<FormTableViewSection> mainSection_;
    std::weak_ptr<FormTableViewItem> item_;
    std::vector<Option> options_;
    bool multipleChoice_;
    Completion completion_;
    std::shared_ptr<FormTableViewCellStyle> style_;
    std::weak_ptr<FormTableViewManagerDelegate> delegate_;
};

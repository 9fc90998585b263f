// The base row of a form: texts and images, the cell look, and the handlers the manager calls for
// selection, accessory taps, insertion, deletion, moving and the edit menu. A plain string may
// stand in a section instead of an item (FormItem). Handlers run on the main thread with the item
// first. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/runtime/key_value_observing.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/table/ns_index_path.h"
#include "platform/ui/table/ui_table_view.h"
#include "platform/ui/text/paragraph_style.h"
#include "settings/form/form_validator.h"

class FormTableViewSection;
class FormTableViewItem;

// One row of a section: a plain string or an item.
using FormItem = std::variant<std::string, std::shared_ptr<FormTableViewItem>>;
// The item of a row, or null for a string row.
std::shared_ptr<FormTableViewItem> formItemObject(const FormItem& item);
// The name the registry pairs cells by: the item's own class name, "NSString" for a string.
std::string formItemClassName(const FormItem& item);
bool formItemsEqual(const FormItem& a, const FormItem& b);
bool formItemsIdentical(const FormItem& a, const FormItem& b);

// "enabled" is observable (KeyValueObservable) so that a shown cell follows it.
class FormTableViewItem : public NSObject, public KeyValueObservable {
public:
    KORVA_MAKE(FormTableViewItem)
    using Handler = std::function<void(FormTableViewItem&)>;
    using CompletionHandler = std::function<void(FormTableViewItem&, std::function<void()> completion)>;
    using MoveHandler = std::function<bool(FormTableViewItem&, NSIndexPath from, NSIndexPath to)>;
    using MoveCompletionHandler = std::function<void(FormTableViewItem&, NSIndexPath from, NSIndexPath to)>;

    static std::shared_ptr<FormTableViewItem> itemWithTitle(
        std::optional<std::string> title, UITableViewCellAccessoryType accessory = UITableViewCellAccessoryType::None,
        Handler selection = nullptr, Handler accessoryTap = nullptr);

    std::optional<std::string> title;
    std::shared_ptr<UIImage> image;
    std::shared_ptr<UIImage> highlightedImage;
    NSTextAlignment textAlignment = NSTextAlignment::Left;
    std::optional<std::string> detailLabelText;
    UITableViewCellStyle style = UITableViewCellStyle::Default;
    UITableViewCellSelectionStyle selectionStyle = UITableViewCellSelectionStyle::Blue;
    UITableViewCellAccessoryType accessoryType = UITableViewCellAccessoryType::None;
    UITableViewCellEditingStyle editingStyle = UITableViewCellEditingStyle::None;
    std::shared_ptr<UIView> accessoryView;

    Handler selectionHandler;
    Handler accessoryButtonTapHandler;
    Handler insertionHandler;
    Handler deletionHandler;
    CompletionHandler deletionHandlerWithCompletion;
    MoveHandler moveHandler;
    MoveCompletionHandler moveCompletionHandler;
    Handler cutHandler, copyHandler, pasteHandler;
    // 0 means the section style's height.
    CGFloat cellHeight = 0;
    std::optional<std::string> cellIdentifier;
    Handler actionBarNavButtonTapHandler;
    Handler actionBarDoneButtonTapHandler;
    // Used in validation messages instead of the title when set.
    std::optional<std::string> name;
    std::vector<FormValidatorEntry> validators;

    std::shared_ptr<FormTableViewSection> section() const { return section_.lock(); }
    void setSection(const std::shared_ptr<FormTableViewSection>& s) { section_ = s; }

    bool enabled() const { return enabled_; }
    // Observers of "enabled" hear every set.
    void setEnabled(bool e);

    // The validation result: none for the base item; valued items answer a list.
    virtual std::optional<FormErrors> errors() const { return std::nullopt; }
    // Whether the section lines its value views up after this row's title.
    virtual bool countsForTitleWidth() const { return false; }

    // Row operations through the section, its manager and the manager's table.
    std::optional<NSIndexPath> indexPath() const;
    void selectRowAnimated(bool animated, UITableViewScrollPosition position = UITableViewScrollPosition::None);
    void deselectRowAnimated(bool animated);
    void reloadRowWithAnimation(UITableViewRowAnimation animation);
    // Removes the row from the section and the table; no deletion handler runs.
    void deleteRowWithAnimation(UITableViewRowAnimation animation);

    std::string className() const override { return "FormTableViewItem"; }

protected:
    FormTableViewItem() = default;
    // The text validated for (name when set, else title), with the value.
    FormErrors validate(const Value& value) const;

private:
    std::shared_ptr<UITableView> table() const;

    std::weak_ptr<FormTableViewSection> section_;
    bool enabled_ = true;
};

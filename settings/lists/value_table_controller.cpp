// The searchable value list: filtering, sorting and sectioning of the strings.
#include "settings/lists/value_table_controller.h"

#include <algorithm>

#include "foundation/string_custom_tokens.h"
#include "platform/text/string_compare.h"
#include "settings/lists/list_texts.h"

std::shared_ptr<IndexedArray> ValueTableController::ia() {
    if (!ia_) ia_ = IndexedArray::make();
    return ia_;
}

void ValueTableController::viewDidLoad() {
    // The bar first: the base's first filtering reads its text.
    attachSearchBar(std::dynamic_pointer_cast<UISearchBar>(view()->viewWithTag(kSearchBarTag)),
                    self<ValueTableController>());
    ValueListBase::viewDidLoad();
}

void ValueTableController::updateData() {
    auto words = tokens(searchText()).value_or(std::vector<std::string>{});
    keys_.clear();
    for (const auto& text : arr()) {
        bool all = std::all_of(words.begin(), words.end(),
                               [&](const std::string& w) { return containsIgnoringCase(text, w); });
        if (all) keys_.push_back(text);
    }
    std::stable_sort(keys_.begin(), keys_.end(), [](const std::string& a, const std::string& b) {
        return caseInsensitiveCompare(a, b) == NSOrderedAscending;
    });
    ia()->update(keys_.size(), [this](std::size_t i) { return sectionStringOf(keys_[i]); });
    updateView();
}

void ValueTableController::onCancel() {
    if (auto d = delegate()) d->onValueTableControllerCanceled(*this);
}

std::size_t ValueTableController::numberOfSectionsInTableView(UITableView&) {
    return std::size_t(ia()->getSectionCount());
}

std::size_t ValueTableController::numberOfRowsInSection(UITableView&, std::size_t section) {
    return std::size_t(ia()->getRowCount(long(section)));
}

std::optional<std::string> ValueTableController::titleForHeaderInSection(UITableView&, std::size_t section) {
    return ia()->getSectionTitle(long(section));
}

std::vector<std::string> ValueTableController::sectionIndexTitles(UITableView&) {
    return ia()->getIndexTitles().value_or(std::vector<std::string>{});
}

std::shared_ptr<UITableViewCell> ValueTableController::cellForRowAtIndexPath(UITableView& table, NSIndexPath path) {
    std::size_t index = std::size_t(ia()->getIndex(long(path.section), long(path.row)));
    return cellForString(table, path, index < keys_.size() ? keys_[index] : std::string());
}

void ValueTableController::didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) {
    table.deselectRowAtIndexPath(path, true);
    long index = ia()->getIndex(long(path.section), long(path.row));
    if (index < 0 || std::size_t(index) >= keys_.size()) return;
    if (auto d = delegate()) d->onValueTableControllerSelected(*this, keys_[std::size_t(index)], index);
}

// The searchable value list: filtering, sorting and sectioning of the strings.
#include "settings/lists/value_table_controller.h"

#include <algorithm>

#include "foundation/string_custom_tokens.h"
#include "platform/text/string_compare.h"
#include "settings/lists/list_texts.h"

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

// The language list: its rows, search and sections.
#include "settings/lists/language_controller.h"

#include <algorithm>

#include "foundation/global.h"
#include "foundation/string_custom_tokens.h"
#include "language/language_code.h"
#include "platform/text/string_compare.h"
#include "platform/ui/control/ui_label.h"
#include "settings/lists/list_texts.h"
#include "settings/value_members.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {

Value makeRow(const std::string& code, const std::string& label, const std::optional<std::string>& detail) {
    Value row = Value::dictionary({{"code", Value(code)}, {"label", Value(label)}});
    if (detail) row.set("detail", Value(*detail));
    return row;
}
}  // namespace

std::shared_ptr<LanguageCode> LanguageController::languages() const {
    return std::dynamic_pointer_cast<LanguageCode>(Global::shared()->lcode());
}

const Value& LanguageController::arrBase() {
    if (arrBase_) return *arrBase_;
    std::vector<Value> rows;
    auto codes = languages();
    if (!limitedCodes_) {
        const Value base = codes ? codes->base() : Value();
        if (auto* table = base.dictionaryPtr())
            for (const auto& [code, entry] : *table) {
                std::string label = textMember(entry, "iso");
                rows.push_back(makeRow(code, label.empty() ? code : label, std::nullopt));
            }
    } else {
        for (const auto& code : *limitedCodes_) {
            std::string name = codes ? codes->getName(code).value_or(code) : code;
            std::string english = codes ? codes->getNameEng(code).value_or(code) : code;
            rows.push_back(nameAsPrimary_ ? makeRow(code, name, english) : makeRow(code, english, name));
        }
    }
    // Plain comparison, letter case significant.
    std::stable_sort(rows.begin(), rows.end(), [](const Value& a, const Value& b) {
        return compareStrings(textMember(a, "label"), textMember(b, "label")) == NSOrderedAscending;
    });
    Value list = Value::array();
    for (auto& row : rows) list.append(row);
    arrBase_ = list;
    return *arrBase_;
}

const Value& LanguageController::arrLocalized0() {
    if (arrLocalized0_) return *arrLocalized0_;
    Value list = Value::array();
    auto codes = languages();
    if (codes && localizeCount_ > 0) {
        for (const auto& code : codes->recents()) {
            if (list.count() >= localizeCount_) break;
            if (limitedCodes_ && std::find(limitedCodes_->begin(), limitedCodes_->end(), code) == limitedCodes_->end())
                continue;
            list.append(makeRow(code, codes->getName(code).value_or(code), std::nullopt));
        }
    }
    arrLocalized0_ = list;
    return *arrLocalized0_;
}

bool LanguageController::matches(const Value& row, const std::vector<std::string>& words) {
    auto codes = languages();
    const std::string code = textMember(row, "code");
    const std::string native = codes ? codes->getName(code).value_or(std::string()) : std::string();
    for (const auto& word : words) {
        if (containsIgnoringCase(textMember(row, "label"), word) ||
            containsIgnoringCase(textMember(row, "detail"), word) || containsIgnoringCase(code, word) ||
            containsIgnoringCase(native, word))
            return true;
    }
    return false;
}

void LanguageController::updateData() {
    auto words = tokens(searchText()).value_or(std::vector<std::string>{});
    Value shown = Value::array();
    std::size_t recents = 0;
    const Value& top = arrLocalized0();
    for (std::size_t i = 0; i < top.count(); ++i)
        if (words.empty() || matches(top[i], words)) {
            shown.append(top[i]);
            ++recents;
        }
    const Value& base = arrBase();
    for (std::size_t i = 0; i < base.count(); ++i)
        if (words.empty() || matches(base[i], words)) shown.append(base[i]);
    rows_ = shown;
    ia()->update(rows_.count(), recents,
                 [this](std::size_t i) { return sectionStringOf(textMember(rows_[i], "label")); });
    updateView();
}

void LanguageController::onCancel() {
    if (auto d = delegate()) d->onLanguageControllerCanceled(*this);
}

bool LanguageController::showsSectionTitles() {
    return ia()->getSectionCount() >= 2 && rows_.count() >= kMinRowsForIndex;
}

std::shared_ptr<UITableViewCell> LanguageController::cellForRowAtIndexPath(UITableView& table, NSIndexPath path) {
    auto cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier, path);
    auto global = Global::shared();
    const long index = ia()->getIndex(long(path.section), long(path.row));
    const Value row = index >= 0 && std::size_t(index) < rows_.count() ? rows_[std::size_t(index)] : Value();
    const std::string label = textMember(row, "label");
    const std::string detail = textMember(row, "detail");
    cell->textLabel()->setText(label);
    cell->textLabel()->setTextColor(global->color()->labelDefault());
    cell->textLabel()->setFont(global->font()->textNormal());
    auto detailLabel = cell->detailTextLabel();
    if (detailLabel) {
        detailLabel->setTextColor(global->color()->labelSecondary());
        detailLabel->setFont(global->font()->textSmall1());
        detailLabel->setText(detail.empty() || detail == label ? std::nullopt : std::optional(detail));
    }
    const bool selected = selectedCode_ && *selectedCode_ == textMember(row, "code");
    cell->setAccessoryType(selected ? UITableViewCellAccessoryType::Checkmark : UITableViewCellAccessoryType::None);
    return cell;
}

void LanguageController::didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) {
    table.deselectRowAtIndexPath(path, true);
    const long index = ia()->getIndex(long(path.section), long(path.row));
    if (index < 0 || std::size_t(index) >= rows_.count()) return;
    const std::string code = textMember(rows_[std::size_t(index)], "code");
    if (auto codes = languages()) codes->makeRecent(code);
    if (auto d = delegate()) d->onLanguageControllerSelected(*this, code);
}

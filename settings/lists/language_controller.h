// A searchable list for picking one language code: the user's recent choices on top (the "-"
// section), then every offered language sorted by name in sections by first letter with a side
// index once the list is long. A choice goes to the delegate and to the recents; closing the
// screen is the delegate's business. Portrait on phones. Made from the storyboard's scene of this
// class. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/base/portrait_controller.h"
#include "platform/runtime/value.h"
#include "settings/lists/indexed_value_list.h"

class LanguageCode;
class LanguageController;

class LanguageControllerDelegate {
public:
    virtual ~LanguageControllerDelegate() = default;
    virtual void onLanguageControllerSelected(LanguageController& controller, const std::string& code) = 0;
    virtual void onLanguageControllerCanceled(LanguageController& controller) = 0;
};

class LanguageController : public IndexedValueList<PortraitController> {
public:
    KORVA_MAKE(LanguageController)
    // Header titles need this many rows (and two sections); the side index needs this many rows.
    static constexpr std::size_t kMinRowsForIndex = 20;

    bool nameAsPrimary() const { return nameAsPrimary_; }
    void setNameAsPrimary(bool v) { nameAsPrimary_ = v; }
    bool noCancel() const { return noCancel_; }
    void setNoCancel(bool v) { noCancel_ = v; }
    std::shared_ptr<LanguageControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<LanguageControllerDelegate>& d) { delegate_ = d; }
    const std::optional<std::vector<std::string>>& limitedCodes() const { return limitedCodes_; }
    void setLimitedCodes(std::optional<std::vector<std::string>> codes) { limitedCodes_ = std::move(codes); }
    const std::optional<std::string>& selectedCode() const { return selectedCode_; }
    void setSelectedCode(std::optional<std::string> code) { selectedCode_ = std::move(code); }
    std::size_t localizeCount() const { return localizeCount_; }
    void setLocalizeCount(std::size_t count) { localizeCount_ = count; }
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

    // Rows: {"code", "label"[, "detail"]}.
    const Value& arrLocalized0();
    const Value& arrBase();
    // The rows shown: the matching recents, then the matching languages.
    const Value& rows() const { return rows_; }

    void updateData() override;
    void onCancel() override;

    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::string className() const override { return "LanguageController"; }

protected:
    LanguageController() = default;
    UITableViewCellStyle cellStyle() const override { return UITableViewCellStyle::Subtitle; }
    bool offersCancel() const override { return !noCancel_; }
    bool showsSectionTitles() override;
    bool showsSideIndex() override { return rows_.count() >= kMinRowsForIndex; }

private:
    std::shared_ptr<LanguageCode> languages() const;
    bool matches(const Value& row, const std::vector<std::string>& words);

    bool nameAsPrimary_ = false;
    bool noCancel_ = false;
    std::weak_ptr<LanguageControllerDelegate> delegate_;
    std::optional<std::vector<std::string>> limitedCodes_;
    std::optional<std::string> selectedCode_;
    std::size_t localizeCount_ = 0;
    std::string identifier_;
    std::optional<Value> arrLocalized0_;
    std::optional<Value> arrBase_;
    Value rows_ = Value::array();
};

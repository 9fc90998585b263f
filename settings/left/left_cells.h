// The side menu's four row kinds, built in code under the identifiers and tags the menu fills:
// "Cell" (title, tag 1), "Value" (title 1, detail 2), "Switch" (title 1, switch 2) and "App"
// (icon 1, title 2). Main-thread only.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/table/ui_table_view_cell.h"

class UILabel;
class UISwitch;
class UITableView;

class LeftCell : public UITableViewCell {
public:
    KORVA_MAKE(LeftCell)
    static constexpr const char* kBasic = "Cell";
    static constexpr const char* kValue = "Value";
    static constexpr const char* kSwitch = "Switch";
    static constexpr const char* kApp = "App";
    static constexpr long kTitleTag = 1;
    static constexpr long kDetailTag = 2;
    static constexpr long kSwitchTag = 2;
    static constexpr long kIconTag = 1;
    static constexpr long kAppTitleTag = 2;

    static constexpr CGFloat kSideMargin = 15;
    static constexpr CGFloat kIconSize = 40;
    static constexpr CGFloat kIconGap = 10;
    static constexpr CGFloat kDetailWidth = 70;

    // Shows a row text on as many lines as it breaks into by itself (most take one); the
    // labels shrink a text too wide for the menu.
    static void setRowText(UILabel& label, const std::string& text);

    void init() override;
    void layoutSubviews() override;
    // For an app row: the icon address the cell shows now (a late icon for another address is
    // dropped).
    const std::string& iconAddress() const { return iconAddress_; }
    void setIconAddress(std::string address) { iconAddress_ = std::move(address); }
    // For a switch row: what a change of the switch calls (replaced whenever the row is filled).
    void setOnSwitch(std::function<void(UISwitch&)> handler) { onSwitch_ = std::move(handler); }
    void prepareForReuse() override;
    std::string className() const override { return "LeftCell"; }

protected:
    explicit LeftCell(UITableViewCellStyle style = UITableViewCellStyle::Default, std::string identifier = {})
        : UITableViewCell(style, std::move(identifier)) {}

private:
    std::string iconAddress_;
    std::function<void(UISwitch&)> onSwitch_;
};

// Registers the four kinds on the table.
void registerLeftCells(UITableView& table);

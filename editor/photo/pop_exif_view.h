// The metadata pop-up: a photo's image properties as a grouped table in a square pop-up with an
// arrow at the sender. A tap on the dimmed background outside the panel closes it; taps on the
// panel do not. Main-thread only.
#pragma once

#include "editor/photo/exif_sections.h"
#include "platform/ui/table/ui_table_view.h"
#include "ui/popup/pop_arrowed_view.h"

class PopExifView : public PopArrowedView, public UITableViewDataSource, public UITableViewDelegate {
public:
    KORVA_MAKE(PopExifView)
    static constexpr CGFloat kSideShare = 0.9;
    static constexpr CGFloat kMaxSide = 500;
    static constexpr long kMaxLines = 10;
    static constexpr double kBackgroundAlpha = 0.4;
    static constexpr const char* kCellIdentifier = "Cell";

    static std::shared_ptr<PopExifView> initWithVC(const std::shared_ptr<UIViewController>& vc) { return make(vc); }
    void init() override;

    // Lists the properties and shows the pop-up against the sender.
    void show(const std::shared_ptr<NSObject>& sender, const Value& properties, Callback completion);
    using PopArrowedView::show;
    void updateDarkMode() override;

    const std::shared_ptr<UITableView>& tableView() const { return tableView_; }
    const std::vector<std::string>& secLabels() const { return sections_.secLabels; }
    const std::vector<std::vector<std::pair<std::string, std::string>>>& arr() const { return sections_.arr; }

    std::size_t numberOfSectionsInTableView(UITableView&) override { return sections_.arr.size(); }
    std::size_t numberOfRowsInSection(UITableView&, std::size_t section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t section) override;

    std::string className() const override { return "PopExifView"; }

protected:
    explicit PopExifView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

private:
    std::shared_ptr<UITableView> tableView_;
    ExifSections sections_;
};

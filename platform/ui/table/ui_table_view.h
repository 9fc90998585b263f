// The table view: sections of rows laid out top to bottom in a scroll view, rows made by the data
// source as they come into view and recycled by reuse identifier; section headers and footers,
// selection, editing, and row and section updates. Main-thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/table/ns_index_path.h"
#include "platform/ui/table/ui_scroll_relay.h"
#include "platform/ui/table/ui_table_view_cell.h"
#include "platform/ui/table/ui_table_view_header_footer_view.h"
#include "platform/ui/table/ui_table_view_index.h"

// A height that the table works out itself.
inline constexpr CGFloat UITableViewAutomaticDimension = -1;

enum class UITableViewStyle { Plain = 0, Grouped = 1, InsetGrouped = 2 };
enum class UITableViewScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };
enum class UITableViewRowAnimation {
    Fade = 0,
    Right = 1,
    Left = 2,
    Top = 3,
    Bottom = 4,
    None = 5,
    Middle = 6,
    Automatic = 100
};
enum class UITableViewCellSeparatorStyle { None = 0, SingleLine = 1 };
// Row menu actions.
enum class UITableViewMenuAction { Copy, Cut, Paste };

class UITableView;

class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual std::size_t numberOfSectionsInTableView(UITableView&) { return 1; }
    virtual std::size_t numberOfRowsInSection(UITableView&, std::size_t section) = 0;
    virtual std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView&, NSIndexPath path) = 0;
    virtual std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t) { return std::nullopt; }
    virtual std::optional<std::string> titleForFooterInSection(UITableView&, std::size_t) { return std::nullopt; }
    // Titles of the side index strip; none shows no strip.
    virtual std::vector<std::string> sectionIndexTitles(UITableView&) { return {}; }
    // The section a touched index title leads to (by default the title's position); a section
    // the table does not have is ignored.
    virtual long sectionForSectionIndexTitle(UITableView&, const std::string& /*title*/, std::size_t index) {
        return long(index);
    }
    virtual bool canEditRowAtIndexPath(UITableView&, NSIndexPath) { return true; }
    virtual bool canMoveRowAtIndexPath(UITableView&, NSIndexPath) { return false; }
    virtual void commitEditingStyle(UITableView&, UITableViewCellEditingStyle, NSIndexPath) {}
    virtual void moveRowAtIndexPath(UITableView&, NSIndexPath /*from*/, NSIndexPath /*to*/) {}
};

// Every method is optional. Heights answer UITableViewAutomaticDimension to use the table's own.
class UITableViewDelegate : public UIScrollViewDelegate {
public:
    virtual CGFloat heightForRowAtIndexPath(UITableView&, NSIndexPath) { return UITableViewAutomaticDimension; }
    virtual CGFloat heightForHeaderInSection(UITableView&, std::size_t) { return UITableViewAutomaticDimension; }
    virtual CGFloat heightForFooterInSection(UITableView&, std::size_t) { return UITableViewAutomaticDimension; }
    virtual std::shared_ptr<UIView> viewForHeaderInSection(UITableView&, std::size_t) { return nullptr; }
    virtual std::shared_ptr<UIView> viewForFooterInSection(UITableView&, std::size_t) { return nullptr; }
    virtual void willDisplayCell(UITableView&, UITableViewCell&, NSIndexPath) {}
    virtual void didEndDisplayingCell(UITableView&, UITableViewCell&, NSIndexPath) {}
    virtual bool shouldHighlightRowAtIndexPath(UITableView&, NSIndexPath) { return true; }
    virtual void didHighlightRowAtIndexPath(UITableView&, NSIndexPath) {}
    virtual void didUnhighlightRowAtIndexPath(UITableView&, NSIndexPath) {}
    // None cancels the selection; another path selects that row instead.
    virtual std::optional<NSIndexPath> willSelectRowAtIndexPath(UITableView&, NSIndexPath p) { return p; }
    virtual std::optional<NSIndexPath> willDeselectRowAtIndexPath(UITableView&, NSIndexPath p) { return p; }
    virtual void didSelectRowAtIndexPath(UITableView&, NSIndexPath) {}
    virtual void didDeselectRowAtIndexPath(UITableView&, NSIndexPath) {}
    virtual void accessoryButtonTappedForRowWithIndexPath(UITableView&, NSIndexPath) {}
    virtual UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView&, NSIndexPath);
    virtual std::string titleForDeleteConfirmationButtonForRowAtIndexPath(UITableView&, NSIndexPath) {
        return "Delete";
    }
    virtual bool shouldIndentWhileEditingRowAtIndexPath(UITableView&, NSIndexPath) { return true; }
    virtual void willBeginEditingRowAtIndexPath(UITableView&, NSIndexPath) {}
    virtual void didEndEditingRowAtIndexPath(UITableView&, std::optional<NSIndexPath>) {}
    virtual NSIndexPath targetIndexPathForMove(UITableView&, NSIndexPath /*from*/, NSIndexPath proposed) {
        return proposed;
    }
    virtual long indentationLevelForRowAtIndexPath(UITableView&, NSIndexPath) { return 0; }
    virtual bool shouldShowMenuForRowAtIndexPath(UITableView&, NSIndexPath) { return false; }
    virtual bool canPerformAction(UITableView&, UITableViewMenuAction, NSIndexPath) { return false; }
    virtual void performAction(UITableView&, UITableViewMenuAction, NSIndexPath) {}
};

class UITableView : public UIScrollView {
public:
    KORVA_MAKE(UITableView)
    void init() override;
    ~UITableView() override;

    UITableViewStyle style() const { return style_; }
    std::shared_ptr<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<UITableViewDataSource>& d);
    std::shared_ptr<UITableViewDelegate> delegate() const { return delegate_.lock(); }
    // Also the scroll view's delegate: it hears every offset change.
    void setDelegate(const std::shared_ptr<UITableViewDelegate>& d);

    static constexpr CGFloat kDefaultRowHeight = 44;
    // UITableViewAutomaticDimension: each row as high as its cell needs (see
    // UITableViewCell::heightFittingWidth).
    CGFloat rowHeight() const { return rowHeight_; }
    void setRowHeight(CGFloat h) {
        rowHeight_ = h;
        invalidateGeometry();
    }
    CGFloat estimatedRowHeight() const { return estimatedRowHeight_; }
    void setEstimatedRowHeight(CGFloat h) { estimatedRowHeight_ = h; }
    CGFloat sectionHeaderHeight() const { return headerHeight_; }
    void setSectionHeaderHeight(CGFloat h) {
        headerHeight_ = h;
        invalidateGeometry();
    }
    CGFloat sectionFooterHeight() const { return footerHeight_; }
    void setSectionFooterHeight(CGFloat h) {
        footerHeight_ = h;
        invalidateGeometry();
    }
    std::shared_ptr<UIView> tableHeaderView() const { return tableHeader_; }
    void setTableHeaderView(std::shared_ptr<UIView> v);
    std::shared_ptr<UIView> tableFooterView() const { return tableFooter_; }
    void setTableFooterView(std::shared_ptr<UIView> v);
    UITableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle s) {
        separatorStyle_ = s;
        setNeedsDisplay();
    }
    std::shared_ptr<UIColor> separatorColor() const { return separatorColor_; }
    void setSeparatorColor(std::shared_ptr<UIColor> c) {
        separatorColor_ = std::move(c);
        setNeedsDisplay();
    }
    std::shared_ptr<UIView> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> v);

    // Reuse. A factory makes cells for an identifier when none waits in the pool.
    using CellFactory = std::function<std::shared_ptr<UITableViewCell>(const std::string& identifier)>;
    void registerCell(const std::string& identifier, CellFactory factory);
    template <class Cell>
    void registerClass(const std::string& identifier) {
        registerCell(identifier, [](const std::string& id) {
            return std::static_pointer_cast<UITableViewCell>(Cell::make(UITableViewCellStyle::Default, id));
        });
    }
    // A waiting cell (after prepareForReuse), or none.
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // A waiting or newly made cell. An identifier never registered gets a default cell (and a
    // warning) rather than failing.
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier, NSIndexPath path);
    std::size_t reusableCellCount(const std::string& identifier) const;
    using HeaderFooterFactory = std::function<std::shared_ptr<UITableViewHeaderFooterView>(const std::string&)>;
    void registerHeaderFooter(const std::string& identifier, HeaderFooterFactory factory);
    std::shared_ptr<UITableViewHeaderFooterView> dequeueReusableHeaderFooterViewWithIdentifier(const std::string& id);

    // Asks the data source again for everything; the selection is cleared.
    void reloadData();
    std::size_t numberOfSections();
    std::size_t numberOfRowsInSection(std::size_t section);

    // Geometry in the table's content coordinates; zero for paths that do not exist.
    CGRect rectForSection(std::size_t section);
    CGRect rectForHeaderInSection(std::size_t section);
    CGRect rectForFooterInSection(std::size_t section);
    CGRect rectForRowAtIndexPath(NSIndexPath path);
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint p);
    std::vector<NSIndexPath> indexPathsForRowsInRect(CGRect rect);

    // The cells on screen (after the table's layout).
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(NSIndexPath path);
    std::optional<NSIndexPath> indexPathForCell(const UITableViewCell& cell) const;
    std::vector<std::shared_ptr<UITableViewCell>> visibleCells();
    std::vector<NSIndexPath> indexPathsForVisibleRows();
    std::shared_ptr<UIView> headerViewForSection(std::size_t section);
    std::shared_ptr<UIView> footerViewForSection(std::size_t section);
    void scrollToRowAtIndexPath(NSIndexPath path, UITableViewScrollPosition position, bool animated);
    // The side index strip (hidden while the data source gives no titles), and what a touch on
    // its title at `index` does: the data source names the section, which scrolls to the top.
    std::shared_ptr<UITableViewIndex> sectionIndexView();
    void selectSectionIndexTitle(std::size_t index);

    // Selection (no delegate calls for these programmatic forms).
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool a) { allowsSelection_ = a; }
    bool allowsMultipleSelection() const { return allowsMultiple_; }
    void setAllowsMultipleSelection(bool a) { allowsMultiple_ = a; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionEditing_; }
    void setAllowsSelectionDuringEditing(bool a) { allowsSelectionEditing_ = a; }
    std::optional<NSIndexPath> indexPathForSelectedRow() const;
    std::vector<NSIndexPath> indexPathsForSelectedRows() const { return {selected_.begin(), selected_.end()}; }
    void selectRowAtIndexPath(std::optional<NSIndexPath> path, bool animated, UITableViewScrollPosition position);
    void deselectRowAtIndexPath(NSIndexPath path, bool animated);
    // A user's tap on a row: highlight, will-select, deselect the old row, select, did-select.
    bool tapRowAtIndexPath(NSIndexPath path);
    void tapAccessoryButtonForRowAtIndexPath(NSIndexPath path);

    // Editing.
    bool isEditing() const { return editing_; }
    void setEditing(bool editing, bool animated);
    // The delete (or insert) control of a row was confirmed: the data source commits the row's
    // editing style. False when the row cannot be edited.
    bool commitEditingForRowAtIndexPath(NSIndexPath path);
    // A row dragged to another place by the user: the delegate may redirect it, the data source
    // moves its model, then the table moves the row. Answers where it went.
    std::optional<NSIndexPath> moveRowByUser(NSIndexPath from, NSIndexPath proposed);
    // A tap on a row's editing control while editing: the delete control shows the confirmation
    // button titled by the delegate, the insert control commits at once. False when the row shows
    // no control.
    bool tapEditingControlForRowAtIndexPath(NSIndexPath path);
    // A tap on the confirmation button: the deletion is committed. False when none is shown.
    bool tapDeleteConfirmationForRowAtIndexPath(NSIndexPath path);
    bool showMenuForRowAtIndexPath(NSIndexPath path);
    bool performMenuAction(UITableViewMenuAction action, NSIndexPath path);

    // Updates. The data source must already reflect the change; counts that do not add up make
    // the table reload everything (with a warning) instead of failing.
    void beginUpdates();
    void endUpdates();
    void performBatchUpdates(const std::function<void()>& updates, std::function<void(bool)> completion = nullptr);
    void insertRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation animation);
    void moveRowAtIndexPath(NSIndexPath from, NSIndexPath to);
    void insertSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation animation);
    void deleteSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation animation);
    void reloadSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation animation);

    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTapAt(CGPoint p) override { return indexPathForRowAtPoint(p).has_value(); }
    std::string className() const override { return "UITableView"; }

protected:
    explicit UITableView(CGRect frame = CGRectZero, UITableViewStyle style = UITableViewStyle::Plain);

private:
    struct SectionGeometry {
        CGFloat top = 0, headerHeight = 0, footerHeight = 0;
        std::vector<CGFloat> rowTops;  // relative to the section top, after the header
        std::vector<CGFloat> rowHeights;
        std::optional<std::string> headerTitle, footerTitle;
        CGFloat height() const;
    };
    struct Update {
        enum Kind { InsertRow, DeleteRow, ReloadRow, MoveRow, InsertSection, DeleteSection, ReloadSection } kind;
        NSIndexPath path;
        NSIndexPath to;
    };

    void ensureGeometry();
    void invalidateGeometry();
    void computeGeometry();
    // A row's height with automatic heights: what its cell needs at the table's width.
    CGFloat fittingRowHeight(UITableViewDataSource& ds, NSIndexPath path);
    CGFloat headerHeightFor(std::size_t section, const std::optional<std::string>& title);
    CGFloat footerHeightFor(std::size_t section, const std::optional<std::string>& title);
    void tile();
    void recycle(const NSIndexPath& path, const std::shared_ptr<UITableViewCell>& cell);
    std::shared_ptr<UITableViewCell> makeCell(NSIndexPath path);
    void updateSectionViews(CGRect visible);
    struct UpdatePlan;
    void enqueue(std::vector<Update> updates);
    void applyUpdates(std::vector<Update> updates);
    void followRowsToNewPlaces(const std::map<NSIndexPath, NSIndexPath>& places);
    void dropAllCells();
    std::optional<NSIndexPath> rowAtTouch(const UITouchSet& touches);
    bool validPath(NSIndexPath p) const;
    void applyEditingControls(NSIndexPath path, UITableViewCell& cell);
    // An editing-control or confirmation tap at a point in the cell; true when it was one.
    bool editingTap(NSIndexPath path, CGPoint pointInCell);
    void placeSectionIndex();

    UITableViewStyle style_;
    std::weak_ptr<UITableViewDataSource> dataSource_;
    std::weak_ptr<UITableViewDelegate> delegate_;
    std::shared_ptr<UIScrollRelay> relay_;
    CGFloat rowHeight_ = 44;
    CGFloat estimatedRowHeight_ = 0;
    CGFloat headerHeight_ = UITableViewAutomaticDimension;
    CGFloat footerHeight_ = UITableViewAutomaticDimension;
    std::shared_ptr<UIView> tableHeader_, tableFooter_, backgroundView_;
    UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyle::SingleLine;
    std::shared_ptr<UIColor> separatorColor_;

    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<UITableViewCell>>> pool_;
    std::map<std::string, HeaderFooterFactory> headerFactories_;
    std::map<std::string, std::vector<std::shared_ptr<UITableViewHeaderFooterView>>> headerPool_;

    bool geometryValid_ = false;
    bool dataLoaded_ = false;
    std::vector<SectionGeometry> sections_;
    std::map<NSIndexPath, std::shared_ptr<UITableViewCell>> visible_;
    std::map<std::size_t, std::shared_ptr<UIView>> headers_, footers_;
    std::set<NSIndexPath> selected_;
    std::optional<NSIndexPath> highlighted_;
    bool allowsSelection_ = true, allowsMultiple_ = false, allowsSelectionEditing_ = false;
    bool editing_ = false;
    int updateDepth_ = 0;
    std::vector<Update> pending_;
    bool tiling_ = false;
    std::shared_ptr<UITableViewIndex> sectionIndex_;
    bool sectionIndexLoaded_ = false;
};

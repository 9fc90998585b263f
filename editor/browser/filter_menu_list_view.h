// A row of category labels above one filter strip: choosing a label reloads the strip with that
// menu's presets. The list is the strip's source and delegate and passes the strip's events on to
// its own host (the camera filter pop-up or the photo editor's panel). Main-thread only: the
// strip asks for its entries on the main thread, so the chosen menu is read there and the load's
// worker sees only the entries it was handed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/browser/filter_list_view.h"
#include "ui/controls/menu_label_view.h"

class FilterMenuListView;

class FilterMenuListViewSource {
public:
    virtual ~FilterMenuListViewSource() = default;
    // The catalogue: [{"label": menu title, "arr": [{"key", "desc"}, ...]}, ...].
    virtual Value onFilterMenuListViewGetArray(FilterMenuListView& list) = 0;
};

// The host hears the strip's three events, with the strip as sender.
using FilterMenuListViewDelegate = FilterListViewDelegate;

class FilterMenuListView : public UIView,
                           public FilterListViewDelegate,
                           public FilterListViewSource,
                           public MenuLabelViewDelegate {
public:
    KORVA_MAKE(FilterMenuListView)
    static constexpr CGFloat kMenuHeight = 40;
    static constexpr CGFloat kStripExtraHeight = 4;

    void init() override;

    // Refreshes the label row and, the first time, chooses menu 0.
    void updateData();
    void updateView() {}
    // Clears the strip's selection (the host is told: no filter).
    void reset() { itemList_->resetSelection(); }
    void hideAllPopAdj() { itemList_->hideAllPopAdj(); }
    void scheduledLayout() { itemList_->scheduledLayout(); }

    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;
    Value onFilterListViewGetArray(FilterListView& list) override;
    void onFilterListViewFilterSelected(FilterListView& list, const std::optional<std::string>& key,
                                        const std::shared_ptr<FilterPersistElement>& element) override;
    void onFilterListViewHolderShow(FilterListView& list, Completion completion) override;
    void onFilterListViewHolderHide(FilterListView& list, Completion completion) override;

    long lastMenuIndex() const { return lastMenuIndex_; }
    const std::shared_ptr<FilterListView>& itemList() const { return itemList_; }
    const std::shared_ptr<MenuLabelView>& menu() const { return menu_; }
    void setSource(const std::shared_ptr<FilterMenuListViewSource>& s) { source_ = s; }
    void setDelegate(const std::shared_ptr<FilterMenuListViewDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "FilterMenuListView"; }

protected:
    FilterMenuListView(std::shared_ptr<UIViewController> vc, std::shared_ptr<FilterAttrDelegate> attrDelegate)
        : vc_(std::move(vc)), attrDelegate_(std::move(attrDelegate)) {}

private:
    Value catalogue();

    std::shared_ptr<UIViewController> vc_;  // held only until init hands it to the strip
    std::shared_ptr<FilterAttrDelegate> attrDelegate_;
    long lastMenuIndex_ = -1;
    std::weak_ptr<FilterMenuListViewSource> source_;
    std::weak_ptr<FilterMenuListViewDelegate> delegate_;
    std::shared_ptr<FilterListView> itemList_;
    std::shared_ptr<MenuLabelView> menu_;
};

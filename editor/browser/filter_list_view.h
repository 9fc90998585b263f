// The horizontal strip of filter tiles for one preset menu. It asks its source for the menu's
// entries, makes each entry's element on the serial queue "FilterListView.UI", lays out one tile
// per element, keeps thumbnails only on the tiles on screen, redraws them on a timer whose period
// follows the drawing time, and turns taps and holds on tiles into selection events.
//
// Loading: NotLoaded --updateData0--> Loading --the newest load's result--> Loaded; refresh goes
// back to NotLoaded and starts again.
//
// Each laid-out row slides in from the left edge for kLayoutDuration; the tiles let touches pass
// by until it stands in place, and then the strip logs (debug, "browser") that the row is in place.
//
// Threads: everything runs on the main thread except the load worker. A load takes, on the main
// thread, the source's entries and a copy of the element cache; the worker makes the missing
// elements into lists of its own and hands them back with the load's number. Only the main
// thread touches `loadedElements` and `keys`, and it adopts only the newest load; the elements
// of a superseded load are released there too, never on the worker.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/browser/filter_item_view.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/value.h"
#include "ui/controls/gradient_lr_view.h"

class FilterListView;
class FilterPersistElement;
class UIActivityIndicatorView;
class UILabel;

class FilterListViewSource {
public:
    virtual ~FilterListViewSource() = default;
    // The menu's entries, [{"key": preset key, "desc": filter description}]; null or empty for an
    // empty menu. Asked on the main thread when a load starts; the worker only reads the answer.
    virtual Value onFilterListViewGetArray(FilterListView& list) = 0;
};

class FilterListViewDelegate {
public:
    using Completion = std::function<void()>;
    virtual ~FilterListViewDelegate() = default;
    // A preset was chosen, or (no key, no element) the choice was cleared.
    virtual void onFilterListViewFilterSelected(FilterListView& list, const std::optional<std::string>& key,
                                                const std::shared_ptr<FilterPersistElement>& element) = 0;
    virtual void onFilterListViewHolderShow(FilterListView& list, Completion completion) = 0;
    virtual void onFilterListViewHolderHide(FilterListView& list, Completion completion) = 0;
};

class FilterListView : public GradientLRView, public FilterItemViewDelegate {
public:
    KORVA_MAKE(FilterListView)
    using Elements = std::map<std::string, std::shared_ptr<FilterPersistElement>>;
    enum class Status : std::int64_t { NotLoaded = 0, Loading = 1, Loaded = 2 };

    static constexpr CGFloat kGradientWidth = 20;
    static constexpr double kLayoutDuration = 0.2;
    static constexpr double kFirstDrawDelay = 1.0;
    static constexpr double kScrollDuration = 0.2;
    static constexpr double kScrollCheckPeriod = 0.3;
    // A scroll has settled when it moved less than this between two checks.
    static constexpr CGFloat kSettledDistance = 1.0;
    static constexpr const char* kQueueLabel = "FilterListView.UI";

    void init() override;
    ~FilterListView() override;
    void layoutSubviews() override;

    // By status: start a load, show the loading look, or lay out the loaded tiles.
    void updateData();
    void updateData0();
    void updateView();
    // Forgets the elements and the selection (saving pending edits first) and loads again.
    void refresh();

    void resetSelection();
    void updateSelection();
    void scrollToSelection(bool animated, std::function<void()> completion);
    void updateSelectionAndScroll(bool animated, std::function<void()> completion);

    void drawRefiltered();
    void updateVisibleIndices();
    bool isAnyItemVisible() const;
    void startUpdateTimer();
    void stopUpdateTimer();
    void hideAllPopAdj();
    void scheduledLayout();

    void resetTimerDraw() { timerDraw_.reset(); }
    void restartTimerDraw();
    void onTimerDraw();
    void resetTimerScrollCheck() { timerScrollCheck_.reset(); }
    void restartTimerScrollCheck();
    void onTimerScrollCheck();

    void scrollViewWillBeginDragging(UIScrollView& scrollView) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override { GradientLRView::scrollViewDidScroll(scrollView); }

    void onFilterItemViewDidTap(FilterItemView& item) override;
    void onFilterItemViewDidLongTapDown(FilterItemView& item) override;
    void onFilterItemViewDidLongTapUp(FilterItemView& item) override;
    void onFilterItemViewHolderShow(FilterItemView& item, Completion completion) override;
    void onFilterItemViewHolderHide(FilterItemView& item, Completion completion) override;

    Status status() const { return status_; }
    CGSize itemSize() const { return itemSize_; }
    CGFloat itemLabelHeight() const { return itemLabelHeight_; }
    long visibleItem0() const { return visibleItem0_; }
    long visibleItem1() const { return visibleItem1_; }
    long lastSelected() const { return lastSelected_; }
    bool scrollItemScrolling() const { return scrollItemScrolling_; }
    double timerPeriod() const { return timerPeriod_; }
    bool drawTimerRunning() const { return timerDraw_.running(); }
    bool scrollCheckRunning() const { return timerScrollCheck_.running(); }
    const std::vector<std::string>& keys() const { return keys_; }
    const Elements& loadedElements() const { return loadedElements_; }
    const std::vector<std::shared_ptr<FilterItemView>>& loadedItems() const { return loadedItems_; }
    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<UIActivityIndicatorView>& act() const { return act_; }
    // Loads started so far; a result carrying an older number is dropped.
    std::uint64_t loadNumber() const { return loadNumber_; }

    void setSource(const std::shared_ptr<FilterListViewSource>& s) { source_ = s; }
    void setDelegate(const std::shared_ptr<FilterListViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<FilterAttrDelegate> attrDelegate() const { return attrDelegate_.lock(); }

    std::string className() const override { return "FilterListView"; }

protected:
    FilterListView(std::shared_ptr<UIViewController> vc, std::shared_ptr<FilterAttrDelegate> attrDelegate);

private:
    struct LoadResult {
        Elements elements;
        std::vector<std::string> keys;
    };
    static LoadResult load(const Value& entries, Elements cache);
    void adopt(std::uint64_t number, LoadResult result);
    void layoutTiles();
    const dispatch_queue_t& qUI();
    std::shared_ptr<FilterPersistElement> elementAt(long index) const;
    void sendSelection(const std::optional<std::string>& key, const std::shared_ptr<FilterPersistElement>& element);

    std::weak_ptr<UIViewController> vc_;
    std::weak_ptr<FilterAttrDelegate> attrDelegate_;
    std::weak_ptr<FilterListViewSource> source_;
    std::weak_ptr<FilterListViewDelegate> delegate_;
    Status status_ = Status::NotLoaded;
    long visibleItem0_ = -1, visibleItem1_ = -1, lastSelected_ = -1;
    bool scrollItemScrolling_ = false;
    CGFloat scrollItemLastContentOffset_ = 0;
    CGFloat itemLabelHeight_ = 0;
    CGSize itemSize_{};
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<UIActivityIndicatorView> act_;
    dispatch_queue_t qUI_;
    Elements loadedElements_;
    std::vector<std::shared_ptr<FilterItemView>> loadedItems_;
    std::vector<std::string> keys_;
    std::uint64_t loadNumber_ = 0;
    double timerPeriod_ = 0.2;
    RepeatingTimer timerDraw_, timerScrollCheck_;
    OneShotTimer firstDraw_;
};

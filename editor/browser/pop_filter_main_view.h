// The camera screen's filter browser: a titled pop-up "IMAGE FILTER" holding the category list
// over the preset catalogue. It remembers the last chosen preset key in its own store file, offers
// "Reset" while a preset is chosen, runs the strip's redraw timer while it is on screen and tells
// the camera screen which element to use. Main-thread only.
//
// Hidden -> shown (redraw timer running) -> hidden (timer stopped, parameter pop-ups closed); a
// full-screen editor hides it and its closing shows it again at the same anchor.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "editor/browser/filter_catalogue.h"
#include "editor/browser/filter_menu_list_view.h"
#include "ui/popup/pop_title_base.h"

class FilterElement;
class FilterPersistElement;
class LastInfo;
class PopFilterMainView;

class PopFilterMainViewDelegate {
public:
    virtual ~PopFilterMainViewDelegate() = default;
    // A preset was chosen (the strip's own element: the host takes a copy) or, with none, cleared.
    virtual void onPopFilterMainViewFilterSelected(PopFilterMainView& pop,
                                                   const std::shared_ptr<FilterPersistElement>& element) = 0;
    // The pop-up has finished appearing.
    virtual void onPopFilterMainViewDidShow(PopFilterMainView& pop) = 0;
};

class PopFilterMainView : public PopTitleBase, public FilterMenuListViewDelegate, public FilterMenuListViewSource {
public:
    KORVA_MAKE(PopFilterMainView)
    static constexpr const char* kStoreName = "PopFilterMainView.1";
    static constexpr const char* kLastKey = "lastKey";
    static constexpr const char* kTitle = "IMAGE FILTER";
    static constexpr const char* kResetTitle = "Reset";
    static constexpr CGFloat kSideMargin = 10;
    // The arrowed pop-up keeps its body this far inside the screen's sides; a wider body would be
    // cut off at the right edge.
    static constexpr CGFloat kScreenEdge = 15;
    static constexpr CGFloat kExtraHeight = 93;
    static constexpr CGFloat kDimAlpha = 0.5;

    void init() override;

    // Shows the pop-up at the anchor; the completion runs once it is on screen.
    void show(const std::shared_ptr<UIView>& anchor, Callback completion);
    void hide(Callback completion) override;
    using PopTitleBase::show;

    // The last chosen preset key, or none (an empty or non-text entry reads as none).
    std::optional<std::string> lastKey();
    // Stores the key (none removes it) and writes the store at once.
    void setLastKey(const std::optional<std::string>& key);
    void save();
    const std::shared_ptr<LastInfo>& lastInfo();

    void onLeftButton(IconButton&) override {}
    // "Reset": clears the strip's selection, which runs the selection steps with no element.
    void onRightButton(IconButton&) override;
    void scheduledInternalLayout() override;

    Value onFilterMenuListViewGetArray(FilterMenuListView& list) override;
    void onFilterListViewFilterSelected(FilterListView& list, const std::optional<std::string>& key,
                                        const std::shared_ptr<FilterPersistElement>& element) override;
    void onFilterListViewHolderShow(FilterListView& list, Completion completion) override;
    void onFilterListViewHolderHide(FilterListView& list, Completion completion) override;

    const std::shared_ptr<FilterMenuListView>& fv() const { return fv_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    FilterCatalogue& catalogue() { return catalogue_; }
    void setDelegate(const std::shared_ptr<PopFilterMainViewDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "PopFilterMainView"; }

protected:
    PopFilterMainView(std::shared_ptr<UIViewController> vc, std::shared_ptr<FilterAttrDelegate> attrDelegate)
        : PopTitleBase(std::move(vc)), attrDelegate_(std::move(attrDelegate)) {}

private:
    std::weak_ptr<FilterAttrDelegate> attrDelegate_;
    std::weak_ptr<PopFilterMainViewDelegate> delegate_;
    std::shared_ptr<FilterMenuListView> fv_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<LastInfo> lastInfo_;
    FilterCatalogue catalogue_;
};

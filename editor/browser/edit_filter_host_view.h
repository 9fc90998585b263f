// The photo editor's filter browser: a panel titled "IMAGE FILTER" that slides in from the right
// over the photo, holding the category list over the same catalogue (and so the same preset keys
// and stored edits) as the camera pop-up. It keeps no last key and never runs the strip's redraw
// timer: the strip draws after each load, when a scroll settles and when a full-screen editor
// closes. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "editor/browser/filter_catalogue.h"
#include "editor/browser/filter_menu_list_view.h"
#include "ui/popup/title_view.h"

class EditFilterHostView;
class FilterPersistElement;

class EditFilterHostViewDelegate {
public:
    virtual ~EditFilterHostViewDelegate() = default;
    // A preset was chosen (the host takes its own copy) or, with none, cleared.
    virtual void onEditFilterHostViewFilterSelected(EditFilterHostView& panel,
                                                    const std::shared_ptr<FilterPersistElement>& element) = 0;
};

class EditFilterHostView : public UIView,
                           public FilterMenuListViewDelegate,
                           public FilterMenuListViewSource,
                           public TitleViewDelegate {
public:
    KORVA_MAKE(EditFilterHostView)
    using Callback = std::function<void()>;
    static constexpr const char* kTitle = "IMAGE FILTER";
    static constexpr const char* kResetTitle = "Reset";
    static constexpr CGFloat kTitleHeight = 45;
    static constexpr CGFloat kBackgroundAlpha = 0.3;
    static constexpr double kSlideDuration = 0.2;

    void init() override;

    // Slides in from the right; the completion runs when it is in place.
    void show(Callback completion);
    // Closes the parameter pop-ups and slides out to the right, then hides.
    void hide(Callback completion);

    void onTitleViewLeft(TitleView&, IconButton&) override {}
    // "Reset": clears the strip's selection, which tells the editor: no filter.
    void onTitleViewRight(TitleView&, IconButton&) override { fv_->reset(); }

    Value onFilterMenuListViewGetArray(FilterMenuListView& list) override;
    void onFilterListViewFilterSelected(FilterListView& list, const std::optional<std::string>& key,
                                        const std::shared_ptr<FilterPersistElement>& element) override;
    void onFilterListViewHolderShow(FilterListView&, Completion completion) override { show(std::move(completion)); }
    void onFilterListViewHolderHide(FilterListView&, Completion completion) override { hide(std::move(completion)); }

    const std::shared_ptr<FilterMenuListView>& fv() const { return fv_; }
    const std::shared_ptr<TitleView>& titleView() const { return titleView_; }
    FilterCatalogue& catalogue() { return catalogue_; }
    void setDelegate(const std::shared_ptr<EditFilterHostViewDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "EditFilterHostView"; }

protected:
    EditFilterHostView(std::shared_ptr<UIViewController> vc, std::shared_ptr<FilterAttrDelegate> attrDelegate)
        : vc_(std::move(vc)), attrDelegate_(std::move(attrDelegate)) {}

private:
    std::shared_ptr<UIViewController> vc_;  // held only until init hands it to the list
    std::shared_ptr<FilterAttrDelegate> attrDelegate_;
    std::weak_ptr<EditFilterHostViewDelegate> delegate_;
    std::shared_ptr<FilterMenuListView> fv_;
    std::shared_ptr<TitleView> titleView_;
    FilterCatalogue catalogue_;
};

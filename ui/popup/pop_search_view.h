// An arrowed pop-up with a search field and previous/next buttons for stepping through the matches
// of a search its delegate runs. The field starts with the caller's initial text. Main-thread only.
#pragma once

#include <string>

#include "platform/ui/input/ui_search_bar.h"
#include "ui/popup/pop_arrowed_view.h"

class PopSearchView;
class UIButton;

class PopSearchViewDelegate {
public:
    virtual ~PopSearchViewDelegate() = default;
    virtual void onPopSearchViewDidShow(PopSearchView&) {}
    virtual void onPopSearchViewWillHide(PopSearchView&) {}
    virtual void onPopSearchViewTextChanged(PopSearchView&, const std::string&) {}
    virtual void onPopSearchViewSearch(PopSearchView&, const std::string&) {}
    virtual void onPopSearchViewPrev(PopSearchView&) {}
    virtual void onPopSearchViewNext(PopSearchView&) {}
    virtual bool onPopSearchViewIsAvailPrev(PopSearchView&) { return false; }
    virtual bool onPopSearchViewIsAvailNext(PopSearchView&) { return false; }
};

class PopSearchView : public PopArrowedView, public UISearchBarDelegate {
public:
    KORVA_MAKE(PopSearchView)
    static constexpr CGFloat kMaxWidth = 500;
    static constexpr CGFloat kHeight = 70;

    void init() override;
    void updateDarkMode() override;
    void updateView();
    void show(const std::shared_ptr<NSObject>& sender, const std::string& initialText, const std::string& placeholder,
              Callback completion);
    using PopArrowedView::show;
    void hide(Callback completion) override;
    using PopArrowedView::hide;
    void onPrev();
    void onNext();

    void searchBarCancelButtonClicked(UISearchBar&) override {
        hide(Callback([] {}));
    }
    void textDidChange(UISearchBar&, const std::string& text) override;
    void searchBarSearchButtonClicked(UISearchBar&) override;

    void setDelegate(const std::shared_ptr<PopSearchViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UISearchBar>& searchBar() const { return searchBar_; }
    const std::shared_ptr<UIButton>& btnPrev() const { return btnPrev_; }
    const std::shared_ptr<UIButton>& btnNext() const { return btnNext_; }

    std::string className() const override { return "PopSearchView"; }

protected:
    explicit PopSearchView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

private:
    void updateSteps();

    std::weak_ptr<PopSearchViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_, body_;
    std::shared_ptr<UISearchBar> searchBar_;
    std::shared_ptr<UIButton> btnPrev_, btnNext_, btnClose_;
};

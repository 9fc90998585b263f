// The settings pop-up: an arrowed pop-up hosting one settings form for its whole life, sized to
// the number of rows of the description, closed by a tap outside it. Main-thread only.
#pragma once

#include <memory>

#include "settings/dict/settings_dict_controller.h"
#include "ui/popup/pop_vc_view.h"

class PopSettingsDictView;

// Also the form's delegate: the pop-up hands itself over to the form on every show.
class PopSettingsDictViewDelegate : public SettingsDictControllerDelegate {
public:
    virtual void onPopSettingsDictViewWillHide(PopSettingsDictView& pop) = 0;
    virtual void onPopSettingsDictViewDidHide(PopSettingsDictView& pop) = 0;
};

class PopSettingsDictView : public PopVCView {
public:
    KORVA_MAKE(PopSettingsDictView)
    static constexpr CGFloat kWidth = 300;
    // 70 points of frame and 50 per row, for at most 5 rows on a phone and 10 on a tablet.
    static constexpr CGFloat kBaseHeight = 70;
    static constexpr CGFloat kRowHeight = 50;
    static constexpr std::size_t kPhoneRows = 5;
    static constexpr std::size_t kTabletRows = 10;
    static constexpr CGFloat kMinimumHeight = 150;
    static constexpr CGFloat kHostMargin = 50;

    void init() override;
    std::shared_ptr<PopSettingsDictViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopSettingsDictViewDelegate>& d) { delegate_ = d; }
    // The form, made once from the host's storyboard (or directly when it has none).
    std::shared_ptr<SettingsDictController> dict();

    // Points at the sender; the completion runs once shown.
    void show(const std::shared_ptr<NSObject>& sender, Callback completion);
    // Tells the delegate before and after it closes.
    void hide(Callback completion) override;
    using PopVCView::hide;
    // Sizes the pop-up to the description's rows.
    void updateView();
    void updateDarkMode() override;

    std::string className() const override { return "PopSettingsDictView"; }

protected:
    explicit PopSettingsDictView(std::shared_ptr<UIViewController> vc) : PopVCView(std::move(vc)) {}

private:
    using PopVCView::show;
    std::weak_ptr<PopSettingsDictViewDelegate> delegate_;
    std::shared_ptr<SettingsDictController> dict_;
};

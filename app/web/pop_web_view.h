// The web pop-up: a web screen in an arrowed panel anchored to the control that asked for it,
// half the screen's shorter side wide (400 to 600 points, at most 80 % of the width) and 1.2 times
// as high (at most 80 % of the height), always in a light look. A tap beside the panel closes it;
// the owner hears of it before it goes. The hosted screen shows no Done and puts nothing on the
// owner's bar. Made once per owner and reused for every page. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "app/web/my_web_controller_delegate.h"
#include "ui/popup/pop_vc_view.h"

class MyWebController;
class PopWebView;
class UIActivityIndicatorView;

class PopWebViewDelegate : public MyWebControllerDelegate {
public:
    virtual void onPopWebViewWillHide(PopWebView& pop) = 0;
};

class PopWebView : public PopVCView, public MyWebControllerDelegate {
public:
    KORVA_MAKE(PopWebView)
    static constexpr double kShortSideShare = 0.5;
    static constexpr float kMinWidth = 400, kMaxWidth = 600;
    static constexpr double kScreenShare = 0.8;
    static constexpr double kHeightPerWidth = 1.2;
    static constexpr CGFloat kBodyInset = 1;
    static constexpr CGFloat kSpinnerSide = 100;
    static constexpr CGFloat kDimAlpha = 0.5;

    // The panel's size for an owner's view of this size.
    static CGSize panelSize(CGSize owner);

    void init() override;

    std::shared_ptr<PopWebViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopWebViewDelegate>& d) { delegate_ = d; }
    // The hosted web screen, made from the storyboard on first use (none when it has none).
    std::shared_ptr<MyWebController> web();
    const std::shared_ptr<UIActivityIndicatorView>& act() const { return act_; }

    // Loads the address into the web screen and shows the panel at the sender.
    void show(const std::shared_ptr<NSObject>& sender, const std::string& url, Callback completion);
    void hide(Callback completion) override;
    using PopVCView::hide;
    void recalcLayout() override;
    void updateView();
    void updateDarkMode() override;

    void onMyWebControllerDone(MyWebController& web) override;
    void onMyWebControllerWillNavigate(MyWebController& web, const NSURLRequest& request,
                                       WKNavigationType type) override;
    void onMyWebControllerDidStartLoad(MyWebController& web, const std::string& url) override;
    void onMyWebControllerDidFinishLoad(MyWebController& web, const std::string& url) override;
    void onMyWebControllerDidFailLoad(MyWebController& web, const std::string& reason) override;

    std::string className() const override { return "PopWebView"; }

protected:
    explicit PopWebView(std::shared_ptr<UIViewController> vc) : PopVCView(std::move(vc)) {}

private:
    using PopVCView::show;
    std::weak_ptr<PopWebViewDelegate> delegate_;
    std::shared_ptr<MyWebController> web_;
    std::shared_ptr<UIActivityIndicatorView> act_;
};

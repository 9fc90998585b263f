// Small busy views: a bare centred spinner, a spinner with the loading caption and a thin
// progress bar, and an image slot that shows a progress ring until its image arrives.
// Main-thread only.
#pragma once

#include <string>

#include "platform/runtime/value.h"
#include "ui/layout/my_view.h"

class RingProgressView;
class UIActivityIndicatorView;
class UIGestureRecognizer;
class UIImage;
class UIImageView;
class UILabel;
class UIProgressView;

class LoadingView : public MyView {
public:
    KORVA_MAKE(LoadingView)
    void setup() override;
    void relayout() override;
    // Stores the row size a list gives the view: "width" (the view's width rounded up) and "height" 30.
    static void recalc(Value& dictionary, const UIView& view);
    const std::shared_ptr<UIActivityIndicatorView>& act() const { return act_; }
    std::string className() const override { return "LoadingView"; }

protected:
    using MyView::MyView;

private:
    std::shared_ptr<UIActivityIndicatorView> act_;
};

class LoadingProgView : public UIView {
public:
    KORVA_MAKE(LoadingProgView)
    static constexpr const char* kLabelHeight = "labelHeight";
    void init() override;
    void setProgress(float p);
    // A non-empty detail goes on a second line of the caption.
    void setDetailText(const std::string& detail);
    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<UIProgressView>& prog() const { return prog_; }
    std::string className() const override { return "LoadingProgView"; }

protected:
    LoadingProgView() : UIView(CGRect{{0, 0}, {60, 60}}) {}

private:
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<UIProgressView> prog_;
};

class LoadingImageView;
class LoadingImageViewDelegate {
public:
    virtual ~LoadingImageViewDelegate() = default;
    virtual void onLoadingImageViewTap(LoadingImageView& view) = 0;
};

class LoadingImageView : public MyView {
public:
    KORVA_MAKE(LoadingImageView)
    void setup() override;
    void relayout() override;
    // With a delegate the view takes taps; without one it takes none.
    void setDelegate(const std::shared_ptr<LoadingImageViewDelegate>& d);
    // An image shows it; none shows the ring spinning afresh.
    void set(std::shared_ptr<UIImage> image);
    void assignRound(CGFloat radius);
    const std::shared_ptr<UIImageView>& iv() const { return iv_; }
    const std::shared_ptr<RingProgressView>& pro() const { return pro_; }
    std::string className() const override { return "LoadingImageView"; }

protected:
    using MyView::MyView;

private:
    std::weak_ptr<LoadingImageViewDelegate> delegate_;
    std::shared_ptr<UIImageView> iv_;
    std::shared_ptr<RingProgressView> pro_;
    std::shared_ptr<UIGestureRecognizer> g_;
};

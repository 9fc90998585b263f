// MyGLKView: an engine-drawn view that takes its drawing context from a delegate when asked to draw.
#pragma once

#include <memory>

#include "filter/glk_view.h"

class MyGLKView;

class MyGLKViewDelegate {
public:
    virtual ~MyGLKViewDelegate() = default;
    virtual std::shared_ptr<GLDrawingContext> onMyGLKViewGetGLContext(MyGLKView& sender) = 0;
};

class MyGLKView : public GLKView {
public:
    KORVA_MAKE(MyGLKView)

    // Takes the delegate's context as the view's context; the image is not used.
    void drawImage(const std::shared_ptr<CIImage>& image) {
        (void)image;
        if (auto d = myDelegate_.lock()) setContext(d->onMyGLKViewGetGLContext(*this));
    }
    std::shared_ptr<MyGLKViewDelegate> myDelegate() const { return myDelegate_.lock(); }
    void setMyDelegate(std::weak_ptr<MyGLKViewDelegate> d) { myDelegate_ = std::move(d); }

    std::string className() const override { return "MyGLKView"; }

protected:
    MyGLKView() = default;

private:
    std::weak_ptr<MyGLKViewDelegate> myDelegate_;
};

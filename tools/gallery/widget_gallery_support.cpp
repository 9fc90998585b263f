// Shared pieces of the widget sections.
#include "tools/gallery/widget_gallery_support.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/layer/ca_gradient_layer.h"

namespace {

std::shared_ptr<UIView> disc(CGRect frame, CGColor color) {
    auto view = UIView::make(frame);
    view->setBackgroundColor(UIColor::colorWithCGColor(color));
    view->layer()->setCornerRadius(frame.size.width / 2);
    return view;
}

}  // namespace

std::shared_ptr<UIView> galleryControllerRoot(GalleryPage& page, std::shared_ptr<UIColor> background) {
    auto window = page.newWindow();
    auto controller = UIViewController::make();
    auto root = controller->view();
    root->setFrame(window->bounds());
    root->setBackgroundColor(std::move(background));
    window->addSubview(root);
    // The section's controller lives until the next one replaces it.
    static std::shared_ptr<UIViewController> current;
    current = controller;
    return root;
}

std::shared_ptr<UIView> galleryPhotoBackdrop(CGRect frame) {
    auto photo = UIView::make(frame);
    photo->setClipsToBounds(true);
    auto sky = CAGradientLayer::make();
    sky->setFrame({{0, 0}, frame.size});
    sky->setColors(
        {CGColor::rgb(0.22, 0.45, 0.78, 1), CGColor::rgb(0.93, 0.72, 0.55, 1), CGColor::rgb(0.25, 0.42, 0.2, 1)});
    sky->setLocations({0, 0.6, 0.61});
    photo->layer()->addSublayer(sky);
    CGFloat w = frame.size.width, h = frame.size.height;
    photo->addSubview(disc(CGRectMake(w * 0.62, h * 0.12, w * 0.22, w * 0.22), CGColor::rgb(1, 0.9, 0.45, 1)));
    photo->addSubview(disc(CGRectMake(-w * 0.2, h * 0.5, w * 0.9, w * 0.9), CGColor::rgb(0.18, 0.36, 0.16, 1)));
    photo->addSubview(disc(CGRectMake(w * 0.45, h * 0.55, w * 0.8, w * 0.8), CGColor::rgb(0.3, 0.5, 0.22, 1)));
    return photo;
}

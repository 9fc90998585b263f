#include "tools/gallery/adjust_gallery_support.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

std::shared_ptr<UIView> galleryAdjustScreen(GalleryPage& page, const std::shared_ptr<UIViewController>& vc) {
    registerUIServices();
    auto window = page.newWindow();
    window->setRootViewController(vc);
    const CGRect b = vc->view()->bounds();
    vc->view()->addSubview(galleryPhotoBackdrop(b));
    auto tile = UIView::make(CGRect{{b.size.width / 2 - 35, b.size.height - 190}, {70, 90}});
    tile->setBackgroundColor(UIColor::colorWithWhite(0.1, 0.9));
    vc->view()->addSubview(tile);
    page.step(0.05);
    return tile;
}

// Toasts at the top, centre and bottom, with title and image, the activity toast, and one mid-fade.
#include "platform/ui/draw/graphics.h"
#include "tools/gallery/widget_gallery_support.h"
#include "widgets/toast/view_toast.h"

namespace {

std::shared_ptr<UIImage> thumbnail() {
    UIGraphicsBeginImageContext({80, 80});
    auto context = UIGraphicsGetCurrentContext();
    context->setFillColorWithColor(CGColor::rgb(0.95, 0.6, 0.2, 1));
    context->fillRect(CGRectMake(0, 0, 80, 80));
    context->setFillColorWithColor(CGColor::rgb(0.2, 0.45, 0.8, 1));
    context->fillRect(CGRectMake(0, 45, 80, 35));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace

void galleryToasts(GalleryPage& page) {
    auto root = galleryControllerRoot(page, UIColor::colorWithWhite(0.85, 1));
    root->addSubview(galleryPhotoBackdrop(root->bounds()));
    makeToast(root, "Photo saved to the library", 10, ToastPosition::named(kToastPositionTop));
    makeToast(root, std::string("The filter is applied to every new photo."), 10,
              ToastPosition::named(kToastPositionCenter), std::string("Vintage"), thumbnail(), nullptr, nullptr);
    makeToast(root, "Saved", 10, ToastPosition::named(kToastPositionBottom));
    makeToastActivity(root, ToastPosition::point({root->bounds().size.width / 2, 560}));
    page.step(0.5);
    page.shotScreen("toasts-top-centre-bottom-activity");
    makeToast(root, "Fading in", 10, ToastPosition::point({root->bounds().size.width / 2, 200}));
    page.step(0.1);
    page.shotScreen("toast-mid-fade");
}

// Registers the toolkit's services with the foundation.
#include "ui/ui_services.h"

#include "capture/photo_strip_layout.h"
#include "foundation/global.h"
#include "foundation/image_service.h"
#include "foundation/service_factory.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/controller/animation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {
// Takes a presented controller down for Global's walk through its lists; the walk itself keeps
// the lists.
void dismissForGlobal(const GlobalBase::Controller& controller, bool animated, std::function<void()> completion) {
    auto vc = std::dynamic_pointer_cast<UIViewController>(controller);
    if (vc && vc->presentingViewController() && vc->dismissViewControllerAnimated(animated, completion)) return;
    if (completion) completion();
}

// The shared images' glyphs: white on clear in the large fixed icon font.
std::shared_ptr<UIImage> glyphImage(int glyph, CGSize size) {
    auto font = Global::shared()->font();
    return imageIcon(static_cast<std::uint16_t>(glyph), size, font ? font->iconFixedLarge3() : nullptr,
                     UIColor::whiteColor(), UIColor::clearColor());
}
// The photo strip's layout by constraints (so it follows its parent's size) and its thumbnails
// drawn at the screen's scale.
PhotoStripLayout photoStripOperations() {
    PhotoStripLayout ops;
    ops.pinEdges = [](const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container) {
        addConstraintsFull(view, container, 0, 0, 0, 0);
    };
    ops.placeCentredAbove = [](const std::shared_ptr<UIView>& view, const std::shared_ptr<UIView>& container,
                               CGSize size, double bottom) {
        addConstraintsCB(view, container, 0, -bottom, size.width, size.height);
    };
    ops.cropResize = [](const std::shared_ptr<UIImage>& image, double ratio, CGSize size) {
        auto cropped = croppedImageByRatio(image, ratio);
        auto resized = cropped ? resizedImage(cropped, size) : nullptr;
        return resized ? resized : image;
    };
    return ops;
}
}  // namespace

void registerUIServices() {
    ServiceFactory<Font>::registerMaker([] { return Font::make(); });
    ServiceFactory<Color>::registerMaker([] { return Color::make(); });
    ServiceFactory<Animation>::registerMaker([] { return Animation::make(); });
    GlobalBase::setDismisser(dismissForGlobal);
    Image::setGlyphMaker(glyphImage);
    PhotoStripLayout::registerOperations(photoStripOperations());
}

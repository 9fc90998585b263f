// Registers the toolkit's services with the foundation.
#include "ui/ui_services.h"

#include "foundation/global.h"
#include "foundation/image_service.h"
#include "foundation/service_factory.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/controller/animation.h"
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
}  // namespace

void registerUIServices() {
    ServiceFactory<Font>::registerMaker([] { return Font::make(); });
    ServiceFactory<Color>::registerMaker([] { return Color::make(); });
    ServiceFactory<Animation>::registerMaker([] { return Animation::make(); });
    GlobalBase::setDismisser(dismissForGlobal);
    Image::setGlyphMaker(glyphImage);
}

// Registers the toolkit's services with the foundation.
#include "ui/ui_services.h"

#include "foundation/global_base.h"
#include "foundation/service_factory.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/controller/animation.h"
#include "ui/theme/font.h"

namespace {
// Takes a presented controller down for Global's walk through its lists; the walk itself keeps
// the lists.
void dismissForGlobal(const GlobalBase::Controller& controller, bool animated, std::function<void()> completion) {
    auto vc = std::dynamic_pointer_cast<UIViewController>(controller);
    if (vc && vc->presentingViewController() && vc->dismissViewControllerAnimated(animated, completion)) return;
    if (completion) completion();
}
}  // namespace

void registerUIServices() {
    ServiceFactory<Font>::registerMaker([] { return Font::make(); });
    ServiceFactory<Animation>::registerMaker([] { return Animation::make(); });
    GlobalBase::setDismisser(dismissForGlobal);
}

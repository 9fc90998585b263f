// Registers the toolkit's services with the foundation.
#include "ui/ui_services.h"

#include "foundation/service_factory.h"
#include "ui/theme/font.h"

void registerUIServices() {
    ServiceFactory<Font>::registerMaker([] { return Font::make(); });
}

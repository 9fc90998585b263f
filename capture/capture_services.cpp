#include "capture/capture_services.h"

#include "capture/audio_session.h"
#include "capture/path_base.h"
#include "foundation/service_factory.h"

void registerCaptureServices() {
    ServiceFactory<Path>::registerMaker([] { return ::make<Path>(); });
    ServiceFactory<AudioSession>::registerMaker([] { return AudioSession::make(); });
}

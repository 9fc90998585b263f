// Registration of the language services with Global.
#include "language/language_services.h"

#include "foundation/service_factory.h"
#include "language/addr.h"
#include "language/download_host.h"
#include "language/upload_host.h"

void registerLanguageServices() {
    ServiceFactory<AddrService>::registerMaker([] { return Addr::make(); });
    ServiceFactory<UploadService>::registerMaker([] { return UploadHost::make(); });
    ServiceFactory<DownloadService>::registerMaker([] { return DownloadHost::make(); });
}

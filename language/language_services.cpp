// Registration of the language services with Global.
#include "language/language_services.h"

#include "foundation/service_factory.h"
#include "language/addr.h"
#include "language/country_code.h"
#include "language/download_host.h"
#include "language/language_code.h"
#include "language/upload_host.h"

void registerLanguageServices() {
    ServiceFactory<AddrService>::registerMaker([] { return Addr::make(); });
    ServiceFactory<UploadService>::registerMaker([] { return UploadHost::make(); });
    ServiceFactory<DownloadService>::registerMaker([] { return DownloadHost::make(); });
    ServiceFactory<LanguageService>::registerMaker([] { return LanguageCode::make(); });
    ServiceFactory<CountryCode>::registerMaker([] { return CountryCode::make(); });
}

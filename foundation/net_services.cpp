// Registers the picture cache and the bookmark store with the service registry.
#include "foundation/net_services.h"

#include "foundation/files_host.h"
#include "foundation/pics.h"
#include "foundation/service_factory.h"

void registerPicsAndFilesHost() {
    ServiceFactory<Pics>::registerMaker([] { return Pics::make(); });
    ServiceFactory<FilesHost>::registerMaker([] { return FilesHost::make(); });
}

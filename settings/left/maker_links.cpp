// The maker's addresses from the bundle's configuration.
#include "settings/left/maker_links.h"

#include "foundation/device.h"
#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/links.h"
#include "language/server_pages.h"
#include "platform/runtime/value.h"

namespace maker_links {
namespace {
std::string withoutTrailingSlash(std::string address) {
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address;
}

std::string storeHost() {
    return withoutTrailingSlash(configuredString("KorvaStoreHost", "https://store.korva.invalid"));
}
}  // namespace

std::string supportMail() {
    return configuredString("KorvaSupportMail", "support@korva.invalid");
}

std::string webSiteHome() {
    return configuredString("KorvaWebSite", "https://www.korva.invalid/");
}

std::string webSiteName() {
    std::string host = webSiteHome();
    if (auto scheme = host.find("://"); scheme != std::string::npos) host.erase(0, scheme + 3);
    if (auto path = host.find('/'); path != std::string::npos) host.erase(path);
    if (host.rfind("www.", 0) == 0) host.erase(0, 4);
    return host;
}

std::string productPage() {
    return withoutTrailingSlash(webSiteHome()) + "/korva/";
}

std::string storeIdentifier() {
    return configuredString("KorvaStoreIdentifier", "0");
}

std::string rateAddress(bool isMac) {
    if (isMac) return productPage() + "?" + queryString(Value::dictionary({{"r", Value(storeIdentifier())}}));
    return storeHost() + "/app/id" + storeIdentifier() + "?action=write-review";
}

std::string makerAppsPage() {
    return configuredString("KorvaMakerAppsPage", storeHost() + "/developer/korva");
}

std::string moreAppsRequest(const std::string& deviceLanguage) {
    auto global = Global::shared();
    Value query = Value::dictionary({{"name", Value(global->appName())},
                                     {"version", Value(global->appVersion())},
                                     {"lang", Value(deviceLanguage)},
                                     {"p", Value(global->device()->platform())}});
    return server_pages::pageRequest(server_pages::pageAddress(server_pages::kMoreAppsPath), query);
}
}  // namespace maker_links

// The maker's addresses the side menu opens, all configuration values of the bundle's Info.plist
// (until the maker has its own, they name hosts under ".invalid" so nothing is sent anywhere).
#pragma once

#include <string>

namespace maker_links {
// The support mail address the feedback mail goes to.
std::string supportMail();
// The web site's home page, and its domain name as the menu shows it.
std::string webSiteHome();
std::string webSiteName();
// The product page of this app on the web site ("/korva/").
std::string productPage();
// The app's identifier in the store.
std::string storeIdentifier();
// Where the "rate" row leads: on a Mac the product page with r=<store identifier>, elsewhere the
// store's write-review page.
std::string rateAddress(bool isMac);
// The store's page of the maker's apps.
std::string makerAppsPage();
// The more-apps page with its query (name, version, lang, p).
std::string moreAppsRequest(const std::string& deviceLanguage);
}  // namespace maker_links

// The maker's download host: the address the server pages are read from, configured in the
// bundle's Info.plist (key "KorvaDownloadHost"), without a trailing slash.
#pragma once

#include <string>

std::string downloadHost();

// Links, language codes and display names: opening an address, the web translation and share
// addresses, language-country codes, a readable error text and a contact's names and initials.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/cn_contact.h"
#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

// A configuration value of the bundle (Info.plist): the string under the key, or the fallback
// when it is missing, empty or not a string. Server hosts come from here, never from the code.
std::string configuredString(std::string_view key, std::string_view fallback = {});
// Opens the address with the system when it can be opened (true); nothing otherwise. Main thread.
bool openURL(std::string_view address);
// "https://<translation host>/?op=translate&sl=<source or auto>&tl=<target>&text=<text>", the
// target being the settings' translation language ("zh-cn" and "zh-tw" written "zh-CN", "zh-TW").
std::string googleTranslate(std::string_view text, const std::optional<std::string>& sourceCode);
// The share page's address, "?" and the query as given.
std::string urlContent(std::string_view query);
// {"lcode": before the first "-" (or everything), "ccode": after it (only when there is a "-")}.
Value splitLanguageCountryCode(std::string_view code);
std::string languageCodeOnly(std::string_view code);
// The failure reason, else the description.
std::string desc(const NSError& error);

// The person's name; empty when the contact has none.
std::string name1(const CNContact& contact);
// The trimmed organisation and department joined by a blank, each only when not empty; none when
// both fields are missing.
std::optional<std::string> name2(const CNContact& contact);
std::optional<std::string> title(const CNContact& contact);
std::optional<std::string> subtitle(const CNContact& contact);
std::string initial(const CNContact& contact);

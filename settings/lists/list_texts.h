// Texts the list screens share: the placeholder shown over an empty list, and the section string
// of a row (its first character in lower case).
#pragma once

#include <memory>
#include <string>
#include <string_view>

class NSAttributedString;

// Grey, centred, word-wrapped, with 2 points between lines.
std::shared_ptr<NSAttributedString> listPlaceholderText(const std::string& text);
// "No Items", shown as it stands; "No Results Found" goes through the string lookup.
std::string listPlaceholderString(bool searching);
// The first character in lower case, or " " for an empty text.
std::string sectionStringOf(std::string_view label);
// Whether the text holds the word, ignoring letter case.
bool containsIgnoringCase(std::string_view text, std::string_view word);

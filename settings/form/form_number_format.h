// Laying digits into a pattern in which each "X" stands for one digit and every other character
// is shown as it is ("XXXX XXXX", "(XXX) XXX-XXXX", "+49 XXX"). Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The digits of `text` laid into `pattern`: at most as many digits as the pattern has X's; a
// separator shows as soon as the group before it is full; literals at the start of the pattern
// show with the first digit. An empty text or pattern gives the text unchanged.
std::string form_stringWithNumberFormat(std::string_view text, std::string_view pattern);
// The empty text for none, else the above.
std::string form_string(const std::optional<std::string>& text, std::string_view pattern);
// The digits the user entered into a laid-out text: without a pattern every digit; with one,
// the digits at the pattern's digit places, skipping the places where the pattern itself holds
// that very digit (a fixed country code), and nothing past the pattern's end.
std::string form_unformattedText(std::string_view text, const std::optional<std::string>& pattern);
// Only the decimal digits of the text.
std::string form_digitsOnly(std::string_view text);

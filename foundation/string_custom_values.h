// Texts that stand for values: name colours, initials, colour spaces and images by name or
// address, dates, hashtags, shortened names, clock texts and four-character codes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CGColorSpace;
class CIImage;
class UIColor;

// The palette index of a name: djb2 of its UTF-8 bytes, modulo 30.
std::size_t nameColorIndex(std::string_view name);
// The palette colour of the name; the same name always gives the same colour.
std::shared_ptr<UIColor> color(std::string_view name);
// The initials of a name, from its tokens taken as given, middle and family names.
std::string initial(std::string_view name);
// The image at a file:// address or path; none when it cannot be read. An http(s) address is
// read from the picture cache; until the cache holds it the answer is none and the cache fetches
// it in the background (a failure is logged), so no call waits for the network.
std::shared_ptr<CIImage> ciimage(std::string_view address);
// Whether ciimage loads the address through the picture cache (an http or https address).
bool isWebImageAddress(std::string_view address);
// The image of a web address when the picture cache holds it; none otherwise, and nothing fetched.
std::shared_ptr<CIImage> cachedWebImage(std::string_view address);
// Posted on the main thread when a web image that ciimage fetched has landed in the cache;
// userInfo "address" holds its address.
inline constexpr const char* kWebImageDidArriveNotification = "KorvaWebImageDidArrive";
// None for "Default" and for names the platform does not know.
std::shared_ptr<CGColorSpace> colorspace(std::string_view name);
// A "yyyy-MM-dd" text in the device's calendar, locale and time zone, as seconds since the
// reference date; none for any other text.
std::optional<double> toDate(std::string_view text);
// The hashtags of the text, without their "#", in order.
std::vector<std::string> tags(std::string_view text);
// The name when shorter than 31 UTF-16 units, otherwise its first 27 units and "...".
std::string userNameShort(std::string_view name);
// "m:ss"-style clock texts: "%02d:%02d", or "%d:%02d:%02d" above 3599 seconds.
std::string stringElapsedFromSecond(std::int32_t seconds);
// The same with "- " in front.
std::string stringRemainedFromSecond(std::int32_t seconds);
// "%02d:%02d.%02d": minutes, seconds and hundredths, each truncated.
std::string fromSec(float seconds);
// "m:s.hh", "m:s" or a plain number read back as seconds.
float toSec(std::string_view text);
// "'abcd'" when all four bytes (most significant first) are printable ASCII, else "".
std::string stringFromFourCharCode(std::uint32_t code);

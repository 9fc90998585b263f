// Value texts: hashing to palette colours, initials, dates, hashtags, clock texts and codes.
#include "foundation/string_custom_values.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/numeric.h"
#include "foundation/string_custom_tokens.h"
#include "platform/image/color_space.h"
#include "platform/runtime/utf16.h"
#include "platform/runtime/value.h"
#include "platform/text/character_set.h"
#include "platform/text/date_formatter.h"
#include "platform/text/person_name_formatter.h"
#include "platform/text/regular_expression.h"
#include "platform/text/string_character_sets.h"

std::size_t nameColorIndex(std::string_view name) {
    std::uint64_t h = 5381;
    for (unsigned char b : name) h = h * 33 + b;
    return static_cast<std::size_t>(h % 30);
}

std::string initial(std::string_view name) {
    NSPersonNameComponents components;
    std::vector<std::string> parts = tokens(name).value_or(std::vector<std::string>{});
    if (parts.size() >= 3) {
        components.givenName = parts[0];
        components.middleName = parts[1];
        components.familyName = parts[2];
    } else if (parts.size() == 2) {
        components.givenName = parts[0];
        components.familyName = parts[1];
    } else if (parts.size() == 1) {
        components.givenName = utf16SubstringTo(parts[0], 1);
    }
    NSPersonNameComponentsFormatter formatter;
    formatter.setStyle(NSPersonNameComponentsFormatterStyle::Abbreviated);
    return formatter.stringFromPersonNameComponents(components);
}

std::shared_ptr<CGColorSpace> colorspace(std::string_view name) {
    if (name == "Default") return nullptr;
    return CGColorSpaceCreateWithName(name);
}

std::optional<double> toDate(std::string_view text) {
    if (text.empty()) return std::nullopt;
    NSDateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd");
    return formatter.dateFromString(text);
}

std::vector<std::string> tags(std::string_view text) {
    std::vector<std::string> result;
    for (std::string& piece :
         componentsSeparatedByCharactersInSet(text, NSCharacterSet::whitespaceAndNewlineCharacterSet())) {
        if (piece.size() > 1 && piece[0] == '#') result.push_back(piece.substr(1));
    }
    return result;
}

std::string userNameShort(std::string_view name) {
    if (utf16Length(name) < 31) return std::string(name);
    // Never cut between the halves of a surrogate pair.
    std::size_t keep = 27;
    auto last = utf16CharacterAt(name, keep - 1);
    if (last && *last >= 0xD800 && *last <= 0xDBFF) --keep;
    return utf16SubstringTo(name, keep) + "...";
}

namespace {

std::string clockText(std::int32_t s, const char* prefix) {
    std::int32_t m = s / 60, h = s / 3600;
    auto secondsPart = static_cast<int>(clampFloat(static_cast<float>(s - 60 * m), 0, 59));
    auto minutesPart = static_cast<int>(clampFloat(static_cast<float>(m - 60 * h), 0, 59));
    char buffer[64];
    if (s > 3599) {
        std::snprintf(buffer, sizeof buffer, "%s%d:%02d:%02d", prefix, static_cast<int>(h), minutesPart, secondsPart);
    } else {
        std::snprintf(buffer, sizeof buffer, "%s%02d:%02d", prefix, minutesPart, secondsPart);
    }
    return buffer;
}

// Saturating conversion, so that infinities, NaN and huge values cannot overflow an int.
int toInt(float v) {
    if (!std::isfinite(v)) return 0;
    if (v >= 2147483520.0f) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0f) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int groupInt(std::u16string_view text, NSRange r) {
    if (!r.found()) return 0;
    long long value = 0;
    for (char16_t c : text.substr(r.location, r.length)) {
        value = std::min<long long>(value * 10 + (c - u'0'), std::numeric_limits<int>::max());
    }
    return static_cast<int>(value);
}

}  // namespace

std::string stringElapsedFromSecond(std::int32_t seconds) {
    return clockText(seconds, "");
}

std::string stringRemainedFromSecond(std::int32_t seconds) {
    return clockText(seconds, "- ");
}

std::string fromSec(float seconds) {
    float m = std::trunc(seconds / 60);
    float r = seconds - 60 * m;
    float whole = std::trunc(r);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d.%02d", toInt(m), toInt(whole),
                  toInt(std::trunc((r - whole) * 100)));
    return buffer;
}

float toSec(std::string_view text) {
    static const auto withHundredths =
        NSRegularExpression::regularExpressionWithPattern("([0-9]*):([0-9]*)\\.([0-9]*)");
    static const auto withoutHundredths = NSRegularExpression::regularExpressionWithPattern("([0-9]*):([0-9]*)");
    std::u16string units = toUtf16(text);
    if (withHundredths.ok()) {
        auto match = (*withHundredths)->matchesInUtf16(units, {0, units.size()});
        if (!match.empty()) {
            const NSTextCheckingResult& m = match.front();
            return static_cast<float>(groupInt(units, m.rangeAtIndex(1))) * 60 +
                   static_cast<float>(groupInt(units, m.rangeAtIndex(2))) +
                   static_cast<float>(groupInt(units, m.rangeAtIndex(3))) / 100;
        }
    }
    if (withoutHundredths.ok()) {
        auto match = (*withoutHundredths)->matchesInUtf16(units, {0, units.size()});
        if (!match.empty()) {
            const NSTextCheckingResult& m = match.front();
            return static_cast<float>(groupInt(units, m.rangeAtIndex(1))) * 60 +
                   static_cast<float>(groupInt(units, m.rangeAtIndex(2)));
        }
    }
    return Value(std::string(text)).floatValue();
}

std::string stringFromFourCharCode(std::uint32_t code) {
    std::string out = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto byte = static_cast<unsigned char>((code >> shift) & 0xFF);
        if (byte < 0x20 || byte > 0x7E) return {};
        out += static_cast<char>(byte);
    }
    return out + "'";
}

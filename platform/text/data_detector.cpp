// The data detector on ICU: one compiled pattern per kind, each match turned into its value.
#include "platform/text/data_detector.h"

#include <unicode/calendar.h>
#include <unicode/regex.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/runtime/utf16.h"

namespace {

constexpr double kReferenceDateUnixSeconds = 978307200.0;
constexpr NSTextCheckingType kKnownTypes = NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber |
                                           NSTextCheckingTypeDate | NSTextCheckingTypeAddress |
                                           NSTextCheckingTypeTransitInformation;

const char16_t* const kLinkPattern =
    u"(?i)(?<![\\w@.])(?:(?:https?|ftp)://[^\\s<>\"']+|www\\.[^\\s<>\"']+"
    u"|[a-z0-9._%+-]+@[a-z0-9-]+(?:\\.[a-z0-9-]+)*\\.[a-z]{2,}"
    u"|[a-z0-9-]+(?:\\.[a-z0-9-]+)*\\.(?:com|org|net|edu|gov|io|info|eu|fi|de|uk|fr|se|no)(?:/[^\\s<>\"']*)?)"
    u"(?![\\w@])";
const char16_t* const kPhonePattern =
    u"(?<![\\w+])(?:\\+\\d{1,3}[ .-]?)?(?:\\(\\d{1,4}\\)[ .-]?)?\\d{1,4}(?:[ .-]?\\d{1,4}){1,5}(?![\\w])";
const char16_t* const kMonths =
    u"(jan(?:uary)?|feb(?:ruary)?|mar(?:ch)?|apr(?:il)?|may|june?|july?|aug(?:ust)?|sep(?:t(?:ember)?)?"
    u"|oct(?:ober)?|nov(?:ember)?|dec(?:ember)?)\\.?";
const char16_t* const kTime = u"(?:,?\\s+(?:at\\s+)?(\\d{1,2}):(\\d{2})\\s*(am|pm)?)?";
const char16_t* const kIsoDatePattern =
    u"(?<![\\w-])(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T ](\\d{1,2}):(\\d{2}))?(?![\\w-])";
const char16_t* const kAddressPattern =
    u"(?<![\\w])(\\d{1,5}\\s+(?:[A-Z][a-z]+\\s+){1,3}"
    u"(?:Street|St\\.?|Avenue|Ave\\.?|Road|Rd\\.?|Boulevard|Blvd\\.?|Lane|Ln\\.?|Drive|Dr\\.?|Way|Court|Ct\\.?))"
    u"(?:,\\s*([A-Z][a-z]+(?:\\s[A-Z][a-z]+)?))?(?![\\w])";
const char16_t* const kTransitPattern = u"(?i:flight)\\s+([A-Z][A-Z0-9])\\s?(\\d{1,4})(?![\\w])";

std::unique_ptr<icu::RegexPattern> compile(const std::u16string& pattern, uint32_t flags = 0) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString source(pattern.data(), static_cast<int32_t>(pattern.size()));
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(source, flags, status));
    return U_SUCCESS(status) ? std::move(compiled) : nullptr;
}

int monthNumber(const icu::UnicodeString& name) {
    static const std::array<const char16_t*, 12> prefixes = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                                             u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
    icu::UnicodeString lower(name);
    lower.toLower();
    for (std::size_t i = 0; i < prefixes.size(); ++i)
        if (lower.startsWith(icu::UnicodeString(prefixes[i]))) return static_cast<int>(i) + 1;
    return 0;
}

std::string text(const icu::UnicodeString& s) {
    return fromUtf16(std::u16string_view(s.getBuffer(), static_cast<std::size_t>(s.length())));
}

// A wall-clock time in the device's zone; none when out of range.
std::optional<double> localDate(int year, int month, int day, int hour, int minute) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(status));
    if (U_FAILURE(status)) return std::nullopt;
    if (year == 0) year = calendar->get(UCAL_YEAR, status);
    calendar->clear();
    calendar->setLenient(false);
    calendar->set(year, month - 1, day, hour, minute, 0);
    UDate when = calendar->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return when / 1000.0 - kReferenceDateUnixSeconds;
}

struct Found {
    NSTextCheckingResult result;
    int priority;  // lower wins an overlap
};

}  // namespace

struct NSDataDetector::Patterns {
    std::unique_ptr<icu::RegexPattern> link, phone, isoDate, monthFirst, dayFirst, address, transit;
};

Result<std::shared_ptr<NSDataDetector>> NSDataDetector::dataDetectorWithTypes(NSTextCheckingType types) {
    if ((types & kKnownTypes) == 0 || (types & ~kKnownTypes) != 0)
        return fail("no data detector for the text-checking types " + std::to_string(types));
    auto p = std::make_unique<Patterns>();
    p->link = compile(kLinkPattern);
    p->phone = compile(kPhonePattern);
    p->isoDate = compile(kIsoDatePattern);
    std::u16string months = kMonths, time = kTime;
    p->monthFirst =
        compile(u"(?<![\\w])" + months + u"\\s+(\\d{1,2})(?:st|nd|rd|th)?(?:,?\\s+(\\d{4}))?" + time + u"(?![\\w])",
                UREGEX_CASE_INSENSITIVE);
    p->dayFirst = compile(
        u"(?<![\\w])(\\d{1,2})(?:st|nd|rd|th)?\\s+(?:of\\s+)?" + months + u"(?:,?\\s+(\\d{4}))?" + time + u"(?![\\w])",
        UREGEX_CASE_INSENSITIVE);
    p->address = compile(kAddressPattern);
    p->transit = compile(kTransitPattern);
    if (!p->link || !p->phone || !p->isoDate || !p->monthFirst || !p->dayFirst || !p->address || !p->transit)
        return fail("the data detector's patterns did not compile");
    return ::make<NSDataDetector>(types, std::move(p));
}

NSDataDetector::NSDataDetector(NSTextCheckingType types, std::unique_ptr<Patterns> patterns)
    : types_(types), patterns_(std::move(patterns)) {}

NSDataDetector::~NSDataDetector() = default;

std::vector<NSTextCheckingResult> NSDataDetector::matchesInString(std::string_view utf8, unsigned,
                                                                  NSRange range) const {
    std::u16string units = toUtf16(utf8);
    range = NSIntersectionRange(range, {0, units.size()});
    if (range.length == 0 || units.size() > INT32_MAX) return {};
    icu::UnicodeString source(false, units.data(), static_cast<int32_t>(units.size()));
    std::vector<Found> found;

    // Calls `take` with each match of the pattern in the range.
    auto each = [&](const icu::RegexPattern& pattern, auto take) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexMatcher> m(pattern.matcher(source, status));
        if (U_FAILURE(status)) return;
        m->region(static_cast<int64_t>(range.location), static_cast<int64_t>(NSMaxRange(range)), status);
        m->useTransparentBounds(true);
        while (U_SUCCESS(status) && m->find(status) && U_SUCCESS(status)) take(*m);
    };
    auto group = [](icu::RegexMatcher& m, int g) {
        UErrorCode status = U_ZERO_ERROR;
        return m.start(g, status) < 0 ? icu::UnicodeString() : m.group(g, status);
    };
    auto number = [&](icu::RegexMatcher& m, int g) {
        icu::UnicodeString s = group(m, g);
        return s.isEmpty() ? -1 : std::atoi(text(s).c_str());
    };
    auto whole = [](icu::RegexMatcher& m) {
        UErrorCode status = U_ZERO_ERROR;
        auto start = static_cast<std::size_t>(m.start(status));
        return NSRange{start, static_cast<std::size_t>(m.end(status)) - start};
    };

    if (types_ & NSTextCheckingTypeLink)
        each(*patterns_->link, [&](icu::RegexMatcher& m) {
            NSRange r = whole(m);
            // Closing punctuation belongs to the sentence, not the address.
            while (r.length > 0 &&
                   std::u16string_view(u".,;:!?)]'\"").find(units[NSMaxRange(r) - 1]) != std::u16string_view::npos)
                --r.length;
            std::string link = utf16Substring(utf8, r);
            std::string lower = link;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            if (lower.find("://") == std::string::npos)
                link = (link.find('@') != std::string::npos ? "mailto:" : "http://") + link;
            if (auto url = NSURL::URLWithString(link))
                found.push_back({NSTextCheckingResult::linkCheckingResultWithRange(r, url), 0});
        });
    if (types_ & NSTextCheckingTypeDate) {
        auto addDate = [&](icu::RegexMatcher& m, int year, int month, int day, int hourGroup) {
            int hour = hourGroup ? number(m, hourGroup) : -1, minute = hourGroup ? number(m, hourGroup + 1) : -1;
            if (hour < 0) hour = 12, minute = 0;  // a day without a time stands for its noon
            if (hourGroup) {
                icu::UnicodeString half = group(m, hourGroup + 2);
                half.toLower();
                if (half == u"pm" && hour < 12) hour += 12;
                if (half == u"am" && hour == 12) hour = 0;
            }
            if (auto date = localDate(std::max(year, 0), month, day, hour, minute))
                found.push_back({NSTextCheckingResult::dateCheckingResultWithRange(whole(m), *date), 1});
        };
        each(*patterns_->isoDate, [&](icu::RegexMatcher& m) {
            int hour = number(m, 4);
            if (auto date = localDate(number(m, 1), number(m, 2), number(m, 3), hour < 0 ? 12 : hour,
                                      hour < 0 ? 0 : number(m, 5)))
                found.push_back({NSTextCheckingResult::dateCheckingResultWithRange(whole(m), *date), 1});
        });
        each(*patterns_->monthFirst,
             [&](icu::RegexMatcher& m) { addDate(m, number(m, 3), monthNumber(group(m, 1)), number(m, 2), 4); });
        each(*patterns_->dayFirst,
             [&](icu::RegexMatcher& m) { addDate(m, number(m, 3), monthNumber(group(m, 2)), number(m, 1), 4); });
    }
    if (types_ & NSTextCheckingTypeTransitInformation)
        each(*patterns_->transit, [&](icu::RegexMatcher& m) {
            UErrorCode status = U_ZERO_ERROR;
            auto start = static_cast<std::size_t>(m.start(1, status));
            NSRange r{start, static_cast<std::size_t>(m.end(status)) - start};
            ValueDictionary components{{NSTextCheckingAirlineKey, text(group(m, 1))},
                                       {NSTextCheckingFlightKey, text(group(m, 2))}};
            found.push_back({NSTextCheckingResult::transitInformationCheckingResultWithRange(r, components), 2});
        });
    if (types_ & NSTextCheckingTypeAddress)
        each(*patterns_->address, [&](icu::RegexMatcher& m) {
            ValueDictionary components{{NSTextCheckingStreetKey, text(group(m, 1))}};
            if (icu::UnicodeString city = group(m, 2); !city.isEmpty())
                components.set(NSTextCheckingCityKey, text(city));
            found.push_back({NSTextCheckingResult::addressCheckingResultWithRange(whole(m), components), 3});
        });
    if (types_ & NSTextCheckingTypePhoneNumber)
        each(*patterns_->phone, [&](icu::RegexMatcher& m) {
            NSRange r = whole(m);
            std::size_t digits = 0;
            for (std::size_t i = r.location; i < NSMaxRange(r); ++i) digits += units[i] >= u'0' && units[i] <= u'9';
            if (digits >= 7 && digits <= 15)
                found.push_back(
                    {NSTextCheckingResult::phoneNumberCheckingResultWithRange(r, utf16Substring(utf8, r)), 4});
        });

    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.priority < b.priority; });
    std::vector<NSTextCheckingResult> kept;
    for (auto& f : found) {
        bool overlaps = std::any_of(kept.begin(), kept.end(), [&](const NSTextCheckingResult& k) {
            return NSIntersectionRange(k.range(), f.result.range()).length > 0;
        });
        if (!overlaps) kept.push_back(std::move(f.result));
    }
    std::sort(kept.begin(), kept.end(),
              [](const auto& a, const auto& b) { return a.range().location < b.range().location; });
    return kept;
}

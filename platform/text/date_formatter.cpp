// NSDateFormatter on ICU's SimpleDateFormat, strict: the whole text must match the pattern.
#include "platform/text/date_formatter.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include "platform/runtime/utf16.h"

namespace {
constexpr double kReferenceDateUnixSeconds = 978307200.0;

icu::DateFormat::EStyle icuStyle(NSDateFormatterStyle style) {
    switch (style) {
        case NSDateFormatterStyle::Short: return icu::DateFormat::kShort;
        case NSDateFormatterStyle::Medium: return icu::DateFormat::kMedium;
        case NSDateFormatterStyle::Long: return icu::DateFormat::kLong;
        case NSDateFormatterStyle::Full: return icu::DateFormat::kFull;
        case NSDateFormatterStyle::None: break;
    }
    return icu::DateFormat::kNone;
}
}  // namespace

struct NSDateFormatter::Engine {
    std::unique_ptr<icu::SimpleDateFormat> format;
};

NSDateFormatter::NSDateFormatter() = default;
NSDateFormatter::~NSDateFormatter() = default;

void NSDateFormatter::setDateFormat(std::string format) {
    format_ = std::move(format);
    dateStyle_ = timeStyle_ = NSDateFormatterStyle::None;
    engine_.reset();
}

void NSDateFormatter::setDateStyle(NSDateFormatterStyle style) {
    dateStyle_ = style;
    engine_.reset();
}

void NSDateFormatter::setTimeStyle(NSDateFormatterStyle style) {
    timeStyle_ = style;
    engine_.reset();
}

void NSDateFormatter::setLocaleIdentifier(std::string identifier) {
    locale_ = std::move(identifier);
    engine_.reset();
}

void NSDateFormatter::setTimeZoneName(std::string name) {
    timeZone_ = std::move(name);
    engine_.reset();
}

void NSDateFormatter::setCalendarIdentifier(std::string identifier) {
    calendar_ = std::move(identifier);
    engine_.reset();
}

NSDateFormatter::Engine& NSDateFormatter::engine() const {
    if (engine_) return *engine_;
    engine_ = std::make_unique<Engine>();
    icu::Locale locale = locale_.empty() ? icu::Locale::getDefault() : icu::Locale(locale_.c_str());
    std::u16string pattern = toUtf16(format_);
    UErrorCode status = U_ZERO_ERROR;
    if (!calendar_.empty()) locale.setKeywordValue("calendar", calendar_.c_str(), status);
    if (U_FAILURE(status)) return *engine_;
    std::unique_ptr<icu::SimpleDateFormat> format;
    if (dateStyle_ != NSDateFormatterStyle::None || timeStyle_ != NSDateFormatterStyle::None) {
        std::unique_ptr<icu::DateFormat> styled(
            icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle_), icuStyle(timeStyle_), locale));
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(styled.get())) {
            styled.release();
            format.reset(simple);
        }
    } else {
        format = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString(pattern.data(), static_cast<int32_t>(pattern.size())), locale, status);
    }
    if (U_FAILURE(status) || !format) return *engine_;
    format->setLenient(false);
    if (!timeZone_.empty()) {
        std::u16string zone = toUtf16(timeZone_);
        format->adoptTimeZone(
            icu::TimeZone::createTimeZone(icu::UnicodeString(zone.data(), static_cast<int32_t>(zone.size()))));
    }
    engine_->format = std::move(format);
    return *engine_;
}

std::optional<double> NSDateFormatter::dateFromString(std::string_view text) const {
    Engine& e = engine();
    if (!e.format || text.empty()) return std::nullopt;
    std::u16string units = toUtf16(text);
    if (units.size() > INT32_MAX) return std::nullopt;
    icu::UnicodeString source(false, units.data(), static_cast<int32_t>(units.size()));
    icu::ParsePosition position(0);
    UDate date = e.format->parse(source, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) return std::nullopt;
    return date / 1000.0 - kReferenceDateUnixSeconds;
}

std::string NSDateFormatter::stringFromDate(double secondsSinceReferenceDate) const {
    Engine& e = engine();
    if (!e.format) return {};
    icu::UnicodeString out;
    e.format->format(static_cast<UDate>((secondsSinceReferenceDate + kReferenceDateUnixSeconds) * 1000.0), out);
    return fromUtf16(std::u16string_view(out.getBuffer(), static_cast<std::size_t>(out.length())));
}

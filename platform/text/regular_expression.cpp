// NSRegularExpression on ICU's regular expressions, which share the platform's syntax.
#include "platform/text/regular_expression.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include "platform/runtime/utf16.h"

struct NSRegularExpression::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

namespace {

uint32_t icuFlags(unsigned options) {
    uint32_t flags = 0;
    if (options & NSRegularExpressionCaseInsensitive) flags |= UREGEX_CASE_INSENSITIVE;
    if (options & NSRegularExpressionAllowCommentsAndWhitespace) flags |= UREGEX_COMMENTS;
    if (options & NSRegularExpressionIgnoreMetacharacters) flags |= UREGEX_LITERAL;
    if (options & NSRegularExpressionDotMatchesLineSeparators) flags |= UREGEX_DOTALL;
    if (options & NSRegularExpressionAnchorsMatchLines) flags |= UREGEX_MULTILINE;
    if (options & NSRegularExpressionUseUnixLineSeparators) flags |= UREGEX_UNIX_LINES;
    if (options & NSRegularExpressionUseUnicodeWordBoundaries) flags |= UREGEX_UWORD;
    return flags;
}

NSRange clampRange(NSRange range, std::size_t length) {
    std::size_t start = std::min(range.location, length);
    std::size_t end = range.length > length - start ? length : start + range.length;
    return {start, end - start};
}

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A matcher over the region of the text, bounded in work: a pattern that backtracks badly on
// crafted text stops with a time-out instead of running for minutes. None when the text is too
// long to be scanned at all.
std::unique_ptr<icu::RegexMatcher> boundedMatcher(const icu::RegexPattern& pattern, const icu::UnicodeString& input,
                                                  NSRange region) {
    if (static_cast<std::size_t>(input.length()) > NSRegularExpression::kMaxScannedLength) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(input, status));
    if (U_FAILURE(status)) return nullptr;
    matcher->setTimeLimit(NSRegularExpression::kMatchTimeLimit, status);
    matcher->region(static_cast<int64_t>(region.location), static_cast<int64_t>(NSMaxRange(region)), status);
    if (U_FAILURE(status)) return nullptr;
    return matcher;
}

NSTextCheckingResult currentResult(icu::RegexMatcher& matcher) {
    NSTextCheckingResult result;
    int32_t groups = matcher.groupCount();
    result.ranges.reserve(static_cast<std::size_t>(groups) + 1);
    for (int32_t g = 0; g <= groups; ++g) {
        UErrorCode status = U_ZERO_ERROR;
        int32_t start = matcher.start(g, status);
        int32_t end = matcher.end(g, status);
        if (U_FAILURE(status) || start < 0) {
            result.ranges.push_back({NSNotFound, 0});
        } else {
            result.ranges.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)});
        }
    }
    return result;
}

}  // namespace

NSRegularExpression::NSRegularExpression(std::string pattern, unsigned options, std::unique_ptr<Compiled> compiled)
    : pattern_(std::move(pattern)), options_(options), compiled_(std::move(compiled)) {}

NSRegularExpression::~NSRegularExpression() = default;

Result<std::shared_ptr<NSRegularExpression>> NSRegularExpression::regularExpressionWithPattern(std::string_view pattern,
                                                                                               unsigned options) {
    std::u16string units = toUtf16(pattern);
    icu::UnicodeString source(false, units.data(), static_cast<int32_t>(units.size()));
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(source, icuFlags(options), parseError, status));
    if (U_FAILURE(status) || !compiled) {
        return fail("the pattern \"" + std::string(pattern) + "\" is not a valid regular expression (" +
                    u_errorName(status) + " at offset " + std::to_string(parseError.offset) + ")");
    }
    auto holder = std::make_unique<Compiled>();
    holder->pattern = std::move(compiled);
    return make<NSRegularExpression>(std::string(pattern), options, std::move(holder));
}

std::size_t NSRegularExpression::numberOfCaptureGroups() const {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(compiled_->pattern->matcher(status));
    if (U_FAILURE(status)) return 0;
    return static_cast<std::size_t>(matcher->groupCount());
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInUtf16(std::u16string_view text, NSRange range) const {
    std::vector<NSTextCheckingResult> results;
    if (text.size() > kMaxScannedLength) return results;
    icu::UnicodeString input(false, text.data(), static_cast<int32_t>(text.size()));
    auto matcher = boundedMatcher(*compiled_->pattern, input, clampRange(range, text.size()));
    if (!matcher) return results;
    UErrorCode status = U_ZERO_ERROR;
    while (matcher->find(status) && U_SUCCESS(status)) results.push_back(currentResult(*matcher));
    // A run stopped by its bound has found nothing it can vouch for.
    if (U_FAILURE(status)) results.clear();
    return results;
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInString(std::string_view text) const {
    return matchesInString(text, {0, NSNotFound});
}

std::vector<NSTextCheckingResult> NSRegularExpression::matchesInString(std::string_view text, NSRange range) const {
    return matchesInUtf16(toUtf16(text), range);
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatchInString(std::string_view text) const {
    return firstMatchInString(text, {0, NSNotFound});
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatchInString(std::string_view text,
                                                                            NSRange range) const {
    std::u16string units = toUtf16(text);
    if (units.size() > kMaxScannedLength) return std::nullopt;
    icu::UnicodeString input(false, units.data(), static_cast<int32_t>(units.size()));
    auto matcher = boundedMatcher(*compiled_->pattern, input, clampRange(range, units.size()));
    if (!matcher) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    if (!matcher->find(status) || U_FAILURE(status)) return std::nullopt;
    return currentResult(*matcher);
}

std::size_t NSRegularExpression::numberOfMatchesInString(std::string_view text) const {
    return matchesInString(text).size();
}

NSRange NSRegularExpression::rangeOfFirstMatchInString(std::string_view text) const {
    auto match = firstMatchInString(text);
    return match ? match->range() : NSRange{NSNotFound, 0};
}

std::u16string NSRegularExpression::replacementForResult(const NSTextCheckingResult& result, std::u16string_view text,
                                                         std::u16string_view templ) const {
    std::u16string out;
    std::size_t groups = result.numberOfRanges() == 0 ? 0 : result.numberOfRanges() - 1;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        char16_t c = templ[i];
        if (c == u'\\' && i + 1 < templ.size()) {
            out += templ[++i];
            continue;
        }
        if (c == u'$' && i + 1 < templ.size() && isAsciiDigit(templ[i + 1])) {
            std::size_t group = templ[++i] - u'0';
            while (i + 1 < templ.size() && isAsciiDigit(templ[i + 1]) && group * 10 + (templ[i + 1] - u'0') <= groups) {
                group = group * 10 + (templ[++i] - u'0');
            }
            NSRange r = result.rangeAtIndex(group);
            if (r.found() && NSMaxRange(r) <= text.size()) out.append(text.substr(r.location, r.length));
            continue;
        }
        out += c;
    }
    return out;
}

std::u16string NSRegularExpression::replacingMatchesInUtf16(std::u16string_view text, NSRange range,
                                                            std::u16string_view templ) const {
    std::u16string out;
    std::size_t copied = 0;
    for (const NSTextCheckingResult& match : matchesInUtf16(text, range)) {
        NSRange r = match.range();
        out.append(text.substr(copied, r.location - copied));
        out += replacementForResult(match, text, templ);
        copied = NSMaxRange(r);
    }
    out.append(text.substr(copied));
    return out;
}

std::string NSRegularExpression::stringByReplacingMatchesInString(std::string_view text, std::string_view templ) const {
    return stringByReplacingMatchesInString(text, {0, NSNotFound}, templ);
}

std::string NSRegularExpression::stringByReplacingMatchesInString(std::string_view text, NSRange range,
                                                                  std::string_view templ) const {
    return fromUtf16(replacingMatchesInUtf16(toUtf16(text), range, toUtf16(templ)));
}

std::string NSRegularExpression::escapedPatternForString(std::string_view text) {
    static constexpr std::string_view meta = "\\^$.|?*+()[]{}-/#&~ \t\n";
    std::string out;
    for (char c : text) {
        if (meta.find(c) != std::string_view::npos) {
            if (c == '\t') {
                out += "\\t";
                continue;
            }
            if (c == '\n') {
                out += "\\n";
                continue;
            }
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string NSRegularExpression::escapedTemplateForString(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '$') out += '\\';
        out += c;
    }
    return out;
}

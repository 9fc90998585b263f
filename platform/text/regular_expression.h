// NSRegularExpression: the platform's pattern syntax and matching, with every range counted in
// UTF-16 units of the searched text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/range.h"
#include "platform/runtime/result.h"
#include "platform/text/text_checking_result.h"

enum NSRegularExpressionOptions : unsigned {
    NSRegularExpressionCaseInsensitive = 1u << 0,
    NSRegularExpressionAllowCommentsAndWhitespace = 1u << 1,
    NSRegularExpressionIgnoreMetacharacters = 1u << 2,
    NSRegularExpressionDotMatchesLineSeparators = 1u << 3,
    NSRegularExpressionAnchorsMatchLines = 1u << 4,
    NSRegularExpressionUseUnixLineSeparators = 1u << 5,
    NSRegularExpressionUseUnicodeWordBoundaries = 1u << 6,
};

// Matching is bounded, since the texts searched often come from outside: a text longer than
// kMaxScannedLength UTF-16 units is not scanned, and a search that takes more than
// kMatchTimeLimit units of the match engine's work (each some ten thousand steps, on the order of
// a millisecond) stops. Either way the answer is "no match".
class NSRegularExpression : public NSObject {
public:
    static constexpr std::size_t kMaxScannedLength = std::size_t{8} << 20;
    static constexpr std::int32_t kMatchTimeLimit = 5000;

    // A failure describes a pattern that does not compile.
    static Result<std::shared_ptr<NSRegularExpression>> regularExpressionWithPattern(std::string_view pattern,
                                                                                     unsigned options = 0);
    ~NSRegularExpression() override;

    const std::string& pattern() const { return pattern_; }
    unsigned options() const { return options_; }
    std::size_t numberOfCaptureGroups() const;

    // Matches in the text, or in a range of it (clamped to the text), left to right.
    std::vector<NSTextCheckingResult> matchesInString(std::string_view text) const;
    std::vector<NSTextCheckingResult> matchesInString(std::string_view text, NSRange range) const;
    std::optional<NSTextCheckingResult> firstMatchInString(std::string_view text) const;
    std::optional<NSTextCheckingResult> firstMatchInString(std::string_view text, NSRange range) const;
    std::size_t numberOfMatchesInString(std::string_view text) const;
    // {NSNotFound, 0} when there is no match.
    NSRange rangeOfFirstMatchInString(std::string_view text) const;

    // The same on UTF-16 text, for callers that already hold units.
    std::vector<NSTextCheckingResult> matchesInUtf16(std::u16string_view text, NSRange range) const;

    // Every match replaced by the template: "$n" is capture group n (as many digits as still
    // name a group; an absent group gives nothing), a backslash takes the next character as is.
    std::string stringByReplacingMatchesInString(std::string_view text, std::string_view templ) const;
    std::string stringByReplacingMatchesInString(std::string_view text, NSRange range, std::string_view templ) const;
    std::u16string replacingMatchesInUtf16(std::u16string_view text, NSRange range, std::u16string_view templ) const;
    // The template expanded for one match of the given UTF-16 text.
    std::u16string replacementForResult(const NSTextCheckingResult& result, std::u16string_view text,
                                        std::u16string_view templ) const;

    // The text with every pattern metacharacter escaped, so that it matches itself.
    static std::string escapedPatternForString(std::string_view text);
    // The text with "$" and backslashes escaped, so that a template inserts it literally.
    static std::string escapedTemplateForString(std::string_view text);

    std::string className() const override { return "NSRegularExpression"; }

    struct Compiled;

protected:
    NSRegularExpression(std::string pattern, unsigned options, std::unique_ptr<Compiled> compiled);

private:
    std::string pattern_;
    unsigned options_;
    std::unique_ptr<Compiled> compiled_;
};

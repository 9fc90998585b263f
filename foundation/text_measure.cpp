// Text measuring and fitting on the platform's text layout.
#include "foundation/text_measure.h"

#include <cfloat>

#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_search.h"
#include "foundation/string_custom_tokens.h"
#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/regular_expression.h"
#include "platform/text/text_breaks.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {

// The body-text font the excerpt measures with.
constexpr CGFloat kNormalTextSize = 15;

std::shared_ptr<NSRegularExpression> regex(const std::string& pattern) {
    auto compiled = NSRegularExpression::regularExpressionWithPattern(pattern, NSRegularExpressionCaseInsensitive);
    return compiled ? compiled.value() : nullptr;
}

std::string patternFor(const std::string& pattern, std::string_view keyword) {
    std::string out = pattern;
    std::size_t at = out.find("%@");
    if (at != std::string::npos) out.replace(at, 2, escapeRegEx(keyword));
    return out;
}

CGFloat heightOf(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size) {
    return boundingSize(text, font, size).height;
}

}  // namespace

CGSize boundingSize(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size) {
    NSAttributes attributes;
    if (font) attributes.set(NSFontAttributeName, Value(font));
    return boundingRectWithSize(text, size, NSStringDrawingUsesLineFragmentOrigin, attributes).size;
}

CGSize boundingSize_paragraph(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size) {
    auto paragraph = NSParagraphStyle::make();
    paragraph->lineBreakMode = NSLineBreakMode::ByWordWrapping;
    NSAttributes attributes;
    if (font) attributes.set(NSFontAttributeName, Value(font));
    attributes.set(NSParagraphStyleAttributeName, Value(paragraph));
    return boundingRectWithSize(text, size, NSStringDrawingUsesLineFragmentOrigin, attributes).size;
}

std::string singleLined(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

std::string newLinedWithLength(std::string_view text, std::int64_t length) {
    std::string out;
    std::optional<std::vector<std::string>> all = lines(text);
    if (!all) return out;
    for (const std::string& line : *all) {
        if (static_cast<std::int64_t>(utf16Length(line)) <= length) {
            out += line + "\n";
            continue;
        }
        std::string current;
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t blank = line.find(' ', start);
            std::string word = line.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
            if (static_cast<std::int64_t>(utf16Length(current) + utf16Length(word)) > length) {
                out += current + "\n";
                current.clear();
            }
            current += word + " ";
            if (blank == std::string::npos) break;
            start = blank + 1;
        }
        if (!current.empty()) out += current + "\n";
    }
    return out;
}

std::string truncatedByLineCount(std::string_view text, std::uint64_t lineCount, const std::shared_ptr<UIFont>& font,
                                 CGFloat width) {
    CGFloat limit = (font ? font->lineHeight() : 0) * static_cast<CGFloat>(lineCount);
    CGSize unlimited{width, FLT_MAX};
    if (heightOf(text, font, unlimited) <= limit) return std::string(text);
    std::size_t length = utf16Length(text);
    if (length < 3) return std::string(text);
    for (std::size_t k = length - 3;; --k) {
        std::string candidate = utf16SubstringTo(text, k) + "..";
        if (heightOf(candidate, font, unlimited) <= limit) return candidate;
        if (k == 0) break;
    }
    return std::string(text);
}

const std::vector<std::string>& highlightPatterns() {
    static const std::vector<std::string> patterns = {"^(%@)[^a-zA-Z'`\u2019]", "[^a-zA-Z](%@)[^a-zA-Z'`\u2019]",
                                                      "[^a-zA-Z](%@)$"};
    return patterns;
}

std::vector<NSRange> highlightRanges_match(std::string_view text, std::string_view keyword) {
    std::vector<NSRange> out;
    std::u16string units = toUtf16(text);
    std::u16string wanted = lowercaseUtf16(toUtf16(keyword));
    for (NSRange word : wordRanges(units)) {
        if (lowercaseUtf16(std::u16string_view(units).substr(word.location, word.length)) == wanted)
            out.push_back(word);
    }
    return out;
}

std::vector<NSRange> highlightRanges_match_0(std::string_view text, std::string_view keyword) {
    std::vector<NSRange> out;
    for (const std::string& pattern : highlightPatterns()) {
        auto expression = regex(patternFor(pattern, keyword));
        if (!expression) continue;
        for (const NSTextCheckingResult& match : expression->matchesInString(text))
            out.push_back(match.rangeAtIndex(1));
    }
    return out;
}

std::vector<NSRange> highlightRanges_contain(std::string_view text, std::string_view keyword) {
    return allRangesOfString(text, keyword);
}

NSRange highlightAltered_rangemin(std::string_view text, CGSize, const std::vector<std::string>& keywords, CGFloat,
                                  std::string_view) {
    NSRange best{NSNotFound, 0};
    for (const std::string& pattern : highlightPatterns()) {
        for (const std::string& keyword : keywords) {
            auto expression = regex(patternFor(pattern, keyword));
            if (!expression) continue;
            auto match = expression->firstMatchInString(text);
            if (!match) continue;
            NSRange found = match->rangeAtIndex(1);
            if (found.location != NSNotFound && found.location < best.location) best = found;
        }
    }
    return best;
}

std::string highlightAltered(std::string_view text, CGSize box, const std::vector<std::string>& keywords,
                             CGFloat lineHeight, std::string_view prefix) {
    std::size_t p = highlightAltered_rangemin(text, box, keywords, lineHeight, prefix).location;
    if (p == NSNotFound || p == 0 || p >= utf16Length(text)) return std::string(text);
    std::string head = utf16SubstringTo(text, p);
    auto font = UIFont::systemFontOfSize(kNormalTextSize);
    CGSize measure{box.width, 1000.0};
    CGFloat space = box.height - lineHeight;
    if (heightOf(std::string(prefix) + head, font, measure) < space) return std::string(text);

    auto cuts = regex("[^a-zA-Z']");
    std::vector<NSTextCheckingResult> points = cuts ? cuts->matchesInString(head) : std::vector<NSTextCheckingResult>{};
    if (points.empty()) return "... " + utf16SubstringFrom(text, 1);
    std::size_t last = 0;
    for (const NSTextCheckingResult& point : points) {
        last = point.range().location;
        std::string candidate = std::string(prefix) + (last > 0 ? "... " : "") + utf16SubstringFrom(head, last + 1);
        if (heightOf(candidate, font, measure) < space) break;
    }
    return "... " + utf16SubstringFrom(text, last + 1);
}

std::string attrPrinted(const NSAttributedString& text) {
    ValueSet distinct;
    text.enumerateAttributesInRange(NSRange{0, text.length()}, [&](const NSAttributes& attributes, NSRange, bool&) {
        distinct.insert(Value(attributes));
    });
    return Value(distinct).description();
}

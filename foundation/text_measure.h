// Measuring and fitting text: the bounding size of a text in a font, re-wrapping by length,
// truncation to a number of lines, and the search-result excerpt that starts shortly before the
// first keyword. Lengths and ranges count UTF-16 units. Main thread (text layout).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/range.h"

class NSAttributedString;
class UIFont;

// The size of the text laid out in lines within the size, the font its only attribute; not rounded.
CGSize boundingSize(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size);
// The same with word wrapping set in a paragraph style.
CGSize boundingSize_paragraph(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size);
// Every tab, line feed, carriage return and blank becomes one blank (runs are kept).
std::string singleLined(std::string_view text);
// Lines longer than `length` re-wrapped at blanks; every output line ends with a line feed.
std::string newLinedWithLength(std::string_view text, std::int64_t length);
// The text, or its longest beginning followed by "..", that fits into `lineCount` lines.
std::string truncatedByLineCount(std::string_view text, std::uint64_t lineCount, const std::shared_ptr<UIFont>& font,
                                 CGFloat width);

// The three excerpt patterns; "%@" stands for the escaped keyword.
const std::vector<std::string>& highlightPatterns();
// Ranges of the words equal to the keyword without regard to case.
std::vector<NSRange> highlightRanges_match(std::string_view text, std::string_view keyword);
// Group 1 of every match of each excerpt pattern in turn.
std::vector<NSRange> highlightRanges_match_0(std::string_view text, std::string_view keyword);
// Every occurrence, without regard to case.
std::vector<NSRange> highlightRanges_contain(std::string_view text, std::string_view keyword);
// The earliest keyword occurrence by the excerpt patterns; {NSNotFound, 0} without one.
NSRange highlightAltered_rangemin(std::string_view text, CGSize box, const std::vector<std::string>& keywords,
                                  CGFloat lineHeight, std::string_view prefix);
// The text, or "... " and the part of it from shortly before the first keyword, so that the
// keyword shows in a box of the size below `prefix` and one line.
std::string highlightAltered(std::string_view text, CGSize box, const std::vector<std::string>& keywords,
                             CGFloat lineHeight, std::string_view prefix);
// The distinct attribute sets of the text, written out (for debugging).
std::string attrPrinted(const NSAttributedString& text);

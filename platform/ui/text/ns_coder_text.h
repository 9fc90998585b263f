// NSCoder (Text): colours, fonts, paragraph styles, attribute dictionaries and attributed strings
// in keyed archives. Objects become tagged dictionaries ("$class" and their fields) that read back
// into new objects; an attribute value of a kind archives cannot hold is left out.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/storage/ns_coder.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"

// A value with its objects replaced by their archive form (containers copied), and back. Reading
// back turns a damaged object form into null.
Value archivedValue(const Value& value);
Value unarchivedValue(const Value& archived);

void encodeColor(NSCoder& coder, const std::shared_ptr<UIColor>& color, std::string key);
void encodeFont(NSCoder& coder, const std::shared_ptr<UIFont>& font, std::string key);
void encodeParagraphStyle(NSCoder& coder, const std::shared_ptr<NSParagraphStyle>& style, std::string key);
void encodeAttributes(NSCoder& coder, const std::optional<NSAttributes>& attributes, std::string key);
void encodeAttributedString(NSCoder& coder, const std::shared_ptr<NSAttributedString>& text, std::string key);

// None for an absent key or a value of another kind.
std::shared_ptr<UIColor> decodeColorForKey(const NSCoder& coder, std::string_view key);
std::shared_ptr<UIFont> decodeFontForKey(const NSCoder& coder, std::string_view key);
std::shared_ptr<NSParagraphStyle> decodeParagraphStyleForKey(const NSCoder& coder, std::string_view key);
std::optional<NSAttributes> decodeAttributesForKey(const NSCoder& coder, std::string_view key);
std::shared_ptr<NSAttributedString> decodeAttributedStringForKey(const NSCoder& coder, std::string_view key);

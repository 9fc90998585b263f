// Text objects in archives.
#include "platform/ui/text/ns_coder_text.h"

#include <cmath>

#include "platform/net/url.h"
#include "platform/runtime/utf16.h"

namespace {

constexpr const char* kClass = "$class";

bool finite(const Value& v) {
    return v.isNumber() && std::isfinite(v.doubleValue());
}

Value colorForm(const UIColor& color) {
    CGColor c = color.cgColor();
    if (c.isPattern()) return Value();
    Value components = Value::array();
    for (CGFloat component : c.components()) components.append(Value(component));
    return Value::dictionary({{kClass, "UIColor"}, {"UIColorComponents", components}});
}

std::shared_ptr<UIColor> colorFrom(const Value& v) {
    const Value& c = v["UIColorComponents"];
    if (!c.isArray()) return nullptr;
    for (std::size_t i = 0; i < c.count(); ++i)
        if (!finite(c[i])) return nullptr;
    auto at = [&](std::size_t i) { return c[i].doubleValue(); };
    if (c.count() == 2) return UIColor::colorWithWhite(at(0), at(1));
    if (c.count() == 4) return UIColor::colorWithRed(at(0), at(1), at(2), at(3));
    return nullptr;
}

Value styleForm(const NSParagraphStyle& s) {
    return Value::dictionary({{kClass, "NSParagraphStyle"},
                              {"alignment", static_cast<long long>(s.alignment)},
                              {"lineBreakMode", static_cast<long long>(s.lineBreakMode)},
                              {"lineSpacing", s.lineSpacing},
                              {"firstLineHeadIndent", s.firstLineHeadIndent},
                              {"minimumLineHeight", s.minimumLineHeight},
                              {"maximumLineHeight", s.maximumLineHeight},
                              {"lineHeightMultiple", s.lineHeightMultiple}});
}

std::shared_ptr<NSParagraphStyle> styleFrom(const Value& v) {
    auto s = NSParagraphStyle::make();
    auto number = [&](const char* key, CGFloat fallback) { return finite(v[key]) ? v[key].doubleValue() : fallback; };
    std::int64_t alignment = v["alignment"].integerValue(), mode = v["lineBreakMode"].integerValue();
    if (alignment >= 0 && alignment <= 4) s->alignment = static_cast<NSTextAlignment>(alignment);
    if (mode >= 0 && mode <= 5) s->lineBreakMode = static_cast<NSLineBreakMode>(mode);
    s->lineSpacing = number("lineSpacing", 0);
    s->firstLineHeadIndent = number("firstLineHeadIndent", 0);
    s->minimumLineHeight = number("minimumLineHeight", 0);
    s->maximumLineHeight = number("maximumLineHeight", 0);
    s->lineHeightMultiple = number("lineHeightMultiple", 0);
    return s;
}

Value stringForm(const NSAttributedString& text) {
    Value runs = Value::array();
    for (const auto& run : text.runs())
        runs.append(Value::dictionary({{"location", static_cast<unsigned long long>(run.range.location)},
                                       {"length", static_cast<unsigned long long>(run.range.length)},
                                       {"attributes", archivedValue(Value(run.attributes))}}));
    return Value::dictionary({{kClass, "NSAttributedString"}, {"NSString", text.string()}, {"NSRuns", runs}});
}

std::shared_ptr<NSAttributedString> stringFrom(const Value& v) {
    const std::string* string = v["NSString"].string();
    if (!string) return nullptr;
    auto text = NSMutableAttributedString::make(sanitizedUtf8(*string));
    const Value& runs = v["NSRuns"];
    for (std::size_t i = 0; i < runs.count(); ++i) {
        const Value& run = runs[i];
        Value attributes = unarchivedValue(run["attributes"]);
        if (!run["location"].isInteger() || !run["length"].isInteger() || !attributes.isDictionary()) continue;
        // Ranges are clamped to the text by the string itself.
        text->setAttributes(*attributes.dictionaryPtr(),
                            {run["location"].unsignedIntegerValue(), run["length"].unsignedIntegerValue()});
    }
    return text;
}

}  // namespace

Value archivedValue(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Array: {
            Value out = Value::array();
            for (std::size_t i = 0; i < value.count(); ++i)
                if (Value item = archivedValue(value[i]); !item.isNull()) out.append(item);
            return out;
        }
        case Value::Kind::Dictionary: {
            Value out = Value::dictionary();
            for (const auto& [key, item] : *value.dictionaryPtr()) out.set(key, archivedValue(item));
            return out;
        }
        case Value::Kind::Object: {
            auto object = value.object();
            if (auto color = std::dynamic_pointer_cast<UIColor>(object)) return colorForm(*color);
            if (auto font = std::dynamic_pointer_cast<UIFont>(object))
                return Value::dictionary(
                    {{kClass, "UIFont"}, {"UIFontName", font->fontName()}, {"UIFontPointSize", font->pointSize()}});
            if (auto style = std::dynamic_pointer_cast<NSParagraphStyle>(object)) return styleForm(*style);
            if (auto url = std::dynamic_pointer_cast<NSURL>(object))
                return Value::dictionary({{kClass, "NSURL"}, {"NSRelative", url->absoluteString()}});
            if (auto text = std::dynamic_pointer_cast<NSAttributedString>(object)) return stringForm(*text);
            return Value();
        }
        default: return value;
    }
}

Value unarchivedValue(const Value& archived) {
    if (archived.isArray()) {
        Value out = Value::array();
        for (std::size_t i = 0; i < archived.count(); ++i)
            if (Value item = unarchivedValue(archived[i]); !item.isNull()) out.append(item);
        return out;
    }
    if (!archived.isDictionary()) return archived;
    const std::string* kind = archived[kClass].string();
    if (!kind) {
        Value out = Value::dictionary();
        for (const auto& [key, item] : *archived.dictionaryPtr()) out.set(key, unarchivedValue(item));
        return out;
    }
    if (*kind == "UIColor") return Value(colorFrom(archived));
    if (*kind == "UIFont") {
        const std::string* name = archived["UIFontName"].string();
        return name && finite(archived["UIFontPointSize"])
                   ? Value(UIFont::fontWithName(*name, archived["UIFontPointSize"].doubleValue()))
                   : Value();
    }
    if (*kind == "NSParagraphStyle") return Value(styleFrom(archived));
    if (*kind == "NSURL") {
        const std::string* text = archived["NSRelative"].string();
        return text ? Value(NSURL::URLWithString(*text)) : Value();
    }
    if (*kind == "NSAttributedString") return Value(stringFrom(archived));
    return Value();
}

void encodeColor(NSCoder& coder, const std::shared_ptr<UIColor>& color, std::string key) {
    coder.encodeObject(color ? archivedValue(Value(color)) : Value(), std::move(key));
}
void encodeFont(NSCoder& coder, const std::shared_ptr<UIFont>& font, std::string key) {
    coder.encodeObject(font ? archivedValue(Value(font)) : Value(), std::move(key));
}
void encodeParagraphStyle(NSCoder& coder, const std::shared_ptr<NSParagraphStyle>& style, std::string key) {
    coder.encodeObject(style ? archivedValue(Value(style)) : Value(), std::move(key));
}
void encodeAttributes(NSCoder& coder, const std::optional<NSAttributes>& attributes, std::string key) {
    coder.encodeObject(attributes ? archivedValue(Value(*attributes)) : Value(), std::move(key));
}
void encodeAttributedString(NSCoder& coder, const std::shared_ptr<NSAttributedString>& text, std::string key) {
    coder.encodeObject(text ? archivedValue(Value(text)) : Value(), std::move(key));
}

std::shared_ptr<UIColor> decodeColorForKey(const NSCoder& coder, std::string_view key) {
    return unarchivedValue(coder.decodeObjectForKey(key)).objectAs<UIColor>();
}
std::shared_ptr<UIFont> decodeFontForKey(const NSCoder& coder, std::string_view key) {
    return unarchivedValue(coder.decodeObjectForKey(key)).objectAs<UIFont>();
}
std::shared_ptr<NSParagraphStyle> decodeParagraphStyleForKey(const NSCoder& coder, std::string_view key) {
    return unarchivedValue(coder.decodeObjectForKey(key)).objectAs<NSParagraphStyle>();
}
std::optional<NSAttributes> decodeAttributesForKey(const NSCoder& coder, std::string_view key) {
    Value v = coder.decodeObjectForKey(key);
    if (!v.isDictionary() || v[kClass].string()) return std::nullopt;
    return *unarchivedValue(v).dictionaryPtr();
}
std::shared_ptr<NSAttributedString> decodeAttributedStringForKey(const NSCoder& coder, std::string_view key) {
    return unarchivedValue(coder.decodeObjectForKey(key)).objectAs<NSAttributedString>();
}

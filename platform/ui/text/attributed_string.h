// Attributed strings: text (UTF-8, indexed in UTF-16 units as the platform counts) with runs of
// attribute dictionaries.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/range.h"
#include "platform/runtime/value.h"

// Attribute names; their values are the platform's.
inline constexpr const char* NSFontAttributeName = "NSFont";                        // UIFont
inline constexpr const char* NSForegroundColorAttributeName = "NSColor";            // UIColor
inline constexpr const char* NSBackgroundColorAttributeName = "NSBackgroundColor";  // UIColor
inline constexpr const char* NSParagraphStyleAttributeName = "NSParagraphStyle";    // NSParagraphStyle
inline constexpr const char* NSKernAttributeName = "NSKern";                        // number, points
inline constexpr const char* NSUnderlineStyleAttributeName = "NSUnderline";       // number: 1 single, 2 thick, 9 double
inline constexpr const char* NSUnderlineColorAttributeName = "NSUnderlineColor";  // UIColor
inline constexpr const char* NSStrikethroughStyleAttributeName = "NSStrikethrough";
inline constexpr const char* NSStrokeWidthAttributeName = "NSStrokeWidth";        // percent of the font size
inline constexpr const char* NSStrokeColorAttributeName = "NSStrokeColor";        // UIColor
inline constexpr const char* NSShadowAttributeName = "NSShadow";                  // NSShadow
inline constexpr const char* NSLinkAttributeName = "NSLink";                      // URL or string
inline constexpr const char* NSLigatureAttributeName = "NSLigature";              // number: 0 none, 1 default
inline constexpr const char* NSBaselineOffsetAttributeName = "NSBaselineOffset";  // number, points

// Attribute name -> value. Values are copied with the dictionary; containers inside share.
using NSAttributes = ValueDictionary;

bool NSAttributesEqual(const NSAttributes& a, const NSAttributes& b);

// Main-thread objects like the rest of the user interface; an immutable one may be read anywhere.
// Ranges beyond the text are clamped to it (the platform would raise): nothing is lost or read
// out of bounds.
class NSAttributedString : public NSObject {
public:
    struct Run {
        NSRange range;
        NSAttributes attributes;
    };

    static std::shared_ptr<NSAttributedString> make(std::string text = {}, NSAttributes attributes = {});

    const std::string& string() const { return text_; }
    // In UTF-16 units.
    std::size_t length() const { return length_; }

    // The attributes at a unit index (empty past the end), and the run's range.
    NSAttributes attributesAtIndex(std::size_t index, NSRange* effectiveRange = nullptr) const;
    Value attributeAtIndex(std::string_view name, std::size_t index, NSRange* effectiveRange = nullptr) const;
    // Runs in order, merged where neighbours have equal attributes.
    std::vector<Run> runs() const;
    void enumerateAttributesInRange(NSRange range,
                                    const std::function<void(const NSAttributes&, NSRange, bool& stop)>& visit) const;
    // Ranges where the attribute has one value (null where absent), neighbours merged.
    void enumerateAttribute(std::string_view name, NSRange range,
                            const std::function<void(const Value&, NSRange, bool& stop)>& visit) const;

    std::shared_ptr<NSAttributedString> attributedSubstringFromRange(NSRange range) const;
    std::shared_ptr<class NSMutableAttributedString> mutableCopy() const;
    bool isEqualToAttributedString(const NSAttributedString& other) const;

    bool isEqual(const NSObject& other) const override;
    std::string description() const override;
    std::string className() const override { return "NSAttributedString"; }

protected:
    NSAttributedString() = default;

    NSRange clamp(NSRange range) const;
    // Splits runs so that a boundary falls at the unit index; returns the index of the run that starts there.
    std::size_t splitAt(std::size_t index);
    void mergeRuns();

    std::string text_;
    std::size_t length_ = 0;
    struct Span {
        std::size_t length;
        NSAttributes attributes;
    };
    std::vector<Span> spans_;  // lengths sum to length_; no empty spans
};

class NSMutableAttributedString : public NSAttributedString {
public:
    static std::shared_ptr<NSMutableAttributedString> make(std::string text = {}, NSAttributes attributes = {});

    void setAttributes(const NSAttributes& attributes, NSRange range);
    void addAttribute(const std::string& name, Value value, NSRange range);
    void addAttributes(const NSAttributes& attributes, NSRange range);
    void removeAttribute(std::string_view name, NSRange range);

    // The new text takes the attributes of the first replaced unit (or of the unit before the
    // range when it is empty), as the platform does.
    void replaceCharactersInRange(NSRange range, const std::string& text);
    void replaceCharactersInRange(NSRange range, const NSAttributedString& text);
    void insertAttributedString(const NSAttributedString& text, std::size_t index);
    void appendAttributedString(const NSAttributedString& text);
    void deleteCharactersInRange(NSRange range);
    void setAttributedString(const NSAttributedString& text);
    void beginEditing() {}
    void endEditing() {}

    std::string className() const override { return "NSMutableAttributedString"; }

protected:
    NSMutableAttributedString() = default;

private:
    void replace(NSRange range, const std::string& text, std::vector<Span> spans);
};

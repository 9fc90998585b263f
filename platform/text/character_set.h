// NSCharacterSet: an immutable set of Unicode code points, the platform's predefined sets among them.
#pragma once

#include <memory>
#include <string_view>

class NSCharacterSet {
public:
    // Unicode general category Zs and the tab.
    static NSCharacterSet whitespaceCharacterSet();
    // Z*, tab, U+000A to U+000D and U+0085.
    static NSCharacterSet whitespaceAndNewlineCharacterSet();
    // U+000A to U+000D, U+0085, U+2028 and U+2029.
    static NSCharacterSet newlineCharacterSet();
    // Letters, marks and numbers (L*, M*, N*).
    static NSCharacterSet alphanumericCharacterSet();
    // Decimal digits of every script (Nd).
    static NSCharacterSet decimalDigitCharacterSet();
    // Letters and marks (L*, M*).
    static NSCharacterSet letterCharacterSet();
    static NSCharacterSet lowercaseLetterCharacterSet();
    static NSCharacterSet uppercaseLetterCharacterSet();
    // Punctuation (P*).
    static NSCharacterSet punctuationCharacterSet();
    static NSCharacterSet symbolCharacterSet();
    // The characters each URL component may hold unescaped.
    static NSCharacterSet URLQueryAllowedCharacterSet();
    static NSCharacterSet URLFragmentAllowedCharacterSet();
    static NSCharacterSet URLPathAllowedCharacterSet();
    static NSCharacterSet URLHostAllowedCharacterSet();
    static NSCharacterSet URLUserAllowedCharacterSet();
    static NSCharacterSet URLPasswordAllowedCharacterSet();
    // The code points of the (UTF-8) text.
    static NSCharacterSet characterSetWithCharactersInString(std::string_view text);
    // The code points first ... last, both included.
    static NSCharacterSet characterSetWithRange(char32_t first, char32_t last);

    NSCharacterSet();
    NSCharacterSet invertedSet() const;
    NSCharacterSet unionWith(const NSCharacterSet& other) const;

    // A lone surrogate unit is a member only when the set holds that code point itself.
    bool characterIsMember(char16_t unit) const { return longCharacterIsMember(unit); }
    bool longCharacterIsMember(char32_t codePoint) const;

    struct Storage;

private:
    explicit NSCharacterSet(std::shared_ptr<const Storage> storage) : storage_(std::move(storage)) {}
    std::shared_ptr<const Storage> storage_;
};

// Person names: the parts of a name and the formatter's abbreviated (initials) style.
#pragma once

#include <optional>
#include <string>

struct NSPersonNameComponents {
    std::optional<std::string> givenName;
    std::optional<std::string> middleName;
    std::optional<std::string> familyName;
};

enum class NSPersonNameComponentsFormatterStyle { Default, Short, Medium, Long, Abbreviated };

class NSPersonNameComponentsFormatter {
public:
    NSPersonNameComponentsFormatterStyle style() const { return style_; }
    void setStyle(NSPersonNameComponentsFormatterStyle style) { style_ = style; }

    // Abbreviated: the first character of the given name and of the family name (middle names
    // are left out, as initials are); the other styles write the parts joined by blanks.
    std::string stringFromPersonNameComponents(const NSPersonNameComponents& components) const;

private:
    NSPersonNameComponentsFormatterStyle style_ = NSPersonNameComponentsFormatterStyle::Default;
};

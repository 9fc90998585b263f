// UIPasteboard: the one general pasteboard that copy and paste share. What is copied also goes to
// the desktop's clipboard when the host installs one (the window host does). Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

class UIPasteboard : public NSObject {
public:
    static const std::shared_ptr<UIPasteboard>& generalPasteboard();
    // Where copied text goes besides the pasteboard (none: nowhere).
    using SystemClipboard = std::function<void(const std::string& text)>;
    static void setSystemClipboard(SystemClipboard clipboard);

    // None until something is copied.
    const std::optional<std::string>& string() const { return string_; }
    void setString(std::string text);
    bool hasStrings() const { return string_.has_value(); }
    // Empties the pasteboard (tests start from a clean one).
    void clear() { string_.reset(); }

    std::string className() const override { return "UIPasteboard"; }

protected:
    UIPasteboard() = default;

private:
    std::optional<std::string> string_;
};

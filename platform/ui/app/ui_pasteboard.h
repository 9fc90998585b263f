// UIPasteboard: the one general pasteboard that copy and paste share. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

class UIPasteboard : public NSObject {
public:
    static const std::shared_ptr<UIPasteboard>& generalPasteboard();

    // None until something is copied.
    const std::optional<std::string>& string() const { return string_; }
    void setString(std::string text) { string_ = std::move(text); }
    bool hasStrings() const { return string_.has_value(); }
    // Empties the pasteboard (tests start from a clean one).
    void clear() { string_.reset(); }

    std::string className() const override { return "UIPasteboard"; }

protected:
    UIPasteboard() = default;

private:
    std::optional<std::string> string_;
};

// Responses: content type split into MIME type and charset.
#include "platform/net/url_response.h"

#include <strings.h>

#include <cctype>

namespace {

std::string trimmedLower(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    std::string out;
    for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string findContentType(const std::vector<NSHTTPURLResponse::HeaderField>& headers) {
    for (const auto& [name, value] : headers) {
        if (strcasecmp(name.c_str(), "Content-Type") == 0) return value;
    }
    return {};
}

std::int64_t findLength(const std::vector<NSHTTPURLResponse::HeaderField>& headers) {
    for (const auto& [name, value] : headers) {
        if (strcasecmp(name.c_str(), "Content-Length") == 0) {
            try {
                return std::stoll(value);
            } catch (...) {
                return -1;
            }
        }
    }
    return -1;
}

}  // namespace

NSURLResponse::NSURLResponse(std::shared_ptr<NSURL> url, std::string contentType, std::int64_t expectedLength)
    : url_(std::move(url)), expectedLength_(expectedLength) {
    std::string_view type(contentType);
    std::size_t semicolon = type.find(';');
    mime_ = trimmedLower(type.substr(0, semicolon));
    while (semicolon != std::string_view::npos) {
        type.remove_prefix(semicolon + 1);
        semicolon = type.find(';');
        std::string parameter = trimmedLower(type.substr(0, semicolon));
        if (parameter.rfind("charset=", 0) == 0) {
            std::string name = parameter.substr(8);
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
            if (!name.empty()) encoding_ = name;
        }
    }
}

NSHTTPURLResponse::NSHTTPURLResponse(std::shared_ptr<NSURL> url, std::int64_t status, std::vector<HeaderField> headers)
    : NSURLResponse(std::move(url), findContentType(headers), findLength(headers)),
      status_(status),
      headers_(std::move(headers)) {}

std::optional<std::string> NSHTTPURLResponse::valueForHTTPHeaderField(std::string_view field) const {
    for (const auto& [name, value] : headers_) {
        if (name.size() == field.size() && strncasecmp(name.data(), field.data(), field.size()) == 0) return value;
    }
    return std::nullopt;
}

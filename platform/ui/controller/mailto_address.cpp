// Building mailto: addresses.
#include "platform/ui/controller/mailto_address.h"

#include <string_view>
#include <vector>

#include "platform/ui/controller/mf_mail_compose_view_controller.h"

namespace {

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Bytes outside the unreserved set (and `keep`) as %XX.
std::string encoded(std::string_view text, std::string_view keep = {}) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (unreserved(c) || keep.find(ch) != std::string_view::npos) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// Every line break (CR LF, a lone CR or a lone LF) as `lineBreak`.
std::string withLineBreaks(std::string_view text, std::string_view lineBreak) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += lineBreak;
        } else if (text[i] == '\n') {
            out += lineBreak;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string addresses(const std::vector<std::string>& list) {
    std::string out;
    for (const auto& a : list) {
        if (a.empty()) continue;
        if (!out.empty()) out += ',';
        out += encoded(a, "@");
    }
    return out;
}

}  // namespace

std::string mailtoAddress(const MailMessage& message) {
    std::string out = "mailto:" + addresses(message.to);
    std::vector<std::string> fields;
    if (auto cc = addresses(message.cc); !cc.empty()) fields.push_back("cc=" + cc);
    if (auto bcc = addresses(message.bcc); !bcc.empty()) fields.push_back("bcc=" + bcc);
    if (!message.subject.empty()) fields.push_back("subject=" + encoded(withLineBreaks(message.subject, " ")));
    // Every line break as CR LF, which the encoder writes as %0D%0A.
    if (!message.body.empty()) fields.push_back("body=" + encoded(withLineBreaks(message.body, "\r\n")));
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i == 0 ? "?" : "&") + fields[i];
    return out;
}

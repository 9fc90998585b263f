// Building mailto: addresses.
#include "platform/ui/controller/mailto_address.h"

#include <string_view>
#include <vector>

#include "platform/runtime/log.h"
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

std::string addresses(const std::vector<std::string>& list) {
    std::string out;
    for (const auto& a : list) {
        if (a.empty()) continue;
        if (!out.empty()) out += ',';
        out += encoded(a, "@");
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX as the byte it names; a "%" not followed by two hex digits stays as it is.
std::string decoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// How much of a refused recipient the log line repeats.
constexpr std::size_t kLoggedRecipientLimit = 120;

// A refused recipient as the log shows it: control bytes escaped, so that it cannot break the
// line, and cut short.
std::string printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text.substr(0, kLoggedRecipientLimit)) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    if (text.size() > kLoggedRecipientLimit) out += "...";
    return out;
}

// A comma-separated list of addresses, each decoded; those that are not plain are left out.
void addAddresses(std::string_view field, std::string_view list, std::vector<std::string>& into) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) comma = list.size();
        std::string address = decoded(list.substr(start, comma - start));
        start = comma + 1;
        if (address.empty()) continue;
        if (!isPlainMailAddress(address)) {
            Log::warning("mail", "left out the " + std::string(field) + " recipient \"" + printable(address) +
                                     "\": not a plain mail address");
            continue;
        }
        into.push_back(std::move(address));
    }
}

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool isPlainMailAddress(std::string_view address) {
    if (address.empty()) return false;
    for (char ch : address) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return false;
        // Quotes, separators and escapes of the forms in which mail programs are started, and a
        // "%" that a second decoding further on could turn into any of them.
        if (std::string_view("'\",;?&%\\<> ").find(ch) != std::string_view::npos) return false;
    }
    return true;
}

std::optional<MailMessage> mailMessageFromAddress(std::string_view address) {
    constexpr std::string_view kScheme = "mailto:";
    if (address.size() < kScheme.size() || lowered(std::string(address.substr(0, kScheme.size()))) != kScheme)
        return std::nullopt;
    address.remove_prefix(kScheme.size());
    // A fragment is no part of a mail address.
    address = address.substr(0, address.find('#'));
    MailMessage message;
    std::size_t question = address.find('?');
    addAddresses("to", address.substr(0, question), message.to);
    if (question == std::string_view::npos) return message;
    std::string_view fields = address.substr(question + 1);
    std::size_t start = 0;
    while (start <= fields.size()) {
        std::size_t amp = fields.find('&', start);
        if (amp == std::string_view::npos) amp = fields.size();
        std::string_view field = fields.substr(start, amp - start);
        start = amp + 1;
        std::size_t equals = field.find('=');
        if (equals == std::string_view::npos) continue;
        std::string name = lowered(decoded(field.substr(0, equals)));
        std::string_view value = field.substr(equals + 1);
        if (name == "to")
            addAddresses("to", value, message.to);
        else if (name == "cc")
            addAddresses("cc", value, message.cc);
        else if (name == "bcc")
            addAddresses("bcc", value, message.bcc);
        else if (name == "subject")
            message.subject = decoded(value);
        else if (name == "body")
            message.body = decoded(value);
    }
    return message;
}

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

// Drafts as message files.
#include "platform/ui/controller/mail_draft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/storage/base64.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/new_file.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/controller/mailto_address.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

namespace {

constexpr const char* kDraftsFolder = "Drafts";
// Seconds from 1970-01-01 to 2001-01-01, where absolute time counts from.
constexpr double kUnixToAbsolute = 978307200;
// The longest line a message may have, without its CR LF.
constexpr std::size_t kLongestLine = 998;
// A subject up to this long, in printable ASCII, goes as it is; longer ones are encoded words.
constexpr std::size_t kLongestPlainSubject = 900;
// Bytes of text per encoded word: 60 base64 characters, which keeps the word within 75.
constexpr std::size_t kEncodedWordBytes = 45;
// Base64 lines of a part.
constexpr std::size_t kBase64LineLength = 76;

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

std::string base64(std::string_view text) {
    return storage_detail::base64Encode(Bytes(text.begin(), text.end()));
}

// Base64 in lines of kBase64LineLength, each ending in CR LF.
std::string base64Lines(const Bytes& data) {
    std::string encoded = storage_detail::base64Encode(data);
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); i += kBase64LineLength)
        out += encoded.substr(i, kBase64LineLength) + "\r\n";
    return out;
}

// Every line break (CR LF, a lone CR or a lone LF) as CR LF, and a CR LF at the end.
std::string withCRLF(std::string_view text) {
    std::string out = withLineBreaks(text, "\r\n");
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

// Unstructured header text (the subject): one line, as it is when it is short printable ASCII,
// else as UTF-8 encoded words, folded between words and never cut inside a character.
std::string headerText(std::string_view text) {
    std::string line;
    for (char ch : text) line += isControl(static_cast<unsigned char>(ch)) ? ' ' : ch;
    bool plain = line.size() <= kLongestPlainSubject && line.find("=?") == std::string::npos;
    for (char ch : line) plain = plain && static_cast<unsigned char>(ch) < 0x80;
    if (plain) return line;
    std::string out;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = std::min(start + kEncodedWordBytes, line.size());
        while (end > start + 1 && end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + base64(std::string_view(line).substr(start, end - start)) + "?=";
        start = end;
    }
    return out;
}

// Addresses separated by commas, one to a line; bytes that could end the header are dropped.
std::string addressList(const std::vector<std::string>& addresses) {
    std::string out;
    for (const auto& address : addresses) {
        std::string clean;
        for (char ch : address)
            if (!isControl(static_cast<unsigned char>(ch))) clean += ch;
        if (clean.empty()) continue;
        if (!out.empty()) out += ",\r\n ";
        out += clean;
    }
    return out;
}

// A MIME type of the form "type/subtype" in token characters, else the type of any bytes.
std::string mimeType(std::string_view type) {
    constexpr std::string_view kToken = "!#$&^_.+-";
    std::size_t slashes = 0;
    for (char ch : type) {
        bool letterOrDigit = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
        if (ch == '/') ++slashes;
        if (!letterOrDigit && ch != '/' && kToken.find(ch) == std::string_view::npos) return "application/octet-stream";
    }
    bool shaped = slashes == 1 && type.front() != '/' && type.back() != '/';
    return shaped ? std::string(type) : "application/octet-stream";
}

// A file name that fits between quotes: printable ASCII, with anything else as "_".
std::string quotedFileName(std::string_view name) {
    std::string out;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        out += (c < 0x20 || c >= 0x7F || ch == '"' || ch == '\\') ? '_' : ch;
    }
    return "\"" + (out.empty() ? std::string("attachment") : out) + "\"";
}

std::tm utc(double absoluteTime) {
    std::time_t seconds = static_cast<std::time_t>(std::floor(absoluteTime + kUnixToAbsolute));
    std::tm parts{};
    ::gmtime_r(&seconds, &parts);
    return parts;
}

// "Thu, 01 Jan 2026 00:00:00 +0000": English names whatever the locale.
std::string messageDate(double absoluteTime) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t = utc(absoluteTime);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[t.tm_wday], t.tm_mday,
                  kMonths[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

// The body's headers and text: as it is (with CR LF) when every line fits, else base64.
std::string bodyPart(const MailMessage& message) {
    std::string text = withCRLF(message.body);
    bool fits = text.find('\0') == std::string::npos;
    bool ascii = true;
    std::size_t lineStart = 0;
    for (std::size_t at; fits && (at = text.find("\r\n", lineStart)) != std::string::npos; lineStart = at + 2)
        fits = at - lineStart <= kLongestLine;
    for (char ch : text) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    std::string out =
        std::string("Content-Type: ") + (message.bodyIsHTML ? "text/html" : "text/plain") + "; charset=UTF-8\r\n";
    if (fits) return out + "Content-Transfer-Encoding: " + (ascii ? "7bit" : "8bit") + "\r\n\r\n" + text;
    return out + "Content-Transfer-Encoding: base64\r\n\r\n" + base64Lines(Bytes(text.begin(), text.end()));
}

std::string fileStamp(double absoluteTime) {
    std::tm t = utc(absoluteTime);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return text;
}

}  // namespace

std::string mailDraftText(const MailMessage& message, double absoluteTime) {
    std::string out = "Date: " + messageDate(absoluteTime) + "\r\n";
    auto field = [&](const char* name, const std::string& value) {
        if (!value.empty()) out += std::string(name) + ": " + value + "\r\n";
    };
    field("To", addressList(message.to));
    field("Cc", addressList(message.cc));
    field("Bcc", addressList(message.bcc));
    field("Subject", headerText(message.subject));
    // Marks the message as one still to be sent, which mail programs open for editing.
    out += "X-Unsent: 1\r\nMIME-Version: 1.0\r\n";
    std::string body = bodyPart(message);
    if (message.attachments.empty()) return out + body;

    // A boundary that no line of the text holds (base64 lines hold no "-").
    std::string boundary = "korva-draft";
    for (int n = 1; body.find(boundary) != std::string::npos; ++n) boundary = "korva-draft-" + std::to_string(n);
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    // The line break before a boundary belongs to the boundary, not to the part it ends.
    out += "--" + boundary + "\r\n" + body;
    for (const auto& attachment : message.attachments) {
        std::string name = quotedFileName(attachment.fileName);
        out += "\r\n--" + boundary + "\r\nContent-Type: " + mimeType(attachment.mimeType) + "; name=" + name +
               "\r\nContent-Disposition: attachment; filename=" + name +
               "\r\nContent-Transfer-Encoding: base64\r\n\r\n" + base64Lines(attachment.data);
    }
    return out + "\r\n--" + boundary + "--\r\n";
}

std::string mailDraftsDirectory() {
    return pathByAppendingComponent(Sandbox::documentsDirectory(), kDraftsFolder);
}

Result<std::string> saveMailDraft(const MailMessage& message) {
    const double now = Clock::absoluteTime();
    const std::string folder = mailDraftsDirectory();
    // The folder and the file by their own names: the data folder's place is no news to the user.
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made)
        return fail(std::string("the draft could not be kept: cannot create the folder ") + kDraftsFolder + ": " +
                    made.message());
    // Drafts saved in the same second, here or by another program on the data folder, take the
    // next free name: the file goes in place only where its name is free.
    const std::string stem = "draft-" + fileStamp(now);
    auto name = [&](int attempt) {
        return attempt ? stem + "-" + std::to_string(attempt + 1) + ".eml" : stem + ".eml";
    };
    auto written = writeNewFileAtomically(folder, name, mailDraftText(message, now), WriteFailureText::ReasonOnly);
    if (!written) return fail("the draft could not be kept: cannot write " + name(0) + ": " + written.error());
    return pathByAppendingComponent(folder, *written);
}

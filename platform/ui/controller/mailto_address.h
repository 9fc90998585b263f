// The mailto: address of a message (RFC 6068), the form in which a message travels to the
// desktop's mail program: recipients before the "?", then cc, bcc, subject and body as fields,
// every byte outside the unreserved characters percent-encoded as UTF-8. Line breaks in the body
// become %0D%0A; a subject is one line, so its line breaks become spaces. Attachments cannot
// travel in such an address and are left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct MailMessage;

std::string mailtoAddress(const MailMessage& message);
// Every line break of the text (CR LF, a lone CR or a lone LF) as `lineBreak`.
std::string withLineBreaks(std::string_view text, std::string_view lineBreak);
// Whether a decoded recipient is a plain mail address: not empty, and free of control
// characters, spaces and the characters that quote, separate or escape fields where mail
// programs are started ("'", '"', ",", ";", "?", "&", "%", "\\", "<", ">"). A mail program that
// takes its fields as "to='...',attachment='...'" would otherwise read a recipient holding them
// as fields of its own.
bool isPlainMailAddress(std::string_view address);
// The fields of a mailto: address a message has (recipients, "to", "cc", "bcc", "subject" and
// "body"), percent-decoded; every other field (attachments, headers of the sender's choosing) is
// dropped, and so is every recipient that is not a plain address (with a line in the log). None
// when the text is not a mailto: address.
std::optional<MailMessage> mailMessageFromAddress(std::string_view address);

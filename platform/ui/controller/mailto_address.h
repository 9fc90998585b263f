// The mailto: address of a message (RFC 6068), the form in which a message travels to the
// desktop's mail program: recipients before the "?", then cc, bcc, subject and body as fields,
// every byte outside the unreserved characters percent-encoded as UTF-8. Line breaks in the body
// become %0D%0A; a subject is one line, so its line breaks become spaces. Attachments cannot
// travel in such an address and are left out.
#pragma once

#include <string>

struct MailMessage;

std::string mailtoAddress(const MailMessage& message);

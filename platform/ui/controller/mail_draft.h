// Drafts the mail composer keeps. A saved draft is a message file (RFC 5322 with MIME, ".eml")
// in the data folder's Documents/Drafts, which the user's own mail program opens to finish and
// send it: Date, To, Cc, Bcc and Subject headers, the body as UTF-8 text (plain or HTML), and the
// attachments as base64 parts of a multipart/mixed message. Every file gets a name of its own,
// so a draft never replaces an earlier one, nor one another program saved in the same moment, and
// is written atomically. Thread-safe.
#pragma once

#include <string>

#include "platform/runtime/result.h"

struct MailMessage;

// The message as the text of a message file, dated at `absoluteTime` (seconds since
// 2001-01-01 00:00:00 UTC). Line breaks are CR LF; headers are folded between addresses and
// encoded words, a body with lines too long for a message file goes as base64, and nothing the
// message holds can start a header of its own.
std::string mailDraftText(const MailMessage& message, double absoluteTime);

// The folder drafts are kept in (made when a draft is saved).
std::string mailDraftsDirectory();

// Writes the message as a new draft file dated now; its path, or why it could not be kept (the
// folder cannot be made, the file cannot be written), naming the folder or file by its own name.
Result<std::string> saveMailDraft(const MailMessage& message);

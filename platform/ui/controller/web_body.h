// How the web view stand-in reads a reply's body: text decoded by the reply's charset or the
// page's own <meta> charset (ill-formed bytes replaced), HTML read as a page, other text shown as
// it is, and anything that is not text replaced by a one-line notice of its type.
#pragma once

#include <optional>
#include <string>

#include "platform/runtime/value.h"
#include "platform/ui/controller/html_text.h"

// Whether a body of this MIME type (empty when the reply named none) is text the view can show.
bool isShowableText(const std::string& mime, const Bytes& body);
// The body decoded as UTF-8 text.
std::string decodeBody(const Bytes& body, const std::optional<std::string>& charset, bool html);
HTMLPage readPageBody(const Bytes& body, const std::string& mime, const std::optional<std::string>& charset,
                      const std::string& url);

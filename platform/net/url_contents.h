// Reading a URL's contents in one call: its bytes, or its text with the encoding detected.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net/url.h"
#include "platform/net/url_request.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

enum class NSStringEncoding { UTF8, ISOLatin1, WindowsCP1252, UTF16LittleEndian, UTF16BigEndian };

// The body of a successful exchange (any status), read afresh without a cache; a body longer than
// `maximumLength` fails.
Result<Bytes> dataWithContentsOfURL(const std::shared_ptr<NSURL>& url,
                                    std::size_t maximumLength = NSURLRequest::kPageBodyLimit);

// The body as UTF-8 text. The encoding is the reply's charset when it names one this platform
// reads, else a byte-order mark's, else UTF-8 when the bytes are valid UTF-8, else Windows-1252.
// Fails for a failed exchange, an HTTP error status, or bytes invalid in the named charset.
Result<std::string> stringWithContentsOfURL(const std::shared_ptr<NSURL>& url,
                                            NSStringEncoding* usedEncoding = nullptr);

// The encoding a charset label names ("utf-8", "ISO-8859-1", "windows-1252", ...; case ignored);
// none for a label this platform does not read.
std::optional<NSStringEncoding> NSStringEncodingNamed(std::string_view label);

// Bytes in the encoding as UTF-8 text; none when they are not valid in it.
std::optional<std::string> decodeText(const Bytes& bytes, NSStringEncoding encoding);

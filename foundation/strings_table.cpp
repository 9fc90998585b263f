// Reading string tables in the text form or as property lists.
#include "foundation/strings_table.h"

#include <cctype>

#include "platform/runtime/utf16.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/property_list.h"

namespace {

// The text in UTF-8, whatever byte-order mark the file starts with.
std::optional<std::string> decodeText(const Bytes& data) {
    if (data.size() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        const bool little = data[0] == 0xFF;
        std::u16string units;
        for (std::size_t i = 2; i + 1 < data.size(); i += 2)
            units.push_back(
                static_cast<char16_t>(little ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1]));
        return fromUtf16(units);
    }
    std::size_t start = data.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    std::string text(data.begin() + static_cast<long>(start), data.end());
    if (!isValidUtf8(text)) return std::nullopt;
    return text;
}

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    Result<Value> parse() {
        Value table = Value::dictionary();
        while (true) {
            skipSpace();
            if (at_ >= text_.size()) return table;
            auto key = token();
            if (!key) return fail(error_);
            skipSpace();
            if (peek() == ';') {  // "key"; stands for "key" = "key";
                ++at_;
                table.set(*key, Value(*key));
                continue;
            }
            if (peek() != '=') return fail("expected '=' after a key");
            ++at_;
            skipSpace();
            auto value = token();
            if (!value) return fail(error_);
            skipSpace();
            if (peek() != ';') return fail("expected ';' after a value");
            ++at_;
            table.set(*key, Value(*value));
        }
    }

private:
    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void skipSpace() {
        while (at_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
                ++at_;
            } else if (text_.compare(at_, 2, "//") == 0) {
                auto end = text_.find('\n', at_);
                at_ = end == std::string::npos ? text_.size() : end + 1;
            } else if (text_.compare(at_, 2, "/*") == 0) {
                auto end = text_.find("*/", at_ + 2);
                at_ = end == std::string::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    std::optional<std::string> token() {
        if (peek() == '"') return quoted();
        std::string word;
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '-' && c != '$' &&
                c != ':' && c != '/')
                break;
            word.push_back(c);
            ++at_;
        }
        if (word.empty()) {
            error_ = "expected a string";
            return std::nullopt;
        }
        return word;
    }

    std::optional<std::string> quoted() {
        ++at_;
        std::string out;
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '"') return out;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) break;
            char e = text_[at_++];
            switch (e) {
                case 'n': out.push_back('\n'); break;
                case 't': out.push_back('\t'); break;
                case 'r': out.push_back('\r'); break;
                case 'U':
                case 'u': {
                    auto unit = hexUnit();
                    if (!unit) return std::nullopt;
                    // A surrogate pair is written as two escapes in a row.
                    if (*unit >= 0xD800 && *unit < 0xDC00 && at_ + 1 < text_.size() && text_[at_] == '\\' &&
                        (text_[at_ + 1] == 'U' || text_[at_ + 1] == 'u')) {
                        std::size_t mark = at_;
                        at_ += 2;
                        auto low = hexUnit();
                        if (low && *low >= 0xDC00 && *low < 0xE000) {
                            out += utf8FromCodePoint(0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00));
                            break;
                        }
                        at_ = mark;
                    }
                    out += utf8FromUnit(static_cast<char16_t>(*unit));
                    break;
                }
                default: out.push_back(e); break;
            }
        }
        error_ = "unterminated string";
        return std::nullopt;
    }

    std::optional<char32_t> hexUnit() {
        if (at_ + 4 > text_.size()) {
            error_ = "short unicode escape";
            return std::nullopt;
        }
        char32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned char h = static_cast<unsigned char>(text_[at_++]);
            if (!std::isxdigit(h)) {
                error_ = "bad unicode escape";
                return std::nullopt;
            }
            code = code * 16 + static_cast<char32_t>(std::isdigit(h) ? h - '0' : std::tolower(h) - 'a' + 10);
        }
        return code;
    }

    const std::string& text_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

Result<Value> parseStringsTable(const Bytes& data) {
    if (auto plist = NSPropertyListSerialization::propertyListWithData(data); plist && plist->isDictionary())
        return std::move(plist).value();
    auto text = decodeText(data);
    if (!text) return fail("string table is not text");
    return Parser(*text).parse();
}

Result<Value> readStringsTable(const std::string& path) {
    auto data = readFileData(path);
    if (!data) return fail(data.error());
    return parseStringsTable(*data);
}

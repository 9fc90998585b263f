// The printf-style formatter: parses each directive itself and renders numbers through a
// directive it rebuilt, so that no text from the format ever reaches the C library unchecked.
#include "platform/runtime/format.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/runtime/utf16.h"

namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, LongDouble };

struct Directive {
    std::string flags;  // subset of "-+ #0"
    std::optional<int> width;
    std::optional<int> precision;
    Length length = Length::None;
    char conversion = 0;
};

class Arguments {
public:
    Arguments(const Value* args, std::size_t count) : args_(args), count_(count) {}
    // The next sequential argument, or the n-th (1-based) for a positional directive.
    const Value* take(std::optional<std::size_t> position) {
        std::size_t index = position ? *position - 1 : next_++;
        if (position && *position == 0) return nullptr;
        return index < count_ ? &args_[index] : nullptr;
    }

private:
    const Value* args_;
    std::size_t count_;
    std::size_t next_ = 0;
};

int clampWidth(std::int64_t v) {
    return static_cast<int>(std::min<std::int64_t>(v, kFormatMaxWidth));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number, saturating; returns none when there are no digits.
std::optional<std::int64_t> readNumber(std::string_view f, std::size_t& i) {
    if (i >= f.size() || !isDigit(f[i])) return std::nullopt;
    std::int64_t n = 0;
    while (i < f.size() && isDigit(f[i])) {
        if (n < 1'000'000'000) n = n * 10 + (f[i] - '0');
        ++i;
    }
    return n;
}

// "n$" after a number: a position. Leaves i unchanged when there is none.
std::optional<std::size_t> readPosition(std::string_view f, std::size_t& i) {
    std::size_t j = i;
    auto n = readNumber(f, j);
    if (n && j < f.size() && f[j] == '$') {
        i = j + 1;
        return static_cast<std::size_t>(*n);
    }
    return std::nullopt;
}

// A width or precision given as "*" or "*n$": read from the arguments; a missing or
// non-numeric argument counts as absent.
std::optional<std::int64_t> starArgument(std::string_view f, std::size_t& i, Arguments& args) {
    ++i;  // '*'
    auto position = readPosition(f, i);
    const Value* v = args.take(position);
    if (!v || !v->isNumber()) return std::nullopt;
    return v->integerValue();
}

std::string printfText(const char* cFormat, ...) {
    va_list ap;
    va_start(ap, cFormat);
    va_list copy;
    va_copy(copy, ap);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, cFormat, ap);
    va_end(ap);
    std::string out;
    if (n < 0) {
        va_end(copy);
        return out;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), cFormat, copy);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(copy);
    return out;
}

// The directive rebuilt from parsed parts, without flags that C leaves undefined for the conversion.
std::string cDirective(const Directive& d, const char* lengthModifier, char conversion) {
    std::string cFormat = "%";
    for (char flag : d.flags) {
        if (flag == '#' && conversion == 'd') continue;
        if ((flag == '+' || flag == ' ') &&
            (conversion == 'u' || conversion == 'o' || conversion == 'x' || conversion == 'X'))
            continue;
        cFormat += flag;
    }
    if (d.width) cFormat += std::to_string(*d.width);
    if (d.precision) {
        cFormat += '.';
        cFormat += std::to_string(*d.precision);
    }
    cFormat += lengthModifier;
    cFormat += conversion;
    return cFormat;
}

// Pads text to the width in characters (code points), on the left unless the '-' flag is set.
std::string pad(std::string text, const Directive& d) {
    if (!d.width) return text;
    std::size_t characters = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    if (characters >= static_cast<std::size_t>(*d.width)) return text;
    std::string fill(static_cast<std::size_t>(*d.width) - characters, ' ');
    return d.flags.find('-') != std::string::npos ? text + fill : fill + text;
}

// Integer bits of a numeric value, as the C argument of that length would carry them.
std::uint64_t integerBits(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::UInt: return v.unsignedIntegerValue();
        case Value::Kind::Float:
        case Value::Kind::Double:
            if (v.doubleValue() >= 0) return v.unsignedIntegerValue();
            return static_cast<std::uint64_t>(v.integerValue());
        default: return static_cast<std::uint64_t>(v.integerValue());
    }
}

std::string formatSigned(const Directive& d, const Value& v) {
    std::uint64_t bits = integerBits(v);
    long long n;
    switch (d.length) {
        case Length::Char: n = static_cast<std::int8_t>(bits); break;
        case Length::Short: n = static_cast<std::int16_t>(bits); break;
        case Length::None: n = static_cast<std::int32_t>(bits); break;
        default: n = static_cast<std::int64_t>(bits); break;
    }
    return printfText(cDirective(d, "ll", 'd').c_str(), n);
}

std::string formatUnsigned(const Directive& d, const Value& v, char conversion) {
    std::uint64_t bits = integerBits(v);
    unsigned long long n;
    switch (d.length) {
        case Length::Char: n = static_cast<std::uint8_t>(bits); break;
        case Length::Short: n = static_cast<std::uint16_t>(bits); break;
        case Length::None: n = static_cast<std::uint32_t>(bits); break;
        default: n = bits; break;
    }
    return printfText(cDirective(d, "ll", conversion).c_str(), n);
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string truncateUtf8(std::string s, std::size_t bytes) {
    if (s.size() <= bytes) return s;
    while (bytes > 0 && (static_cast<unsigned char>(s[bytes]) & 0xC0) == 0x80) --bytes;
    s.resize(bytes);
    return s;
}

std::string render(const Directive& d, const Value* v) {
    if (!v) return {};
    switch (d.conversion) {
        case '@': return pad(v->description(), d);
        case 'd':
        case 'i': return v->isNumber() ? formatSigned(d, *v) : std::string();
        case 'u':
        case 'o':
        case 'x':
        case 'X': return v->isNumber() ? formatUnsigned(d, *v, d.conversion) : std::string();
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return v->isNumber() ? printfText(cDirective(d, "", d.conversion).c_str(), v->doubleValue())
                                 : std::string();
        case 'c': {
            if (!v->isNumber()) return {};
            auto byte = static_cast<unsigned char>(integerBits(*v));
            return byte ? pad(utf8FromCodePoint(byte), d) : std::string();
        }
        case 'C': {
            if (!v->isNumber()) return {};
            auto unit = static_cast<char16_t>(integerBits(*v));
            return unit ? pad(utf8FromUnit(unit), d) : std::string();
        }
        case 's':
        case 'S': {
            if (!v->isString()) return {};
            std::string text = sanitizedUtf8(*v->string());
            if (d.precision) text = truncateUtf8(std::move(text), static_cast<std::size_t>(*d.precision));
            return pad(std::move(text), d);
        }
        case 'p': {
            auto address = reinterpret_cast<std::uintptr_t>(v->identity());
            if (!address && v->isInteger()) address = static_cast<std::uintptr_t>(integerBits(*v));
            Directive hex = d;
            hex.flags += '#';
            return printfText(cDirective(hex, "ll", 'x').c_str(), static_cast<unsigned long long>(address));
        }
        default: return {};
    }
}

bool isConversion(char c) {
    switch (c) {
        case '@':
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
        case 'c':
        case 'C':
        case 's':
        case 'S':
        case 'p':
        case 'D':
        case 'U':
        case 'O':
        case 'n': return true;
        default: return false;
    }
}

}  // namespace

std::string formatString(std::string_view f, const Value* args, std::size_t count) {
    std::string out;
    out.reserve(f.size() + 16);
    Arguments arguments(args, count);
    std::size_t i = 0;
    while (i < f.size()) {
        std::size_t percent = f.find('%', i);
        if (percent == std::string_view::npos) {
            out.append(f.substr(i));
            break;
        }
        out.append(f.substr(i, percent - i));
        std::size_t j = percent + 1;
        if (j < f.size() && f[j] == '%') {
            out += '%';
            i = j + 1;
            continue;
        }
        Directive d;
        auto position = readPosition(f, j);
        for (; j < f.size(); ++j) {
            char c = f[j];
            if (c == '-' || c == '+' || c == ' ' || c == '#' || c == '0') {
                if (d.flags.find(c) == std::string::npos) d.flags += c;
            } else if (c != '\'') {
                break;
            }
        }
        std::optional<std::int64_t> width;
        if (j < f.size() && f[j] == '*')
            width = starArgument(f, j, arguments);
        else
            width = readNumber(f, j);
        if (width) {
            if (*width < 0 && d.flags.find('-') == std::string::npos) d.flags += '-';
            d.width = *width < -kFormatMaxWidth ? kFormatMaxWidth : clampWidth(*width < 0 ? -*width : *width);
        }
        if (j < f.size() && f[j] == '.') {
            ++j;
            std::optional<std::int64_t> precision;
            if (j < f.size() && f[j] == '*')
                precision = starArgument(f, j, arguments);
            else
                precision = readNumber(f, j).value_or(0);
            if (precision && *precision >= 0) d.precision = clampWidth(*precision);
        }
        while (j < f.size()) {
            char c = f[j];
            if (c == 'h')
                d.length = d.length == Length::Short ? Length::Char : Length::Short;
            else if (c == 'l')
                d.length = d.length == Length::Long ? Length::LongLong : Length::Long;
            else if (c == 'q' || c == 'j')
                d.length = Length::LongLong;
            else if (c == 'z' || c == 't')
                d.length = Length::Size;
            else if (c == 'L')
                d.length = Length::LongDouble;
            else
                break;
            ++j;
        }
        if (j >= f.size() || !isConversion(f[j])) {
            // Not a directive we know: copy it as written, consuming no argument.
            std::size_t end = std::min(j + 1, f.size());
            out.append(f.substr(percent, end - percent));
            i = end;
            continue;
        }
        d.conversion = f[j];
        i = j + 1;
        if (d.conversion == 'D' || d.conversion == 'U' || d.conversion == 'O') {
            d.conversion = static_cast<char>(d.conversion - 'A' + 'a');
            d.length = Length::Long;
        }
        const Value* argument = arguments.take(position);
        // "%n" would write through an argument: it consumes one and prints nothing.
        if (d.conversion == 'n') continue;
        out += render(d, argument);
    }
    return out;
}

std::string formatString(std::string_view format, std::initializer_list<Value> args) {
    return formatString(format, args.begin(), args.size());
}

std::string formatString(std::string_view format, const std::vector<Value>& args) {
    return formatString(format, args.data(), args.size());
}

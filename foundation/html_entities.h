// The entity names the HTML and XML decoders know: the 96 Latin-1 names and the five markup ones.
#pragma once

#include <array>
#include <string_view>

// Entry i stands for U+00A0 + i, written with its ampersand and semicolon.
extern const std::array<std::string_view, 96> kLatin1EntityNames;

struct MarkupEntity {
    std::string_view name;
    char character;
};
// "&amp;" first, so that a double-escaped "&amp;lt;" decodes literally to "&lt;" and then "<".
inline constexpr std::array<MarkupEntity, 5> kMarkupEntities{{
    {"&amp;", '&'},
    {"&lt;", '<'},
    {"&gt;", '>'},
    {"&apos;", '\''},
    {"&quot;", '"'},
}};

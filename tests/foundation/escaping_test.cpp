// Escaping across borders: entities, backslashes, URL and query escapes, queries and addresses.
#include <gtest/gtest.h>

#include "foundation/string_custom_escaping.h"

TEST(HtmlEntities, EncodingLeavesQuotesAlone) {
    EXPECT_EQ(kv_encodeHTMLCharacterEntities("a<b>&\"'"), "a&lt;b&gt;&amp;\"'");
    EXPECT_EQ(escapeHTML("&lt;"), "&amp;lt;");
}

TEST(HtmlEntities, LiteralDecoding) {
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#65;&#x42;&copy;"), "AB©");
    // Each markup name is replaced only when the text as given holds it: no double decoding.
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&amp;lt;"), "&lt;");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&Agrave;&agrave;&yuml;&nbsp;"), "Ààÿ\u00a0");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("no refs"), "no refs");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#128512;"), "😀");  // beyond one code unit, kept whole
    // References that hold no readable number stay as written instead of becoming U+0000.
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#X41;"), "&#X41;");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#;a&#x;"), "&#;a&#x;");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#0;"), "&#0;");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&#99999999999999999999;"), "&#99999999999999999999;");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("; &#65"), "; &#65");
    EXPECT_EQ(kv_decodeHTMLCharacterEntities("&unknown; &#66;"), "&unknown; B");
}

TEST(HtmlEntities, PatternDecoding) {
    EXPECT_EQ(my_unescapeHTML("&#X41;&#x42;&#67;"), "ABC");
    EXPECT_EQ(unescapeHTML("&LT;tag&gt; &Eacute;t&eacute; &quot;q&quot;"), "<tag> Été \"q\"");
    EXPECT_EQ(my_unescapeHTML("&#x1F600;"), "😀");
    // Unknown names and unreadable numbers stay as written.
    EXPECT_EQ(my_unescapeHTML("&foo; &#xZZ; &#0; &#xD800;"), "&foo; &#xZZ; &#0; &#xD800;");
    EXPECT_EQ(my_unescapeHTML("é &amp; 😀 &amp;"), "é & 😀 &");
    EXPECT_EQ(my_unescapeHTML(""), "");
}

TEST(Backslashes, HexReadingAndUnescaping) {
    EXPECT_EQ(integerHexValue(""), 0);
    EXPECT_EQ(integerHexValue("ff"), 255);
    EXPECT_EQ(integerHexValue("1g"), 16);  // other characters count as 0 and still shift
    EXPECT_EQ(integerHexValue("FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(integerHexValue("1FFFFFFFFFFFFFFFF"), -1);  // wraps at 64 bits
    EXPECT_EQ(my_unescapeString("\\x41"), "A");
    EXPECT_EQ(my_unescapeString("\\X42\\x4"), "B\\x4");
    EXPECT_EQ(my_unescapeString("\\\\"), "\\");
    EXPECT_EQ(my_unescapeString("\\\\\\\\\\"), "\\\\\\");
    EXPECT_EQ(my_unescapeString("é\\xe9😀"), "éé😀");
}

TEST(XmlEscapes, InPlaceRoundTrip) {
    std::string text = "a & \"b\" 'c' <d>";
    EXPECT_EQ(xmlSimpleEscape(text), "a &amp; &quot;b&quot; &#x27;c&#x27; &lt;d&gt;");
    EXPECT_EQ(xmlSimpleUnescape(text), "a & \"b\" 'c' <d>");
    std::string numbers = "&#x39;&#x92;&#x96;&nbsp;x";
    EXPECT_EQ(xmlSimpleUnescape(numbers), "9'' x");
    std::string blanks = "    ";
    EXPECT_EQ(xmlSimpleUnescape(blanks), "  ");
}

TEST(UrlEscapes, QueryParametersNeverOpenAFragment) {
    EXPECT_EQ(escapeQueryParam("a b&c=d/é"), "a%20b%26c%3Dd%2F%C3%A9");
    EXPECT_EQ(escapeQueryParam("#tag 100%"), "%23tag%20100%25");
    EXPECT_EQ(escapeQueryParam("[x]"), "%5Bx%5D");
    EXPECT_EQ(escapeQueryParam("-._~!*'()"), "-._~!*'()");
    EXPECT_EQ(escapeQueryParam("$+,:;?@"), "%24%2B%2C%3A%3B%3F%40");
    EXPECT_EQ(escapeQueryParam("😀"), "%F0%9F%98%80");
    EXPECT_EQ(escapeURL("http://h/p?q=a b#f"), "http://h/p?q=a%20b%23f");
    for (const char* text : {"", "a b", "100%", "#é😀[]", "%41"}) EXPECT_EQ(unescapeURL(escapeURL(text)), text);
    EXPECT_FALSE(unescapeURL("%E9"));
    EXPECT_FALSE(unescapeURL("%G1"));
    EXPECT_EQ(urlencode("a b/ü"), "a+b%2F%C3%BC");
    EXPECT_EQ(urlencode("-._~"), "-._~");
}

TEST(UrlEscapes, QueryParsing) {
    Value d = webQueryDict("a=1&b=2=3&c");
    ASSERT_TRUE(d.isDictionary());
    EXPECT_EQ(d.count(), 2u);
    EXPECT_EQ(d["a"], Value("1"));
    EXPECT_EQ(d["b"], Value("2"));
    EXPECT_TRUE(webQueryDict("c").isNull());
    EXPECT_TRUE(webQueryDict("").isNull());
    EXPECT_EQ(webQueryDict("a=1&a=2")["a"], Value("2"));
    EXPECT_EQ(webQueryDict("=v")[""], Value("v"));
    EXPECT_TRUE(webQueryDict0("http://h/p").isNull());
    EXPECT_EQ(webQueryDict0("http://h/p?x=%20&y=2?z")["y"], Value("2?z"));
}

TEST(UrlEscapes, AddressChecksAndResolution) {
    EXPECT_EQ(makeDownloadable("example.com/a"), "https://example.com/a");
    EXPECT_EQ(makeDownloadable("ftp://x?u=http://y"), "ftp://x?u=http://y");
    EXPECT_TRUE(isRemoteURL("a://"));
    EXPECT_FALSE(isRemoteURL(""));
    EXPECT_FALSE(isRemoteURL("/local/path"));
    EXPECT_TRUE(isDownloadableURL("https://example.com/a b"));
    EXPECT_TRUE(isDownloadableURL("http://user@host:80"));
    EXPECT_FALSE(isDownloadableURL("https:///path"));
    EXPECT_FALSE(isDownloadableURL("1a://host"));
    EXPECT_FALSE(isDownloadableURL("file.txt"));
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "g"), "http://a/b/c/g");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "../g"), "http://a/b/g");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "../../../g"), "http://a/g");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "/g?y#s"), "http://a/g?y#s");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "//g/x"), "http://g/x");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "?y"), "http://a/b/c/d;p?y");
    EXPECT_EQ(appendRelativedUrl("http://a/b/c/d;p?q", "https://other/./x"), "https://other/x");
    EXPECT_EQ(appendRelativedUrl("http://a", "x"), "http://a/x");
    EXPECT_FALSE(appendRelativedUrl("http://a/", "a b"));
    EXPECT_FALSE(appendRelativedUrl("relative/base", "x"));
}

TEST(Patterns, EscapesAndValidators) {
    EXPECT_EQ(escapeRegEx("a.b-c"), "a\\.b\\-c");
    EXPECT_EQ(escapeRegEx("a*b"), "a*b");
    EXPECT_EQ(escapeNull(std::nullopt), "");
    EXPECT_EQ(escapeNull("x"), "x");
    EXPECT_TRUE(validRegEx("abc", "b"));
    EXPECT_FALSE(validRegEx("abc", "B"));
    EXPECT_FALSE(validRegEx("abc", "("));
    EXPECT_TRUE(validEmail("first.last+tag_1-x@mail-host.co.uk"));
    EXPECT_FALSE(validEmail("user@localhost"));
    EXPECT_FALSE(validEmail("us er@host.com"));
    EXPECT_FALSE(validEmail("@host.com"));
    EXPECT_TRUE(validWebsite("https://example.com/path"));
    EXPECT_TRUE(validWebsite("http://a.bc"));
    EXPECT_FALSE(validWebsite("HTTPS://Example.com"));
    EXPECT_FALSE(validWebsite("ftp://example.com"));
}

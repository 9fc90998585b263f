// Byte-buffer helpers: text, files, the NUL range search and every codec, round trips included.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "foundation/data_custom.h"

namespace {

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<std::uint8_t>(rng());
    return out;
}

}  // namespace

TEST(DataText, Utf8DecodingRejectsInvalidBytes) {
    EXPECT_EQ(string_utf8(bytesOf("héllo 😀")), "héllo 😀");
    EXPECT_EQ(string_utf8({}), "");
    EXPECT_FALSE(string_utf8({0xC3}));
    EXPECT_FALSE(string_utf8({0xFF, 0x41}));
    EXPECT_FALSE(string_utf8({0xED, 0xA0, 0x80}));  // an encoded surrogate
}

TEST(DataText, SaveToPathWritesAtomicallyAndReportsFailure) {
    auto dir = std::filesystem::temp_directory_path() / ("korva-data-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = (dir / "file.bin").string();
    Bytes payload = randomBytes(5000, 1);
    EXPECT_TRUE(saveToPath(payload, path));
    EXPECT_TRUE(saveToPath(bytesOf("short"), path));
    std::ifstream in(path, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, "short");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary left over
    EXPECT_FALSE(saveToPath(payload, (dir / "missing" / "file.bin").string()));
    EXPECT_FALSE(saveToPath(payload, ""));
    std::filesystem::remove_all(dir);
}

TEST(DataText, NullTerminatedRange) {
    Bytes data{0x41, 0x00, 0x42};
    EXPECT_EQ(rangeOfNullTerminatedBytesFrom(data, 0), NSMakeRange(0, 1));
    EXPECT_EQ(rangeOfNullTerminatedBytesFrom(data, 1), NSMakeRange(1, 0));
    EXPECT_FALSE(rangeOfNullTerminatedBytesFrom(data, 2).found());
    EXPECT_FALSE(rangeOfNullTerminatedBytesFrom(data, 3).found());
    EXPECT_FALSE(rangeOfNullTerminatedBytesFrom(data, NSNotFound).found());
    EXPECT_FALSE(rangeOfNullTerminatedBytesFrom({}, 0).found());
}

TEST(Base32, MatchesTheStandardVectorsWithoutPadding) {
    const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                           {"f", "MY"},
                                                           {"fo", "MZXQ"},
                                                           {"foo", "MZXW6"},
                                                           {"foob", "MZXW6YQ"},
                                                           {"fooba", "MZXW6YTB"},
                                                           {"foobar", "MZXW6YTBOI"}};
    for (auto [plain, encoded] : vectors) {
        EXPECT_EQ(base32String(bytesOf(plain)), encoded);
        EXPECT_EQ(dataWithBase32String(encoded), bytesOf(plain));
        std::string lower(encoded);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(dataWithBase32String(lower), bytesOf(plain));
    }
    for (std::size_t n = 0; n < 40; ++n) {
        Bytes data = randomBytes(n, static_cast<unsigned>(n));
        EXPECT_EQ(dataWithBase32String(base32String(data)), data) << n;
    }
}

TEST(Base32, RejectsWhatNoEncoderWrites) {
    for (const char* bad : {"M", "MZX", "MZXW6Y", "MZXW6YTBO", "MY======", "MZ", "M1", "MY!", "MÄ"})
        EXPECT_FALSE(dataWithBase32String(bad)) << bad;
}

TEST(Cobs, EncodesRunsAndZerosAndDecodesWithTheFrameZero) {
    EXPECT_EQ(encodeCOBS({}), Bytes{});
    EXPECT_EQ(encodeCOBS({0x00}), (Bytes{0x01, 0x01}));
    EXPECT_EQ(encodeCOBS({0x11, 0x22, 0x00, 0x33}), (Bytes{0x03, 0x11, 0x22, 0x02, 0x33}));
    Bytes run(254, 0x07);
    Bytes encoded = encodeCOBS(run);
    ASSERT_EQ(encoded.size(), 256u);
    EXPECT_EQ(encoded.front(), 255);
    EXPECT_EQ(encoded.back(), 1);
    for (std::size_t n : {1u, 2u, 253u, 254u, 255u, 508u, 1000u}) {
        Bytes data = randomBytes(n, static_cast<unsigned>(n));
        if (n % 3 == 0) data[n / 2] = 0;
        Bytes expected = data;
        expected.push_back(0);
        EXPECT_EQ(decodeCOBS(encodeCOBS(data)), expected) << n;
    }
}

TEST(Cobs, MalformedInputNeverReadsPastTheEnd) {
    EXPECT_EQ(decodeCOBS({}), Bytes{});
    EXPECT_FALSE(decodeCOBS({0x05, 0x41}));
    EXPECT_FALSE(decodeCOBS({0xFF}));
    EXPECT_EQ(decodeCOBS({0x00, 0x01}), (Bytes{0x00, 0x00}));
    Bytes noise = randomBytes(300, 9);
    auto decoded = decodeCOBS(noise);
    if (decoded) {
        EXPECT_LE(decoded->size(), noise.size());
    }
}

TEST(Compression, RoundTripsOfEveryFormat) {
    for (std::size_t n : {1u, 100u, 16384u, 70000u}) {
        Bytes text;
        for (std::size_t i = 0; i < n; ++i) text.push_back(static_cast<std::uint8_t>("korva "[i % 6]));
        for (const Bytes& data : {text, randomBytes(n, 3)}) {
            auto z = zlibDeflate(data);
            auto g = gzipDeflate(data);
            ASSERT_TRUE(z && g);
            EXPECT_EQ(z->at(0), 0x78);
            EXPECT_EQ(g->at(0), 0x1F);
            EXPECT_EQ(g->at(1), 0x8B);
            EXPECT_EQ(zlibInflate(*z), data);
            EXPECT_EQ(gzipInflate(*g), data);
            EXPECT_EQ(gzipInflate(*z), data);  // gzip reading detects zlib data too
            EXPECT_FALSE(zlibInflate(*g));     // but zlib reading refuses gzip
            EXPECT_EQ(jsonExtract(*jsonCompress(data)), data);
        }
    }
    EXPECT_EQ(zlibDeflate({}), Bytes{});
    EXPECT_EQ(gzipInflate({}), Bytes{});
}

TEST(Compression, TinyInputThatExpandsALotStillInflates) {
    Bytes zeros(1 << 20, 0);
    auto packed = zlibDeflate(zeros);
    ASSERT_TRUE(packed);
    EXPECT_LT(packed->size(), 2000u);
    EXPECT_EQ(zlibInflate(*packed), zeros);
    // One byte of payload: the output buffer must grow past its starting size.
    auto one = gzipDeflate({0x41});
    ASSERT_TRUE(one);
    EXPECT_EQ(gzipInflate(*one), (Bytes{0x41}));
}

TEST(Compression, CorruptAndTruncatedStreamsGiveNone) {
    Bytes data = randomBytes(5000, 4);
    auto packed = gzipDeflate(data);
    ASSERT_TRUE(packed);
    for (std::size_t cut : {std::size_t(1), std::size_t(10), packed->size() / 2, packed->size() - 1})
        EXPECT_FALSE(gzipInflate(Bytes(packed->begin(), packed->begin() + static_cast<std::ptrdiff_t>(cut)))) << cut;
    Bytes corrupt = *packed;
    corrupt[corrupt.size() - 6] ^= 0xFF;  // breaks the CRC
    EXPECT_FALSE(gzipInflate(corrupt));
    EXPECT_FALSE(zlibInflate(bytesOf("not compressed at all")));
    EXPECT_FALSE(zlibInflate({0x78}));
}

TEST(Digest, Sha1Hex) {
    EXPECT_EQ(sha1({}), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(sha1(bytesOf("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

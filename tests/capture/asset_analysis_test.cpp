// Asset analysis on a movie made by ffmpeg: English H.264 with AAC and English and French
// subtitles; the track table, subtitle labels and times, and the track-choosing loaders.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "capture/av_asset_analysis.h"
#include "foundation/language_service.h"
#include "tests/platform/media/media_test_support.h"

namespace {

class Languages : public LanguageService {
public:
    std::optional<std::string> getDevice() override { return "en"; }
    std::optional<std::string> getLabel_iso639_2(std::string_view code) override {
        if (code == "eng") return "English";
        if (code == "fre") return "Français";
        return std::nullopt;
    }
    std::optional<std::string> getName(std::string_view code) override {
        if (code == "eng") return "English";
        return std::nullopt;
    }
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view code) override {
        if (code == "eng") return "en";
        if (code == "fre") return "fr";
        return std::nullopt;
    }
};

}  // namespace

constexpr std::size_t kFirst = 0;

class AssetAnalysisTest : public MediaTest {
protected:
    // Subtitles: English from 1.5 s, French (or the given language) from 2.5 s.
    std::string makeMovie(const std::string& name, const std::string& second = "fre") {
        std::ofstream(file("en.srt")) << "1\n00:00:01,500 --> 00:00:02,000\nHello\n";
        std::ofstream(file("fr.srt")) << "1\n00:00:02,500 --> 00:00:03,000\nBonjour\n";
        std::string out = file(name);
        std::string command =
            "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=30:duration=4 -f lavfi -i "
            "sine=frequency=440:duration=4 "
            "-i '" +
            file("en.srt") + "' -i '" + file("fr.srt") +
            "' -map 0 -map 1 -map 2 -map 3 -c:v libx264 -c:a aac "
            "-c:s mov_text -metadata:s:v:0 language=eng -metadata:s:s:0 language=eng -metadata:s:s:1 language=" +
            second + " '" + out + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return out;
    }
    Languages languages;
};

TEST_F(AssetAnalysisTest, TrackTableDescribesEachTrack) {
    auto asset = URLAssetWithURL2(NSURL::fileURLWithPath(makeMovie("a.mp4")));
    ASSERT_TRUE(asset);
    Value table = trackDict(*asset, &languages);
    ASSERT_EQ(table[AVMediaTypeVideo].count(), 1u);
    EXPECT_EQ(table[AVMediaTypeVideo][kFirst]["desc"].stringValue(), "English, 'avc1'");
    EXPECT_EQ(table[AVMediaTypeVideo][kFirst]["lcod"].stringValue(), "eng");
    ASSERT_EQ(table[AVMediaTypeAudio].count(), 1u);
    EXPECT_EQ(table[AVMediaTypeAudio][kFirst]["desc"].stringValue(), "'mp4a'");
    EXPECT_TRUE(table[AVMediaTypeAudio][kFirst]["lcod"].isNull());
    EXPECT_EQ(table[AVMediaTypeSubtitle].count(), 2u);
    EXPECT_EQ(table[AVMediaTypeSubtitle][1]["desc"].stringValue(), "Français, 'tx3g'");
}

TEST_F(AssetAnalysisTest, SubtitleLabelsPreferTheTrackLabelWithTheLanguageName) {
    auto record = [](int id, const char* llbl, const char* lcod, const char* desc) {
        Value r = Value::dictionary();
        r.set("id", Value(id));
        if (llbl) r.set("llbl", Value(llbl));
        if (lcod) r.set("lcod", Value(lcod));
        if (desc) r.set("desc", Value(desc));
        return r;
    };
    Value table = Value::dictionary();
    table.set(AVMediaTypeSubtitle,
              Value::array({record(3, "English SDH", "eng", nullptr), record(4, "Commentary", "eng", nullptr),
                            record(5, nullptr, nullptr, "'tx3g'"), record(6, nullptr, nullptr, nullptr)}));
    EXPECT_EQ(getSubtitleLabel(table, 3, &languages), "English SDH");
    EXPECT_EQ(getSubtitleLabel(table, 4, &languages), "Commentary - English");
    EXPECT_EQ(getSubtitleLabel(table, 5, &languages), "'tx3g'");
    EXPECT_EQ(getSubtitleLabel(table, 6, &languages), "6");
    EXPECT_EQ(getSubtitleLabel(table, 9, &languages), "9");
    EXPECT_EQ(getSubtitleLabel(Value::dictionary(), 9, &languages), "9");
}

TEST_F(AssetAnalysisTest, SubtitleTimesAreThoseOfTheFirstTextInTheChosenLanguage) {
    auto asset = URLAssetWithURL2(NSURL::fileURLWithPath(makeMovie("a.mp4")));
    ASSERT_TRUE(asset);
    EXPECT_NEAR(loadSubtitleStartTiming(asset, "en", &languages), 1.5, 0.01);
    EXPECT_NEAR(loadSubtitleStartTiming(asset, "fr", &languages), 2.5, 0.01);
    EXPECT_EQ(loadSubtitleStartTiming(asset, "de", &languages), 0);
    // A language without a two-letter form is taken as it comes.
    auto other = URLAssetWithURL2(NSURL::fileURLWithPath(makeMovie("b.mp4", "tlh")));
    EXPECT_NEAR(loadSubtitleStartTiming(other, "fr", &languages), 2.5, 0.01);
    spectrumArray(asset);  // reads through without a result
}

TEST_F(AssetAnalysisTest, LoadersPickTracksByIdAndFallBack) {
    auto url = NSURL::fileURLWithPath(makeMovie("a.mp4"));
    auto asset = URLAssetWithURL2(url);
    ASSERT_TRUE(asset);
    auto videoID = asset->tracksWithMediaType(AVMediaTypeVideo)[0]->trackID();
    auto both = assetWithURL2(url);
    ASSERT_TRUE(both);
    EXPECT_EQ(both->tracks().size(), 2u);
    auto fallback = assetWithURL2Video(url, 999);
    ASSERT_TRUE(fallback);
    ASSERT_EQ(fallback->tracks().size(), 1u);
    EXPECT_EQ(fallback->tracks()[0]->mediaType(), AVMediaTypeVideo);
    auto chosen = assetWithURL2(url, videoID, 0);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->tracks().size(), 2u);
    EXPECT_FALSE(assetWithURL2(NSURL::fileURLWithPath(file("missing.mp4"))));
    std::ofstream(file("text.mp4")) << "no movie";
    EXPECT_FALSE(assetWithURL2Audio(NSURL::fileURLWithPath(file("text.mp4")), 0));
}

// Music-library items over a folder of tagged files, media URLs and thumbnails.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "capture/media_item_custom.h"
#include "platform/image/cg_image.h"
#include "platform/media/movie_encoder.h"
#include "tests/platform/media/media_test_support.h"

class MediaItemTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        std::filesystem::create_directories(root_ / "music/a");
        MPMediaLibrary::setLibraryDirectory((root_ / "music").string());
    }
    void TearDown() override {
        MPMediaLibrary::setLibraryDirectory("");
        MediaTest::TearDown();
    }
};

TEST_F(MediaItemTest, SubtitlesJoinArtistAndAlbumUnlessOneHoldsTheOther) {
    EXPECT_EQ(subtitleOf("Ann Lee", "Best of Ann Lee"), "Best of Ann Lee");
    EXPECT_EQ(subtitleOf("Ann", "Blue"), "Ann, Blue");
    EXPECT_EQ(subtitleOf("", "Blue"), "Blue");
    EXPECT_EQ(subtitleOf("Ann", ""), "Ann");
    EXPECT_EQ(subtitleOf("", ""), "");
}

TEST_F(MediaItemTest, LibraryItemsAreFoundByTheirUrlAndKeepTheirIds) {
    ASSERT_TRUE(
        writeTone(file("music/a/song.m4a"), 1,
                  {{"title", "Song"}, {"artist", "Ann Lee"}, {"album", "Best of Ann Lee"}, {"lyrics", "la la"}}));
    ASSERT_TRUE(writeTone(file("music/other.m4a"), 1, {{"title", "Other"}}));
    std::ofstream(file("music/broken.m4a")) << "not music";
    auto items = MPMediaQuery::make()->items();
    ASSERT_EQ(items.size(), 2u);
    auto song = *std::find_if(items.begin(), items.end(), [](auto& i) { return i->path().ends_with("song.m4a"); });
    EXPECT_EQ(song->persistentID(), MPMediaLibrary::persistentIDForPath("a/song.m4a"));
    EXPECT_EQ(subtitle(*song), "Best of Ann Lee");
    EXPECT_EQ(mediaType(*song), MPMediaTypeMusic);
    EXPECT_TRUE(test(*song));
    EXPECT_EQ(lyric(*song), "la la");
    auto url = song->assetURL();
    EXPECT_TRUE(url->scheme().ends_with("library"));
    auto found = mediaItemFromURL(url);
    ASSERT_TRUE(found);
    EXPECT_EQ(pid(*found), std::to_string(song->persistentID()));
    EXPECT_NEAR(mediaDuration(url), 1.0, 0.05);
    EXPECT_FALSE(mediaItemFromURL(NSURL::URLWithString("korva-library://item?id=123")));
    EXPECT_FALSE(mediaItemFromURL(NSURL::URLWithString("korva-library://item")));
    EXPECT_FALSE(mediaItemFromURL(NSURL::URLWithString("korva-library://item?id")));
    EXPECT_FALSE(initWithPersistentID(Value()));
    EXPECT_EQ(authorizationStatus1(), 3);
}

TEST_F(MediaItemTest, RemoteAndDualLoadingFollowTheScheme) {
    auto library = NSURL::URLWithString("ipod-library://item/item.m4a?id=1");
    EXPECT_FALSE(isRemote(*library));
    EXPECT_TRUE(isDualLoadingSupported(*library));
    auto web = NSURL::URLWithString("HTTPS://example.org/a.mp4");
    EXPECT_TRUE(isRemote(*web));
    EXPECT_FALSE(isDualLoadingSupported(*web));
    auto local = NSURL::fileURLWithPath("/tmp/a.mp4");
    EXPECT_FALSE(isRemote(*local));
    EXPECT_TRUE(isDualLoadingSupported(*local));
}

TEST_F(MediaItemTest, ThumbnailsSkipFlatFramesAndPreferCoverArt) {
    auto candidates = thumbnailCandidates(1200);
    EXPECT_EQ(candidates[0], 0);
    EXPECT_EQ(candidates[1], 133);
    EXPECT_EQ(candidates[7], (1200 / 7) * 5);

    // A clip whose first second is flat grey, then the quartered picture.
    MovieEncoderSettings s;
    s.width = 64, s.height = 48;
    auto encoder = MovieEncoder::open(file("fade.mp4"), s);
    ASSERT_TRUE(encoder);
    auto grey = CVPixelBuffer::make(64, 48);
    std::fill(grey->baseAddress(), grey->baseAddress() + grey->dataSize(), 128);
    auto busy = CVPixelBuffer::make(64, 48);
    for (std::size_t y = 0; y < 48; ++y)
        for (std::size_t x = 0; x < 64; ++x) {
            std::uint8_t* p = busy->row(y) + x * 4;
            bool centre = x >= 16 && x < 48 && y >= 12 && y < 36;
            p[0] = centre ? 20 : 230, p[1] = centre ? 20 : 230, p[2] = centre ? 200 : 30, p[3] = 255;
        }
    for (int i = 0; i < 90; ++i) ASSERT_TRUE((*encoder)->addVideo(i < 30 ? *grey : *busy, i / 30.0));
    ASSERT_TRUE((*encoder)->finish());
    auto thumb = loadThumbnailImage_AV(NSURL::fileURLWithPath(file("fade.mp4")));
    ASSERT_TRUE(thumb);
    auto image = thumb->cgImage();
    const std::uint8_t* centre = image->row(24) + 32 * 4;
    EXPECT_GT(centre[2], 150);  // the busy picture's red centre, not grey

    std::string png = file("cover.png"), song = file("cover.m4a");
    std::string command = "ffmpeg -v error -y -f lavfi -i color=c=red:s=16x16 -frames:v 1 '" + png +
                          "' && ffmpeg -v error -y -f lavfi -i sine=duration=1 -i '" + png +
                          "' -map 0 -map 1 -c:a aac -c:v png -disposition:v attached_pic '" + song + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto cover = loadThumbnailImage_AV(NSURL::fileURLWithPath(song));
    ASSERT_TRUE(cover);
    EXPECT_EQ(cover->size().width, 16);
    EXPECT_FALSE(loadThumbnailImage_AV(NSURL::fileURLWithPath(file("missing.mp4"))));
}

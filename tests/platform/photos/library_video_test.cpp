// Movies in the photo library: a readable movie is copied in as a video with its size and length,
// anything else fails the change and adds nothing; the index of an older library gains the length
// and keeps its rows; the repair on open knows movies from photos.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include <fstream>
#include <map>

#include "photos_test_support.h"
#include "platform/media/movie_encoder.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/movie_file_check.h"
#include "platform/photos/ph_asset.h"
#include "tests/platform/media/media_test_support.h"

namespace {

struct LibraryVideoTest : PhotosTest {
    void SetUp() override {
        PhotosTest::SetUp();
        outside = folder.string() + "-src";
        std::filesystem::create_directories(outside);
    }
    void TearDown() override {
        PhotosTest::TearDown();
        std::filesystem::remove_all(outside);
    }
    std::string movie(const std::string& name, MovieShape shape = {}) {
        std::string path = (outside / name).string();
        EXPECT_TRUE(writeMovie(path, shape));
        return path;
    }
    Result<void> saveVideo(const std::string& path) {
        return PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
            [&] { PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL("file://" + path); });
    }
    // Picture only, index before the media, shown turned a quarter: cutting it keeps a readable head.
    std::string turnedIndexFirst(const std::string& name, int w, int h, int frames) {
        std::string path = (outside / name).string();
        MovieEncoderSettings s;
        s.width = w, s.height = h, s.displayRotation = 90, s.fastStart = true;
        auto encoder = MovieEncoder::open(path, s);
        EXPECT_TRUE(encoder);
        if (!encoder) return path;
        auto frame = quarterPicture(std::size_t(w), std::size_t(h));
        for (int i = 0; i < frames; ++i) EXPECT_TRUE((*encoder)->addVideo(*frame, i / 30.0));
        EXPECT_TRUE((*encoder)->finish());
        return path;
    }
    static std::vector<std::shared_ptr<PHAsset>> videos() {
        return PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Video)->assets();
    }
    // The first column of the last row the statements give, read straight from the index file.
    int indexCount(const char* sql) {
        sqlite3* db = nullptr;
        int rows = -1;
        EXPECT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
        auto take = [](void* into, int, char** values, char**) {
            *static_cast<int*>(into) = std::atoi(values[0]);
            return 0;
        };
        EXPECT_EQ(sqlite3_exec(db, sql, take, &rows, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
        return rows;
    }
    // Settled by an index of its own, as the library settles what its watch reports, then read.
    std::map<std::string, double> settled() {
        {
            auto index = AssetIndex::open(folder.string(), FolderCreation::MustExist, FolderReading::InSteps);
            EXPECT_TRUE(index && (*index)->settleFiles(std::nullopt));
        }
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        auto now = datesOfAssets();
        PHPhotoLibrary::setLibraryDirectory("");
        DispatchQueue::waitUntilBackgroundIdle();
        return now;
    }
    // Flips a bit of the first byte of the movie's first picture (after the top-level boxes before
    // the media data) and puts its times back: its size and times stay, its inode's change time
    // moves. Answers the change time.
    static timespec rewriteInPlace(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::size_t at = 0;
        while (at + 8 <= data.size() && std::string(data.begin() + at + 4, data.begin() + at + 8) != "mdat")
            at += (std::size_t{data[at]} << 24) | (std::size_t{data[at + 1]} << 16) | (std::size_t{data[at + 2]} << 8) |
                  data[at + 3];
        EXPECT_LT(at + 16, data.size());
        struct stat written {};
        EXPECT_EQ(::stat(path.c_str(), &written), 0);
        const int fd = ::open(path.c_str(), O_WRONLY);
        EXPECT_GE(fd, 0);
        const std::uint8_t changed = data[at + 16] ^ 0x01;
        EXPECT_EQ(::pwrite(fd, &changed, 1, static_cast<off_t>(at + 16)), 1);
        const timespec times[2] = {written.st_atim, written.st_mtim};
        EXPECT_EQ(::futimens(fd, times), 0);
        ::close(fd);
        struct stat rewritten {};
        EXPECT_EQ(::stat(path.c_str(), &rewritten), 0);
        return rewritten.st_ctim;
    }
    // Each asset's modification date, by identifier.
    static std::map<std::string, double> datesOfAssets() {
        std::map<std::string, double> dates;
        const auto assets = PHAsset::fetchAssetsWithOptions(nullptr);
        for (const auto& asset : assets->assets()) dates[asset->localIdentifier()] = asset->modificationDate();
        return dates;
    }
    std::filesystem::path outside;
};

// Counts the times a file is opened or read while it is watched.
class FileReads {
public:
    explicit FileReads(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_ACCESS), 0);
    }
    ~FileReads() { ::close(fd_); }
    // Events since the last call.
    int take() {
        int events = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + n;
                 p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
                ++events;
        return events;
    }

private:
    int fd_;
};

}  // namespace

TEST_F(LibraryVideoTest, AMovieIsReadWhenItEntersAndWhenItChangesNotAtEveryOpen) {
    stampLongAfter();
    ASSERT_TRUE(saveVideo(movie("clip.mp4", {.seconds = 1.0})));
    const std::string path = videos().front()->filePath();
    const std::string identifier = videos().front()->localIdentifier();
    FileReads reads(path);
    auto reopen = [&] {
        PHPhotoLibrary::setLibraryDirectory(folder.string());
        auto found = videos();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->localIdentifier(), identifier);
    };
    reopen();
    EXPECT_EQ(reads.take(), 0) << "an unchanged movie read at open";

    // A movie whose time moved on is checked once more, then left alone again.
    struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    reopen();
    EXPECT_GT(reads.take(), 0);
    reopen();
    EXPECT_EQ(reads.take(), 0);

    // So is a row from before stamps were kept.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE assets SET file_size = NULL, file_time = NULL", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    reopen();
    EXPECT_GT(reads.take(), 0);
    reopen();
    EXPECT_EQ(reads.take(), 0);
}

// An index whose stamps lack the inode, settled as a folder that came under the library's name is:
// its rows keep their identifiers and dates, its movie is not read, and its stamps are completed.
TEST_F(LibraryVideoTest, AnIndexStampedBeforeInodesKeepsItsRowsAndDatesAndHasItsStampsCompleted) {
    stampLongAfter();
    ASSERT_TRUE(saveVideo(movie("clip.mp4", {.seconds = 0.5})));
    ASSERT_FALSE(save(jpeg(16, 8)).empty());
    std::map<std::string, double> dates = datesOfAssets(), settled;
    FileReads reads(videos().front()->filePath());
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    indexCount("ALTER TABLE assets DROP COLUMN file_inode; ALTER TABLE assets DROP COLUMN file_change; SELECT 0");

    auto index = AssetIndex::open(folder.string(), FolderCreation::MustExist, FolderReading::InSteps);
    ASSERT_TRUE(index);
    ASSERT_TRUE((*index)->settleFiles(std::nullopt));
    const auto rows = (*index)->query({});
    ASSERT_TRUE(rows);
    for (const auto& row : *rows) settled[row.identifier] = row.modificationDate;
    EXPECT_EQ(settled, dates);
    EXPECT_EQ(reads.take(), 0);
    index->reset();
    EXPECT_EQ(indexCount("SELECT COUNT(*) FROM assets WHERE file_inode IS NOT NULL AND file_change IS NOT NULL"), 2);
}

// An index from before the stamps' fingerprints: at the first open each file's head and tail are
// read for one, the rows keeping their identifiers and dates; the next open reads no movie again.
TEST_F(LibraryVideoTest, AnIndexFromBeforeFingerprintsHasThemCompletedOnceAndKeepsItsRows) {
    stampLongAfter();
    ASSERT_TRUE(saveVideo(movie("clip.mp4", {.seconds = 0.5})));
    ASSERT_FALSE(save(jpeg(16, 8)).empty());
    const auto dates = datesOfAssets();
    FileReads reads(videos().front()->filePath());
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    indexCount("ALTER TABLE assets DROP COLUMN file_content; SELECT 0");

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(datesOfAssets(), dates);
    EXPECT_GT(reads.take(), 0);
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    EXPECT_EQ(indexCount("SELECT COUNT(*) FROM assets WHERE file_content IS NOT NULL"), 2);
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    EXPECT_EQ(datesOfAssets(), dates);
    EXPECT_EQ(reads.take(), 0);
}

// A movie written over in place, its size and times kept (a byte of its picture changed, as a tag
// edit that keeps the file's time changes a few): only its inode's change time tells, as for a
// permission. Settled while the library is open, it is read and dated again; a permission changed
// afterwards is no news, and its fingerprint spares reading it through again.
TEST_F(LibraryVideoTest, AMovieRewrittenInPlaceWithItsTimesPutBackIsDatedAgain) {
    ASSERT_TRUE(saveVideo(movie("clip.mp4", {.seconds = 0.5})));
    const std::string path = videos().front()->filePath();
    const auto dates = datesOfAssets();
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();

    rewriteInPlace(path);
    const auto redated = settled();
    ASSERT_EQ(redated.size(), 1u);
    EXPECT_GT(redated.begin()->second, dates.begin()->second);

    // Where times step by seconds, a stamp taken in the second of the rewrite is unsure, and each
    // open in that second reads the fingerprint once more: the opens here stand for later ones.
    stampLongAfter();
    FileReads reads(path);
    std::filesystem::permissions(path, std::filesystem::perms::others_read, std::filesystem::perm_options::remove);
    EXPECT_EQ(settled(), redated);
    // Opened once and read at its head and tail (the kernel gives reads in a row as one event).
    EXPECT_LE(reads.take(), 2) << "read through again";
}

// Where times step by whole seconds, a movie rewritten in place in the second its stamp was taken
// keeps every time, its inode's change time too; the index here is given the change time the file
// has after the rewrite, as such a file system shows it. A stamp taken at the save is unsure: the
// fingerprint is compared and the movie dated again. One taken long after the file's last change
// is trusted, and the movie is not read at all.
TEST_F(LibraryVideoTest, AMovieRewrittenWithinTheStepOfItsStampsTimesIsDatedAgain) {
    ASSERT_TRUE(saveVideo(movie("clip.mp4", {.seconds = 0.5})));
    const std::string path = videos().front()->filePath();
    const auto dates = datesOfAssets();
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    // The stamp's moment stays, or is put long after the rewrite.
    auto rewriteUnseen = [&](std::int64_t stampedAfter) {
        const timespec changed = rewriteInPlace(path);
        const std::int64_t at = std::int64_t{changed.tv_sec} * 1000000000 + changed.tv_nsec;
        const std::string stamped = stampedAfter ? std::to_string(at + stampedAfter) : "file_stamped";
        indexCount(
            ("UPDATE assets SET file_change = " + std::to_string(at) + ", file_stamped = " + stamped + "; SELECT 0")
                .c_str());
    };

    rewriteUnseen(0);
    const auto redated = settled();
    ASSERT_EQ(redated.size(), 1u);
    EXPECT_GT(redated.begin()->second, dates.begin()->second) << "an unsure stamp trusted";

    FileReads reads(path);
    rewriteUnseen(std::int64_t{60} * 1000000000);
    reads.take();
    EXPECT_EQ(settled(), redated);
    EXPECT_EQ(reads.take(), 0) << "a sure stamp not trusted";
}

TEST_F(LibraryVideoTest, AMovieLandsAsAVideoFileWithItsSizeAndLength) {
    std::string source = movie("clip.mp4", {.width = 640, .height = 480, .seconds = 1.5});
    ASSERT_TRUE(saveVideo(source));
    ASSERT_TRUE(save(jpeg(8, 8)).size());

    auto found = videos();
    ASSERT_EQ(found.size(), 1u);
    const auto& video = *found.front();
    EXPECT_EQ(video.mediaType(), PHAssetMediaType::Video);
    EXPECT_EQ(video.pixelWidth(), 640);
    EXPECT_EQ(video.pixelHeight(), 480);
    EXPECT_NEAR(video.duration(), 1.5, 1.0 / 30);
    EXPECT_EQ(std::filesystem::path(video.filePath()).parent_path(), folder);
    EXPECT_EQ(std::filesystem::path(video.filePath()).extension(), ".MP4");
    EXPECT_TRUE(std::filesystem::exists(source));  // copied, not moved
    EXPECT_EQ(ffprobe(video.filePath(), "stream=codec_name"), "codec_name=h264\ncodec_name=aac\n");
    EXPECT_NEAR(ffprobeDuration(video.filePath()), 1.5, 1.0 / 30);
    EXPECT_EQ(PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image)->firstObject()->duration(), 0);

    // The library opened afresh finds the same video, not a second one.
    PHPhotoLibrary::setLibraryDirectory(folder.string());
    ASSERT_EQ(videos().size(), 1u);
    EXPECT_EQ(videos().front()->localIdentifier(), video.localIdentifier());
    EXPECT_NEAR(videos().front()->duration(), 1.5, 1.0 / 30);
}

TEST_F(LibraryVideoTest, ATurnedMovieIsListedWithItsDisplayedSize) {
    ASSERT_TRUE(saveVideo(turnedIndexFirst("turned.mp4", 64, 48, 15)));
    ASSERT_EQ(videos().size(), 1u);
    EXPECT_EQ(videos().front()->pixelWidth(), 48);
    EXPECT_EQ(videos().front()->pixelHeight(), 64);
    EXPECT_NEAR(videos().front()->duration(), 0.5, 1.0 / 30);
}

TEST_F(LibraryVideoTest, WhatIsNoWholeMovieFailsTheChangeAndAddsNothing) {
    std::string text = (outside / "notes.mp4").string();
    std::ofstream(text) << "this is not a movie";
    std::string whole = movie("whole.mp4", {.seconds = 1.0});
    std::string cut = (outside / "cut.mp4").string();
    std::filesystem::copy_file(whole, cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) * 2 / 3);
    // With its index first, a cut movie still opens and tells its full length.
    std::string cutHead = turnedIndexFirst("cut-head.mp4", 64, 48, 60);
    std::filesystem::resize_file(cutHead, std::filesystem::file_size(cutHead) * 2 / 3);

    for (const std::string& bad : {text, cut, cutHead, (outside / "missing.mp4").string()}) {
        SCOPED_TRACE(bad);
        // A good movie in the same change is not saved either.
        auto r = PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait([&] {
            PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL(whole);
            PHAssetChangeRequest::creationRequestForAssetFromVideoAtFileURL(bad);
        });
        EXPECT_FALSE(r);
        EXPECT_TRUE(videos().empty());
        EXPECT_EQ(filesIn(folder), 0u);
    }
    // A photo is no movie, and a movie is no photo.
    std::string photo = (outside / "photo.jpg").string();
    auto bytes = jpeg(8, 8);
    std::ofstream(photo, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_FALSE(saveVideo(photo));
    EXPECT_FALSE(PHPhotoLibrary::sharedPhotoLibrary()->performChangesAndWait(
        [&] { PHAssetChangeRequest::creationRequestForAssetFromImageAtFileURL(whole); }));
    EXPECT_EQ(filesIn(folder), 0u);
}

TEST_F(LibraryVideoTest, ADamagedMovieLeavesNoLibraryLinesOnStandardError) {
    std::string cut = (outside / "cut.mp4").string();
    std::filesystem::copy_file(movie("whole.mp4", {.seconds = 1.0}), cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) / 3);
    av_log_set_level(AV_LOG_INFO);  // as in a process where nothing has quieted the libraries yet
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(describeMovieFile(cut));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(LibraryVideoTest, AnOlderIndexGainsTheLengthAndKeepsItsRows) {
    ASSERT_TRUE(save(jpeg(16, 8)).size());
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    // Take the index back to the table it had before movies.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / AssetIndex::kIndexFileName).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE assets DROP COLUMN duration", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto photos = PHAsset::fetchAssetsWithMediaType(PHAssetMediaType::Image);
    ASSERT_EQ(photos->count(), 1u);
    EXPECT_EQ(photos->firstObject()->pixelWidth(), 16);
    ASSERT_TRUE(saveVideo(movie("after.mp4")));
    ASSERT_EQ(videos().size(), 1u);
    EXPECT_NEAR(videos().front()->duration(), 1.0, 1.0 / 30);
}

TEST_F(LibraryVideoTest, OpeningListsAWholeMovieAndDropsACutOne) {
    ASSERT_TRUE(saveVideo(movie("kept.mp4", {.seconds = 1.0})));
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    // One movie put in the folder by hand, and the listed one cut short.
    std::filesystem::copy_file(movie("dropped-in.mp4", {.width = 640, .height = 480, .seconds = 0.5}),
                               folder / "CLIP_0001.MP4");
    auto listed = std::filesystem::directory_iterator(folder);
    for (const auto& entry : listed)
        if (entry.path().filename().string().rfind("IMG_", 0) == 0)
            std::filesystem::resize_file(entry.path(), std::filesystem::file_size(entry.path()) / 2);

    PHPhotoLibrary::setLibraryDirectory(folder.string());
    auto found = videos();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(std::filesystem::path(found.front()->filePath()).filename(), "CLIP_0001.MP4");
    EXPECT_EQ(found.front()->pixelWidth(), 640);
    EXPECT_NEAR(found.front()->duration(), 0.5, 1.0 / 30);
}

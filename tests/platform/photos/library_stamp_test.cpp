// A library file's stamp: when it is unsure, what its fingerprint covers of a photo larger than the
// fingerprint's head, and what the first index of a new photo reads.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "photos_test_support.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/ph_asset.h"

namespace {

constexpr std::int64_t kSecond = 1000000000;

struct StampTest : PhotosTest {
    // A photo of noise, which compresses little: about `side` × `side` × 0.7 bytes.
    static Bytes noisyJpeg(int side) {
        RasterRGBA8 r = makeRaster(side, side);
        std::mt19937 noise(7);
        for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = (i % 4 == 3) ? 255 : noise() & 0xFF;
        auto data = encodeJpeg(r);
        EXPECT_TRUE(data);
        return data ? *data : Bytes{};
    }
    // Saves the photo through the library and closes it; answers the file, and its date and width
    // as saved.
    std::string saved(Bytes data, std::map<double, int>* row = nullptr) {
        const std::string id = save(std::move(data));
        EXPECT_FALSE(id.empty());
        const auto asset = PHAsset::fetchAssetsWithLocalIdentifiers({id})->firstObject();
        std::string path = asset ? asset->filePath() : "";
        if (asset && row) *row = {{asset->modificationDate(), asset->pixelWidth()}};
        PHPhotoLibrary::setLibraryDirectory("");
        DispatchQueue::waitUntilBackgroundIdle();
        return path;
    }
    // Settled by an index of its own, as the library settles what its watch reports: each row's
    // modification date and width.
    std::map<double, int> settled() {
        auto index = AssetIndex::open(folder.string(), FolderCreation::MustExist, FolderReading::InSteps);
        EXPECT_TRUE(index && (*index)->settleFiles(std::nullopt));
        std::map<double, int> rows;
        if (index)
            if (auto all = (*index)->query({})) {
                for (const auto& row : *all) rows[row.modificationDate] = row.pixelWidth;
            }
        return rows;
    }
};

FileStamp stampAt(std::int64_t modified, std::int64_t changed, std::int64_t taken) {
    return FileStamp{1000, modified, FileStamp::Inode{7, changed}, 42, taken};
}

}  // namespace

// Times of whole seconds step by two (FAT's step); finer ones by the kernel's tick, far below a
// second. A stamp without the moment it was taken is trusted as before.
TEST(FileStampTest, AStampIsUnsureWithinTheStepOfItsFilesLatestTime) {
    const std::int64_t at = 1700000000 * kSecond;
    EXPECT_TRUE(stampAt(at, at, at + 3 * kSecond / 2).unsure());
    EXPECT_TRUE(stampAt(at - 5 * kSecond, at, at + 3 * kSecond / 2).unsure()) << "by the change time";
    EXPECT_FALSE(stampAt(at, at, at + 5 * kSecond / 2).unsure());
    EXPECT_FALSE(stampAt(at + 1000, at + 1000, at + kSecond).unsure());
    EXPECT_TRUE(stampAt(at + 1000, at + 2 * kSecond, at + kSecond).unsure()) << "a time after the stamp";
    EXPECT_FALSE(stampAt(at, at, 0).unsure());

    // An unsure stamp is trusted only against the content's fingerprint.
    const FileStamp unsure = stampAt(at, at, at), sure = stampAt(at, at, at + 10 * kSecond);
    FileStamp lookedAt = unsure;
    lookedAt.content.reset();
    FileStamp rewritten = unsure;
    rewritten.content = 43;
    EXPECT_EQ(stampChange(unsure, lookedAt), StampChange::Attributes);
    EXPECT_EQ(stampChange(unsure, unsure), StampChange::Completed);
    EXPECT_EQ(stampChange(unsure, rewritten), StampChange::Content);
    EXPECT_EQ(stampChange(sure, lookedAt), StampChange::None);
}

// A photo larger than the fingerprint's head and tail, changed in place in its last bytes only
// (its size and times put back), is dated again, so that it is drawn again.
TEST_F(StampTest, APhotoChangedInPlaceOnlyInItsTailIsDatedAgain) {
    const std::string path = saved(noisyJpeg(400));
    struct stat written {};
    ASSERT_EQ(::stat(path.c_str(), &written), 0);
    ASSERT_GT(static_cast<std::size_t>(written.st_size), kFingerprintHead + kFingerprintTail);
    const auto before = settled();
    ASSERT_EQ(before.size(), 1u);

    // A byte of the compressed picture near its end, so that the file stays a whole JPEG.
    std::ifstream in(path, std::ios::binary);
    const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = data.size() - 64;
    while (data[at] == 0xFF || data[at - 1] == 0xFF || (data[at] ^ 0x01) == 0xFF) --at;
    const std::uint8_t changed = data[at] ^ 0x01;
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::pwrite(fd, &changed, 1, static_cast<off_t>(at)), 1);
    const timespec times[2] = {written.st_atim, written.st_mtim};
    EXPECT_EQ(::futimens(fd, times), 0);
    ::close(fd);

    const auto after = settled();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_GT(after.begin()->first, before.begin()->first);
}

// A photo larger than the head its check reads first, saved through the library (whose stamp has
// the fingerprint of its own read), keeps its date and picture when only its mode changes: the
// check's fingerprint is the save's.
TEST_F(StampTest, ALargePhotoWhoseModeChangesKeepsItsDateAndPicture) {
    std::map<double, int> before;
    const std::string path = saved(noisyJpeg(700), &before);
    ASSERT_GT(std::filesystem::file_size(path), 256u * 1024);
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before.begin()->second, 700);

    std::filesystem::permissions(path, std::filesystem::perms::others_read, std::filesystem::perm_options::remove);
    EXPECT_EQ(settled(), before);
}

// A new photo's first index opens it twice: its check, whose reads give its stamp's fingerprint,
// and its description.
TEST_F(StampTest, ANewPhotoIsOpenedTwiceAtItsFirstIndex) {
    PHPhotoLibrary::setLibraryDirectory("");
    DispatchQueue::waitUntilBackgroundIdle();
    std::filesystem::create_directories(folder);
    const auto path = folder / "IMG_NEW.JPG";
    const Bytes data = noisyJpeg(200);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
    // Each open is followed by a read, so that no two opens in a row fold into one event.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, path.c_str(), IN_OPEN | IN_ACCESS), 0);

    ASSERT_TRUE(settled().size() == 1u);
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
            opens += (reinterpret_cast<inotify_event*>(p)->mask & IN_OPEN) != 0;
    ::close(watch);
    EXPECT_EQ(opens, 2);
}

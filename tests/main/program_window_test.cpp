// The built program in the window host on the virtual display: the volume-up key, as the host
// reads it from the keyboard, takes a photo that lands in the library folder as a tagged JPEG with
// its index row; the mouse opens it in the editor from the library button and closes the editor
// with its close button, which lies in the status bar's strip; SIGTERM then ends the program
// cleanly. Started with the camera denied, every tap on the picture asks for the settings.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/photo_metadata.h"
#include "tests/main/program_process.h"
#include "tests/support/exiftool_tags.h"
#include "tests/support/required_tool.h"
#include "tests/support/virtual_display.h"

// Last: the X headers define plain names as macros.
#include "tests/main/program_seat.h"

namespace fs = std::filesystem;
using testsupport::photosIn;
using testsupport::pollUntil;
using testsupport::ProgramProcess;
using testsupport::Seat;

namespace {

struct IndexRow {
    int mediaType = 0, width = 0, height = 0;
};

// The index's row for a file, read without the library's own repair (which would index a file
// that lacks its row).
std::optional<IndexRow> indexRow(const fs::path& index, const std::string& file) {
    sqlite3* db = nullptr;
    std::optional<IndexRow> row;
    if (sqlite3_open_v2(index.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 1000);
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT media_type, pixel_width, pixel_height FROM assets WHERE file = ?", -1,
                               &query, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(query, 1, file.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(query) == SQLITE_ROW)
                row =
                    IndexRow{sqlite3_column_int(query, 0), sqlite3_column_int(query, 1), sqlite3_column_int(query, 2)};
        }
        sqlite3_finalize(query);
    }
    sqlite3_close(db);
    return row;
}

nlohmann::json exifOf(const fs::path& photo) {
    return testsupport::exiftoolTags(photo.string(),
                                     "-FileType -ImageWidth -ImageHeight -Make -Model -ExposureTime -ISO");
}

}  // namespace

using ProgramWindow = testsupport::WindowProgram;

TEST_F(ProgramWindow, TheVolumeKeyTakesATaggedIndexedPhotoAndSIGTERMEndsCleanly) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    Seat& seat = *this->seat;
    ProgramProcess korva;
    auto window = testsupport::startInWindow(korva, seat, program);
    ASSERT_TRUE(window) << "no window:\n" << korva.log();

    // "+" on the keypad is the volume-up button. The camera may still be starting when the window
    // shows, so the key is pressed again every few seconds until a photo lands.
    std::vector<fs::path> photos;
    ASSERT_TRUE(pollUntil(
        [&] {
            if (!korva.running()) return true;
            seat.press(*window, XK_KP_Add);
            return pollUntil([&] { return !(photos = photosIn(korva.libraryDir())).empty(); }, 8);
        },
        120))
        << "no photo after two minutes:\n"
        << korva.log();
    ASSERT_FALSE(photos.empty()) << "the program ended before a photo:\n" << korva.log();

    const fs::path photo = photos.front();
    std::optional<IndexRow> row;
    EXPECT_TRUE(pollUntil(
        [&] {
            row = indexRow(korva.libraryDir() / ".korva-library.sqlite", photo.filename().string());
            return row.has_value();
        },
        60))
        << "no index row for " << photo.filename();
    auto tags = exifOf(photo);
    EXPECT_EQ(tags.value("FileType", ""), "JPEG") << tags.dump();
    EXPECT_EQ(tags.value("Make", ""), kPhotoMake) << tags.dump();
    EXPECT_FALSE(tags.value("Model", "").empty()) << tags.dump();
    EXPECT_GT(tags.value("ExposureTime", 0.0), 0) << tags.dump();
    EXPECT_GT(tags.value("ISO", 0), 0) << tags.dump();
    if (row) {
        EXPECT_EQ(row->mediaType, 1) << "an image";
        EXPECT_EQ(row->width, tags.value("ImageWidth", -1));
        EXPECT_EQ(row->height, tags.value("ImageHeight", -1));
    }

    // The default screen is 390 points wide with a 47-point status bar. The editor's close button
    // (top left) lies in the bar's strip. Under the picture, where the editor shows its grey row
    // of look families, the camera screen is black and the picker white.
    constexpr double kWide = 390;
    auto underThePicture = [&] { return seat.meanGrey(*window, kWide, 250, 650, 130, 30); };
    auto shows = [&](double low, double high) {
        return pollUntil(
            [&] {
                const double grey = underThePicture();
                return (grey >= low && grey <= high) || !korva.running();
            },
            60);
    };
    ASSERT_TRUE(shows(0, 40)) << "not the camera screen: " << underThePicture();
    seat.click(*window, kWide, 70, 700);  // the library button, showing the last photo
    ASSERT_TRUE(shows(240, 255)) << "no picker: " << underThePicture() << "\n" << korva.log();
    seat.click(*window, kWide, 48, 140);  // the photo
    ASSERT_TRUE(shows(120, 235)) << "no editor: " << underThePicture() << "\n" << korva.log();
    seat.click(*window, kWide, 25, 25);  // the editor's close button
    EXPECT_TRUE(shows(0, 40)) << "the editor is still there: " << underThePicture() << "\n" << korva.log();
    ASSERT_TRUE(korva.running()) << korva.log();

    EXPECT_EQ(testsupport::endBySIGTERM(korva), "exited with 0") << korva.log();
    EXPECT_TRUE(korva.errorLines().empty()) << korva.log();
}

// Started with the camera denied (the permission stand-in refuses the microphone too), the program
// shows "Camera Authorization Required"; after its OK, every tap on the picture shows it again,
// and the missing frames restart nothing.
TEST_F(ProgramWindow, WithTheCameraDeniedEveryTapOnThePictureShowsTheAlert) {
    Seat& seat = *this->seat;
    ProgramProcess korva;
    auto window =
        testsupport::startInWindow(korva, seat, program, {{"KORVA_CAPTURE_AUTH", "denied"}, {"KORVA_LOG", "debug"}});
    ASSERT_TRUE(window) << "no window:\n" << korva.log();

    // The alert's white box in the middle of the 390-point screen, over the black of a camera
    // that shows nothing.
    constexpr double kWide = 390;
    auto alertShown = [&](bool shown, double seconds) {
        return pollUntil(
            [&] {
                const double grey = seat.meanGrey(*window, kWide, 100, 380, 190, 20);
                return (shown ? grey > 200 : grey < 40) || !korva.running();
            },
            seconds);
    };
    ASSERT_TRUE(alertShown(true, 60)) << "no alert at the start:\n" << korva.log();
    for (int tap = 0; tap < 3; ++tap) {
        SCOPED_TRACE(tap);
        seat.click(*window, kWide, 195, 460);  // the alert's OK
        ASSERT_TRUE(alertShown(false, 60)) << korva.log();
        // The picture, above the alert; a click while the alert is still on its way out is the
        // alert's, so the picture is clicked again until the alert shows.
        ASSERT_TRUE(pollUntil(
            [&] {
                seat.click(*window, kWide, 195, 250);
                return alertShown(true, 5);
            },
            60))
            << "the tap showed nothing:\n"
            << korva.log();
    }
    ASSERT_TRUE(korva.running()) << korva.log();
    EXPECT_EQ(korva.log().find("capture restart begins"), std::string::npos) << korva.log();

    EXPECT_EQ(testsupport::endBySIGTERM(korva), "exited with 0") << korva.log();
}

// A window dragged to another shape keeps the screen's proportions: the screen is as large as fits,
// centred between black bars, and a click lands on what is drawn under it.
TEST_F(ProgramWindow, AResizedWindowKeepsTheScreensProportionsAndItsClicksLandWhereDrawn) {
    Seat& seat = *this->seat;
    ProgramProcess korva;
    auto window = testsupport::startInWindow(korva, seat, program);
    ASSERT_TRUE(window) << "no window:\n" << korva.log();

    constexpr double kWide = 390;
    // The camera's picture: grey bars down its left side, where the screen is black without it.
    auto pictureShown = [&] { return seat.meanGrey(*window, kWide, 10, 300, 90, 100) > 60 || !korva.running(); };
    ASSERT_TRUE(pollUntil(pictureShown, 120)) << korva.log();

    // Twice as wide: a 390-pixel screen in the middle of 800, black beside it.
    seat.resize(*window, 800, 844);
    ASSERT_TRUE(pollUntil([&] { return seat.size(*window) == std::pair<int, int>{800, 844}; }, 30));
    auto barsBlack = [&] {
        return seat.meanGreyOfPixels(*window, 0, 0, 200, 844) < 2 &&
               seat.meanGreyOfPixels(*window, 600, 0, 200, 844) < 2;
    };
    EXPECT_TRUE(pollUntil([&] { return barsBlack() || !korva.running(); }, 30))
        << "the screen is stretched over the window:\n"
        << korva.log();
    EXPECT_TRUE(pollUntil(pictureShown, 30)) << "the screen is not where the window shows it:\n" << korva.log();

    // The library button, where it is drawn, opens the picker (white under the picture).
    seat.moveTo(*window, kWide, 70, 700);
    seat.click(*window, kWide, 70, 700);
    EXPECT_TRUE(
        pollUntil([&] { return seat.meanGrey(*window, kWide, 250, 650, 130, 30) > 240 || !korva.running(); }, 60))
        << "the click missed the library button:\n"
        << korva.log();

    EXPECT_EQ(testsupport::endBySIGTERM(korva), "exited with 0") << korva.log();
}

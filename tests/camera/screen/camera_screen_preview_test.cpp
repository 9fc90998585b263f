// The picture road on the headless host: frames drawn through the filter into the preview at the
// render timer's pace and fitted between the bars, a stalled camera restarted once a second with
// its points kept, nothing drawn while a shot holds the picture, the fade, and bad frames.
#include <atomic>

#include "capture/capture_device_custom.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "platform/image/cg_image.h"
#include "platform/ui/control/ui_slider.h"
#include "tests/camera/screen/camera_screen_test_support.h"

namespace {

// The synthetic camera behind a gate: closed, it delivers nothing; it can also hand on frames
// without pixels.
struct Gate {
    std::atomic<bool> open{true};
    std::atomic<bool> empty{false};
};

class GatedCamera : public SyntheticCameraDriver {
public:
    explicit GatedCamera(std::shared_ptr<Gate> gate)
        : SyntheticCameraDriver(CameraScreenTest::still()), gate_(std::move(gate)) {}
    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double rate,
                                                      CaptureVideoSink sink) override {
        auto gate = gate_;
        return SyntheticCameraDriver::startVideo(size, rate, [gate, sink](CVPixelBufferRef frame, CMTime t) {
            if (!gate->open) return;
            sink(gate->empty ? CVPixelBufferRef{} : frame, t);
        });
    }

private:
    std::shared_ptr<Gate> gate_;
};

// The mean of the drawn preview's pixels, per channel (B, G, R).
std::array<double, 3> meanColour(const GLKView& view) {
    std::array<double, 3> sum{0, 0, 0};
    auto image = view.layer()->contents();
    if (!image) return sum;
    const int w = image->width(), h = image->height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) sum[c] += image->data()[y * image->bytesPerRow() + x * 4 + c];
    for (auto& v : sum) v /= double(w) * h;
    return sum;
}

}  // namespace

struct CameraScreenPreviewTest : CameraScreenTest {
    void useGatedCamera() {
        gate = std::make_shared<Gate>();
        useCameras(syntheticBackCameraCapabilities(), syntheticFrontCameraCapabilities(), still(),
                   std::make_unique<GatedCamera>(gate));
    }
    std::shared_ptr<Gate> gate;
};

TEST_F(CameraScreenPreviewTest, FramesAreDrawnAtTheTimersPaceAndFittedBetweenTheBars) {
    showScreen();
    auto preview = screen->previewIfMade();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(screen->previewRoad()->lastScreen());
    EXPECT_TRUE(screen->previewRoad()->lastFilter());
    auto before = preview->presentCount();
    step(1.0);
    auto drawn = preview->presentCount() - before;
    EXPECT_GE(drawn, 18u);
    EXPECT_LE(drawn, 21u);

    // The 3:4 picture on the 375 x 667 phone: the layout of the placement rule, to the point.
    auto root = screen->view();
    PreviewRoom room;
    room.view = root->bounds().size;
    room.topGuide = root->safeAreaInsets().top;
    room.bottomGuide = root->safeAreaInsets().bottom;
    room.topBar = screen->views().top->bounds().size.height;
    room.bottomBar = screen->views().bottom->bounds().size.height;
    auto extent = screen->previewRoad()->lastScreen()->extent();
    EXPECT_NEAR(extent.size.width / extent.size.height, 0.75, 0.01);
    auto in = previewInsets(extent.size, room);
    EXPECT_NEAR(preview->frame().origin.y, in.dt, 0.5);
    EXPECT_NEAR(preview->frame().size.height, room.view.height - in.dt + in.db, 0.5);
    EXPECT_EQ(screen->views().ui->frame(), preview->frame());
    // The zoom slider stands upright about 20 points inside the picture's right edge.
    EXPECT_NEAR(screen->views().slZoom->center().x, preview->frame().origin.x + preview->frame().size.width + 80 - 100,
                1);
}

TEST_F(CameraScreenPreviewTest, AStalledCameraIsRestartedOnceASecondAndKeepsItsPoints) {
    useGatedCamera();
    showScreen();
    screen->setLastFocused({0.2, 0.3});
    gate->open = false;
    std::vector<std::shared_ptr<CameraHost>> hosts{screen->hosts().stored()};
    for (int i = 0; i < 350; ++i) {
        step(0.01);
        auto h = screen->hosts().stored();
        if (h && h != hosts.back()) hosts.push_back(h);
    }
    // At about 1, 2 and 3 s after the last frame (each session gets its full second).
    EXPECT_GE(hosts.size(), 3u);
    EXPECT_LE(hosts.size(), 4u);
    EXPECT_EQ(screen->lastFocused(), (CGPoint{0.2, 0.3}));

    gate->open = true;
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    auto host = screen->hosts().stored();
    step(1.5);
    EXPECT_EQ(screen->hosts().stored(), host);
    EXPECT_FALSE(screen->noFocusReset());
}

TEST_F(CameraScreenPreviewTest, TimeInWhichTheLoopDidNotTurnIsNotCountedAsTheCamerasSilence) {
    useGatedCamera();
    showScreen();
    const auto host = screen->hosts().stored();
    // The process stopped for three seconds: neither frames nor a turn of the loop in that time,
    // and the first tick after it still without a frame.
    gate->open = false;
    Clock::advanceVirtual(3);
    step(0.05);
    gate->open = true;
    step(0.5);
    EXPECT_EQ(screen->hosts().stored(), host);

    // A second without frames while the loop turns is a stall.
    gate->open = false;
    step(1.2);
    EXPECT_NE(screen->hosts().stored(), host);
}

TEST_F(CameraScreenPreviewTest, FramesWithoutPixelsAreSkippedAndTheScreenCarriesOn) {
    useGatedCamera();
    showScreen();
    auto drawnBefore = screen->previewIfMade()->presentCount();
    gate->empty = true;
    step(0.5);
    auto host = screen->hosts().stored();
    gate->empty = false;
    step(0.5);
    EXPECT_EQ(screen->hosts().stored(), host);
    EXPECT_GT(screen->previewIfMade()->presentCount(), drawnBefore);
}

TEST_F(CameraScreenPreviewTest, WhileAShotHoldsThePictureFramesArriveButNothingIsDrawn) {
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.sceneMoves = true; });
    showScreen();
    screen->holdShots = true;
    screen->onShot();
    ASSERT_EQ(screen->shotPhase(), ShotPhase::Shooting);
    auto preview = screen->previewIfMade();
    auto drawn = preview->presentCount();
    auto frame = screen->previewRoad()->lastScreen();
    step(0.5);
    EXPECT_EQ(preview->presentCount(), drawn);
    EXPECT_NE(screen->previewRoad()->lastScreen(), frame);
    screen->releaseShots();
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    step(0.2);
    EXPECT_GT(preview->presentCount(), drawn);
}

TEST_F(CameraScreenPreviewTest, TheScreensFilterChangesThePreviewsPixels) {
    showScreen();
    step(0.2);
    auto plain = meanColour(*screen->previewIfMade());
    screen->setScreenElement(FilterMyElement::withDesc(Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"value", Value::dictionary({{"inputBrightness", Value::dictionary({{"value", Value(0.4)}})}})}})));
    step(0.2);
    auto bright = meanColour(*screen->previewIfMade());
    for (int c = 0; c < 3; ++c) EXPECT_GT(bright[c], plain[c] + 40) << c;
}

TEST_F(CameraScreenPreviewTest, ThePictureFadesInWhenItIsFirstLaidOut) {
    screen = RecordingScreen::make();
    show(screen);
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }, 5.0));
    EXPECT_TRUE(screen->previewRoad()->flagFade());
    auto preview = screen->previewIfMade();
    step(0.04);  // the first tick of the fade
    EXPECT_LT(preview->alpha(), 0.5);
    EXPECT_TRUE(screen->views().ui->isHidden());
    EXPECT_LT(screen->views().ui->alpha(), 0.5);
    step(0.3);
    EXPECT_DOUBLE_EQ(preview->alpha(), 1.0);
    EXPECT_FALSE(screen->views().ui->isHidden());
    EXPECT_FALSE(screen->previewRoad()->fading());
    // The gesture layer and the zoom slider are back at full strength, not left at the last tick's.
    EXPECT_DOUBLE_EQ(screen->views().ui->alpha(), 1.0);
    EXPECT_NEAR(screen->views().slZoom->alpha(), 0.4, 1e-6);
}

TEST_F(CameraScreenPreviewTest, TurningTheScreenLaysThePictureOutAgainAndBack) {
    showScreen();
    step(0.2);
    auto preview = screen->previewIfMade();
    auto root = screen->view();
    const CGRect upright = preview->frame();
    const CGPoint sliderUpright = screen->views().slZoom->center();

    UIScreen::mainScreen()->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    step(0.3);
    const CGSize turned = root->bounds().size;
    EXPECT_GT(turned.width, turned.height) << "the screen's view takes the turned screen";
    PreviewRoom room;
    room.view = turned;
    room.topGuide = root->safeAreaInsets().top;
    room.bottomGuide = root->safeAreaInsets().bottom;
    room.topBar = screen->views().top->bounds().size.height;
    room.bottomBar = screen->views().bottom->bounds().size.height;
    auto in = previewInsets(screen->previewRoad()->lastScreen()->extent().size, room);
    EXPECT_NEAR(preview->frame().origin.x, in.dl, 0.5);
    EXPECT_NEAR(preview->frame().size.width, turned.width - in.dl + in.dr, 0.5);
    EXPECT_EQ(screen->views().ui->frame(), preview->frame());

    UIScreen::mainScreen()->setOrientation(UIInterfaceOrientation::Portrait);
    step(0.3);
    EXPECT_EQ(preview->frame(), upright) << "back where it was, without a capture restart";
    EXPECT_EQ(screen->views().ui->frame(), upright);
    EXPECT_NEAR(screen->views().slZoom->center().x, sliderUpright.x, 0.5);
}

// While the main thread lags, one showing is owed to it, and that one shows the newest frame: the
// frames in between are not queued up for it, each holding its pixels.
TEST(PreviewRoadShowing, AMainThreadThatLagsIsOwedOneShowingOfTheNewestFrame) {
    auto road = PreviewRoad::make();
    auto frame = [] {
        return CIImage::imageWithBitmapData(std::vector<std::uint8_t>(8 * 6 * 4, 0x80), 8 * 4, 8, 6, CIFormat::BGRA8);
    };
    EXPECT_TRUE(road->storeToShow(frame(), 1.0));
    EXPECT_FALSE(road->storeToShow(frame(), 1.05));
    auto newest = frame();
    EXPECT_FALSE(road->storeToShow(newest, 1.1));
    road->showNewest(3.0 / 4);
    EXPECT_EQ(road->lastSample(), newest);
    EXPECT_TRUE(road->lastScreen());
    // Shown: the next frame asks for a showing of its own.
    EXPECT_TRUE(road->storeToShow(frame(), 1.15));
}

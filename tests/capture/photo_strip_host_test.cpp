// The photo-strip host: the strip's size and buttons for several photo counts, the flight of a
// tapped photo onto the large image on the virtual clock, and recording that never writes.
#include <cstdlib>

#include "capture/camera_video_photo_host.h"
#include "capture/photo_strip_layout.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "tests/capture/capture_engine_test_support.h"

class PhotoStripHostTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        photo = (root_ / "photo.png").string();
        ASSERT_EQ(
            std::system(("ffmpeg -v error -y -f lavfi -i color=c=red:s=40x30 -frames:v 1 '" + photo + "'").c_str()), 0);
        // Animations run for views in the application's windows.
        UIApplication::resetSharedApplication();
        UIViewAnimation::reset();
        window = UIWindow::make(CGRect{{0, 0}, {375, 667}});
        window->makeKeyAndVisible();
        parent = UIView::make();
        parent->setFrame({{0, 0}, {375, 667}});
        window->addSubview(parent);
    }
    void TearDown() override {
        parent.reset();
        window.reset();
        UIApplication::resetSharedApplication();
        CaptureEngineTest::TearDown();
    }
    std::shared_ptr<CameraVideoPhotoHost> makeHost(std::size_t count) {
        return CameraVideoPhotoHost::make(parent, std::vector<std::string>(count, photo));
    }
    std::vector<std::shared_ptr<UIView>> buttons(const std::shared_ptr<CameraVideoPhotoHost>& host) {
        std::vector<std::shared_ptr<UIView>> out;
        for (auto& v : host->sel()->subviews())
            if (v->tag() >= CameraVideoPhotoHost::kFirstTag) out.push_back(v);
        return out;
    }
    std::string photo;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<UIView> parent;
};

TEST_F(PhotoStripHostTest, TheStripFitsItsPhotosOrTheParent) {
    auto three = makeHost(3);
    EXPECT_EQ(three->sel()->frame().size.width, 188);
    EXPECT_EQ(three->sel()->frame().size.height, 64);
    EXPECT_EQ(three->sel()->frame().origin.y, 667 - 150 - 64);
    EXPECT_EQ(three->sel()->contentSize().width, 188);
    auto b = buttons(three);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0]->frame().origin.x, 2);
    EXPECT_EQ(b[1]->frame().origin.x, 64);
    EXPECT_EQ(b[2]->frame().origin.x, 126);
    EXPECT_EQ(three->view()->frame().size, (CGSize{375, 667}));

    auto ten = makeHost(10);
    EXPECT_EQ(ten->sel()->frame().size.width, 275);
    EXPECT_EQ(ten->sel()->contentSize().width, 622);
    EXPECT_EQ(buttons(ten)[3]->tag(), 1003);

    auto none = makeHost(0);
    EXPECT_EQ(none->sel()->frame().size.width, 2);
    EXPECT_TRUE(buttons(none).empty());
}

TEST_F(PhotoStripHostTest, ATappedPhotoFliesOntoTheLargeImage) {
    auto host = makeHost(3);
    auto button = buttons(host)[1];
    std::size_t before = host->view()->subviews().size();
    host->onImage(*button);
    EXPECT_EQ(host->view()->subviews().size(), before + 1);
    EXPECT_FALSE(host->image()->image());
    advance(0.25);
    EXPECT_FALSE(host->image()->image());
    advance(0.35);
    ASSERT_TRUE(host->image()->image());
    EXPECT_EQ(host->image()->image()->size().width, 40);
    EXPECT_EQ(host->view()->subviews().size(), before);

    auto stray = UIView::make();
    stray->setTag(1007);  // no eighth photo
    host->onImage(*stray);
    EXPECT_EQ(host->view()->subviews().size(), before);
}

TEST_F(PhotoStripHostTest, RecordingWithoutACameraNeverWrites) {
    auto host = makeHost(1);
    EXPECT_FALSE(host->captureVideo());
    bool started = false;
    host->start([&](bool ok) { started = ok; });
    settle();
    ASSERT_TRUE(started);
    int paused = 0;
    bool ok = true;
    host->record({});
    settle();
    advance(0.5);
    host->pause([&](bool b) { ++paused, ok = b; });
    settle();
    EXPECT_EQ(paused, 1);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(host->segs().empty());
    host->stop({});
    settle();
}

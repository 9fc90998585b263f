// The screen's answers to its pop-ups, the volume buttons and its own appearance, one row each:
// what the callback is given, and what the screen, the camera and the settings file show after.
#include "app/rate/rate_prompt.h"
#include "camera/options/pop_option_view.h"
#include "camera/overlays/guide_view.h"
#include "editor/browser/pop_filter_main_view.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_value.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "ui/controls/anim_button.h"

namespace {

struct CallbackRow;

struct CameraScreenCallbacksTest : CameraScreenTest, ::testing::WithParamInterface<CallbackRow> {
    // The setting as the settings file holds it.
    static Value stored(const char* key) {
        auto path = Global::shared()->getLastInfoPath();
        auto file = path ? GlobalBase::loadFromFilePath(*path) : std::nullopt;
        return file && file->isDictionary() ? (*file)[key] : Value();
    }
    std::shared_ptr<AVCaptureSession> session() {
        auto host = screen->hosts().stored();
        return host ? host->session() : nullptr;
    }
    bool restartedFrom(const std::shared_ptr<AVCaptureSession>& before) {
        return stepUntil([&] {
            return screen->hosts().state() == ViewController::CaptureState::Running && session() && session() != before;
        });
    }
    double shownAt = 0;
    std::shared_ptr<AVCaptureSession> sessionBefore;
};

struct CallbackRow {
    const char* name;
    std::function<void(CameraScreenCallbacksTest&)> before;  // ahead of the screen's appearance
    std::function<void(CameraScreenCallbacksTest&)> act;
    std::function<void(CameraScreenCallbacksTest&)> check;
};

void PrintTo(const CallbackRow& row, std::ostream* out) {
    *out << row.name;
}

void nothing(CameraScreenCallbacksTest&) {}

const CallbackRow kRows[] = {
    {"FilterPopUpShownRestartsCapture", nothing,
     [](auto& t) { t.screen->popups().onPopFilterMainViewDidShow(*t.screen->popups().filter()); },
     [](auto& t) { EXPECT_TRUE(t.restartedFrom(t.sessionBefore)); }},

    {"OptionPopUpHidingRestartsCapture", nothing,
     [](auto& t) { t.screen->popups().onPopOptionViewWillHide(*t.screen->popups().option()); },
     [](auto& t) { EXPECT_TRUE(t.restartedFrom(t.sessionBefore)); }},

    {"GridOffIsSavedAndTheGuideFadesOutInHalfASecond", nothing,
     [](auto& t) {
         ASSERT_FALSE(t.screen->views().guideView->isHidden());
         Global::shared()->setGridMode(false);  // the pop-up wrote its setting
         t.screen->popups().onPopOptionViewGrid(*t.screen->popups().option());
     },
     [](auto& t) {
         EXPECT_EQ(t.stored("gridMode"), Value(false));
         auto guide = t.screen->views().guideView;
         t.step(0.25);
         const double half = *CAValueNumber(CAAnimationEngine::presentedValue(*guide->layer(), "opacity"));
         EXPECT_GT(half, 0.05);
         EXPECT_LT(half, 0.95);
         t.step(0.3);
         EXPECT_EQ(guide->alpha(), 0);
     }},

    {"ShotModeHidesThePopUpThenSavesAndRestarts", nothing,
     [](auto& t) {
         t.screen->popups().onOption();
         t.step(0.5);
         ASSERT_FALSE(t.screen->popups().option()->hidden());
         Global::shared()->setShotMode(ShotMode::Burst);
         t.screen->popups().onPopOptionViewShotMode(*t.screen->popups().option());
     },
     [](auto& t) {
         EXPECT_TRUE(t.stepUntil([&] { return t.screen->popups().option()->hidden(); }));
         EXPECT_TRUE(t.restartedFrom(t.sessionBefore));
         EXPECT_EQ(t.stored("shotMode").integerValue(), 1);
     }},

    {"ShotModeIsStoredThoughThePopUpsHidingIsCutShort", nothing,
     [](auto& t) {
         t.screen->popups().onOption();
         t.step(0.5);
         Global::shared()->setShotMode(ShotMode::Burst);
         t.screen->popups().onPopOptionViewShotMode(*t.screen->popups().option());
         t.screen->popups().option()->hide([] {});  // a tap outside at once takes the hiding over
     },
     [](auto& t) {
         EXPECT_TRUE(t.stepUntil([&] { return t.screen->popups().option()->hidden(); }));
         EXPECT_EQ(t.stored("shotMode").integerValue(), 1);
     }},

    {"BothVolumeButtonsSwapTheCamera", nothing,
     [](auto& t) { asAssistantDelegate(*t.screen).onCameraAssistantVolumeDblButton(nullptr); },
     [](auto& t) {
         EXPECT_TRUE(t.stepUntil([&] { return t.screen->hosts().device() == t.front(); }));
         EXPECT_EQ(Global::shared()->position(), CameraSide::Front);
         EXPECT_EQ(t.stored("position").integerValue(), 2);
     }},

    {"ManualOnACameraWithoutManualControlsSaysSo",
     [](auto&) {
         auto caps = syntheticBackCameraCapabilities();
         caps.focusModes.erase(AVCaptureFocusMode::Locked);
         caps.exposureModes.erase(AVCaptureExposureMode::Custom);
         caps.whiteBalanceModes.erase(AVCaptureWhiteBalanceMode::Locked);
         CameraScreenTest::useCameras(caps, syntheticFrontCameraCapabilities());
     },
     [](auto& t) { t.screen->popups().onManual(t.screen->views().btnManual); },
     [](auto& t) {
         t.settleAll();
         auto alert = std::dynamic_pointer_cast<UIAlertController>(t.screen->presentedViewController());
         ASSERT_TRUE(alert);
         EXPECT_EQ(alert->message(), "MANUAL CONTROL NOT SUPPORTED");
         EXPECT_TRUE(!t.screen->popups().manualIfMade() || t.screen->popups().manualIfMade()->hidden());
     }},

    {"AChosenFilterIsRememberedByName", nothing,
     [](auto& t) {
         const Value desc = Value::dictionary({{"name", Value("CISepiaTone")}});
         t.screen->popups().onPopFilterMainViewFilterSelected(*t.screen->popups().filter(),
                                                              FilterPersistElement::withKey("callbacks-sepia", desc));
     },
     [](auto& t) {
         ASSERT_TRUE(t.screen->screenElement());
         const auto name = Global::shared()->lastFilterName();
         ASSERT_TRUE(name);
         EXPECT_FALSE(name->empty());
         EXPECT_EQ(*name, t.screen->screenElement()->displayName());
     }},

    {"TheRatingTermsAreSetFiveSecondsAfterTheScreenAppears", [](auto&) { RatePrompt::resetSharedInstance(); }, nothing,
     [](auto& t) {
         const double defaultDays = RatePrompt::sharedInstance()->daysUntilPrompt;
         t.step(4.9 - (Clock::now() - t.shownAt));
         EXPECT_EQ(RatePrompt::sharedInstance()->daysUntilPrompt, defaultDays);
         t.step(0.2);
         EXPECT_EQ(RatePrompt::sharedInstance()->daysUntilPrompt, 3);
         EXPECT_EQ(RatePrompt::sharedInstance()->usesUntilPrompt, 1u);
     }},
};

}  // namespace

TEST_P(CameraScreenCallbacksTest, AnswersAsTheRowSays) {
    const CallbackRow& row = GetParam();
    row.before(*this);
    shownAt = Clock::now();
    showScreen();
    ASSERT_TRUE(stepUntil([&] { return screen->hosts().state() == ViewController::CaptureState::Running; }));
    sessionBefore = session();
    row.act(*this);
    if (HasFatalFailure()) return;
    row.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Screen, CameraScreenCallbacksTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CallbackRow>& info) {
                             return std::string(info.param.name);
                         });

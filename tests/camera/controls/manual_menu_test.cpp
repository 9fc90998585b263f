// The manual-control menu: its entries, which controls it offers, "NOT SUPPORTED", taps outside,
// the memory of what it relayed to the host, and each pop-up's own kind of delegate.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_invalid_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "platform/ui/control/ui_button.h"
#include "tests/camera/controls/manual_test_support.h"
#include "widgets/button/icon_button.h"
#include "widgets/button/ns_string_font_awesome.h"
#include "widgets/scroll/scroll_label.h"

namespace {

struct Menu : ManualTest {
    void open() {
        menu->show(sender, [] {});
        step(0.4);
    }
    void take(PopManualControl& pop, const std::shared_ptr<ManualSliderView>& ruler, double value) {
        pop.onManualSliderViewDidChange(*ruler, value);
    }
};

// A pop-up's delegate is its own kind, which adopts the common questions, and the menu is of that
// kind.
template <class Pop, class Kind>
constexpr bool takesItsOwnKind() {
    using Setter = void (Pop::*)(const std::shared_ptr<Kind>&);
    using Getter = std::shared_ptr<Kind> (Pop::*)() const;
    return std::is_base_of_v<PopManualBaseDelegate, Kind> && std::is_convertible_v<PopManualView*, Kind*> &&
           std::is_same_v<decltype(&Pop::setDelegate), Setter> && std::is_same_v<decltype(&Pop::delegate), Getter>;
}
static_assert(takesItsOwnKind<PopManualFocusView, PopManualFocusViewDelegate>());
static_assert(takesItsOwnKind<PopManualExpView, PopManualExpViewDelegate>());
static_assert(takesItsOwnKind<PopManualWBView, PopManualWBViewDelegate>());
static_assert(takesItsOwnKind<PopManualInvalidView, PopManualInvalidViewDelegate>());

// What a listener of several kinds heard: the kind that heard it, the report and its sender.
struct Heard {
    std::shared_ptr<ManualHost> host;
    std::vector<std::tuple<std::string, std::string, const PopManualBase*>> log;
};

// One kind's side of such a listener; the camera's questions go on to the test's host.
template <class Kind>
struct Ear : Kind {
    Ear(const char* k, Heard& h) : kind(k), heard(h) {}
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase& s) override {
        return heard.host->onPopManualBaseGetQueue(s);
    }
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase& s) override {
        return heard.host->onPopManualBaseGetDevice(s);
    }
    void onPopManualBaseChanged(PopManualBase& s, bool) override { heard.log.emplace_back(kind, "changed", &s); }
    void onPopManualBaseDidHide(PopManualBase& s) override { heard.log.emplace_back(kind, "hid", &s); }
    const char* kind;
    Heard& heard;
};

struct AllKinds : Heard,
                  Ear<PopManualFocusViewDelegate>,
                  Ear<PopManualExpViewDelegate>,
                  Ear<PopManualWBViewDelegate>,
                  Ear<PopManualInvalidViewDelegate> {
    explicit AllKinds(std::shared_ptr<ManualHost> h)
        : Heard{std::move(h), {}},
          Ear<PopManualFocusViewDelegate>("focus", *this),
          Ear<PopManualExpViewDelegate>("exposure", *this),
          Ear<PopManualWBViewDelegate>("white balance", *this),
          Ear<PopManualInvalidViewDelegate>("not supported", *this) {}
};

}  // namespace

TEST_F(Menu, EntriesCarryTheGlyphOfAControlHeldByHand) {
    const std::string glyph = fa_stringForFontAwesomeIcon(PopManualView::kManualGlyph);
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu()),
              (std::vector<std::string>{"FOCUS ", "EXPOSURE ", "WHITE BALANCE "}));
    menu->popExp()->updateStatus();  // the camera's range, read as the pop-up shows
    take(*menu->popExp(), menu->popExp()->sldISO(), 40);
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu()),
              (std::vector<std::string>{"FOCUS ", "EXPOSURE " + glyph, "WHITE BALANCE "}));
    EXPECT_TRUE(menu->isUserManual());
    menu->setAuto();
    EXPECT_FALSE(menu->isUserManual());
    EXPECT_EQ(menu->onMenuLabelViewGetArray(*menu->menu())[1], "EXPOSURE ");
}

TEST_F(Menu, ManualIsUnsupportedOnlyWhenNoControlCanBeSetByHand) {
    EXPECT_TRUE(menu->isManualSupported());
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes.erase(AVCaptureFocusMode::Locked);
    caps.exposureModes.erase(AVCaptureExposureMode::Custom);
    host->setDevice(makeCamera(caps));
    EXPECT_TRUE(menu->isManualSupported()) << "white balance is still there";
    caps.whiteBalanceModes.erase(AVCaptureWhiteBalanceMode::Locked);
    host->setDevice(makeCamera(caps));
    EXPECT_FALSE(menu->isManualSupported());
    host->setDevice(nullptr);
    EXPECT_FALSE(menu->isManualSupported());
}

TEST_F(Menu, ANewCameraSessionTakesTheHeldValuesOrReturnsToAutomaticWithoutThem) {
    auto exp = menu->popExp();
    exp->updateStatus();
    take(*exp, exp->sldShutterSpeed(), 40);
    exp->captureDidStart();
    drain();
    EXPECT_EQ(host->device()->exposureMode(), AVCaptureExposureMode::Custom) << "sent at once, not at a tick";
    EXPECT_TRUE(exp->timerRunning());
    // A camera that cannot take them: the control says automatic, as the camera is.
    auto caps = syntheticBackCameraCapabilities();
    caps.exposureModes.erase(AVCaptureExposureMode::Custom);
    host->setDevice(makeCamera(caps));
    exp->captureDidStart();
    EXPECT_FALSE(menu->isUserManual());
}

TEST_F(Menu, AnUnsupportedControlOpensNotSupportedUnderItsName) {
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes.erase(AVCaptureFocusMode::Locked);
    host->setDevice(makeCamera(caps));
    open();
    auto& entry = *menu->menu()->buttons()[0];
    menu->onMenuLabelViewLabelTap(*menu->menu(), 0, entry);
    step(0.4);
    EXPECT_FALSE(menu->popInvalid()->hidden());
    EXPECT_EQ(menu->popInvalid()->titleView()->lblTitle()->text(), "FOCUS");
    // Where the notice lies over the menu's own title, its plate hides that title.
    auto inWindow = [](const std::shared_ptr<UIView>& v) { return v->convertRectToView(v->bounds(), nullptr); };
    auto notice = menu->popInvalid()->label();
    if (CGRectIntersectsRect(inWindow(notice), inWindow(menu->titleView()->lblTitle()))) {
        ASSERT_TRUE(notice->backgroundColor()) << "the menu's title shows through the notice";
        EXPECT_DOUBLE_EQ(notice->backgroundColor()->cgColor().alpha, 1.0);
    }
    EXPECT_TRUE(menu->popFocus()->hidden());
    EXPECT_FALSE(menu->popFocus()->timerRunning());

    // A supported one opens its own pop-up; an index past the three does nothing.
    menu->onMenuLabelViewLabelTap(*menu->menu(), 1, *menu->menu()->buttons()[1]);
    step(0.4);
    EXPECT_FALSE(menu->popExp()->hidden());
    EXPECT_EQ(menu->popExp()->titleView()->lblTitle()->text(), "EXPOSURE");
    menu->onMenuLabelViewLabelTap(*menu->menu(), 3, entry);
}

TEST_F(Menu, ATapOutsideClosesOnlyTheTopPopUpAndTheMenuOffersAllAuto) {
    open();
    menu->menu()->onLabel(*menu->menu()->buttons()[0]);
    step(0.4);
    auto focus = menu->popFocus();
    ASSERT_FALSE(focus->hidden());
    take(*focus, focus->sldFocus(), 30);
    tick();
    tick();

    tap({5, 5});
    step(0.4);
    EXPECT_TRUE(focus->hidden());
    EXPECT_FALSE(menu->hidden());
    EXPECT_EQ(host->didHide, 0) << "the control reports to the menu, not to the host";
    EXPECT_EQ(menu->menu()->lastSelection(), -1);
    EXPECT_TRUE(menu->titleView()->btnRight() && !menu->titleView()->btnRight()->isHidden());
    EXPECT_TRUE(focus->timerRunning()) << "held by hand, it keeps the device in line while hidden";

    // A tap inside the panel keeps it; outside it closes the menu and tells the host.
    const CGRect panel = menu->container()->convertRectToView(menu->container()->bounds(), window);
    tap({panel.origin.x + 10, panel.origin.y + 10});
    step(0.4);
    EXPECT_FALSE(menu->hidden());
    tap({5, 5});
    step(0.4);
    EXPECT_TRUE(menu->hidden());
    EXPECT_EQ(host->didHide, 1);
}

TEST_F(Menu, TheTitleBarGivesWayWhileAControlIsOpenOverIt) {
    open();
    EXPECT_EQ(menu->titleView()->alpha(), 1);
    for (int entry : {1, 2}) {
        menu->onMenuLabelViewLabelTap(*menu->menu(), entry, *menu->menu()->buttons()[entry]);
        step(0.4);
        EXPECT_EQ(menu->titleView()->alpha(), 0) << "\"MANUAL CONTROL\" and ALL AUTO would show through";
        tap({5, 5});
        step(0.4);
        EXPECT_FALSE(menu->hidden());
        EXPECT_EQ(menu->titleView()->alpha(), 1) << "back once the control has closed";
    }
}

TEST_F(Menu, TheRelayMemoryIsSharedByTheThreeControls) {
    // Focus held by hand (hidden, its timer keeps running) and exposure open and automatic: each
    // settled tick of one undoes what the other relayed.
    take(*menu->popFocus(), menu->popFocus()->sldFocus(), 70);
    menu->popFocus()->restartTimer();
    menu->popExp()->show(sender, [] {});
    step(0.4);
    tick();
    host->changed.clear();
    tick();
    tick();
    ASSERT_GE(host->changed.size(), 3u);
    for (std::size_t i = 1; i < host->changed.size(); ++i) EXPECT_NE(host->changed[i], host->changed[i - 1]);

    // All three by hand: one relay at most, then quiet.
    take(*menu->popExp(), menu->popExp()->sldISO(), 40);
    take(*menu->popWB(), menu->popWB()->sldTint(), 40);
    menu->popWB()->restartTimer();
    tick();
    tick();
    host->changed.clear();
    tick();
    tick();
    EXPECT_TRUE(host->changed.empty());
}

TEST_F(Menu, EachPopUpAsksAndTellsThroughItsOwnKindOfDelegate) {
    // The menu is each of its pop-ups' delegate as that pop-up's own kind.
    EXPECT_EQ(menu->popFocus()->delegate().get(), static_cast<PopManualFocusViewDelegate*>(menu.get()));
    EXPECT_EQ(menu->popExp()->delegate().get(), static_cast<PopManualExpViewDelegate*>(menu.get()));
    EXPECT_EQ(menu->popWB()->delegate().get(), static_cast<PopManualWBViewDelegate*>(menu.get()));
    EXPECT_EQ(menu->popInvalid()->delegate().get(), static_cast<PopManualInvalidViewDelegate*>(menu.get()));

    // A listener of all four kinds hears each pop-up on that pop-up's kind, and only there.
    auto ears = std::make_shared<AllKinds>(host);
    auto focus = PopManualFocusView::make(screenVC);
    auto exp = PopManualExpView::make(screenVC);
    auto wb = PopManualWBView::make(screenVC);
    auto invalid = PopManualInvalidView::make(screenVC);
    focus->setDelegate(ears);
    exp->setDelegate(ears);
    wb->setDelegate(ears);
    invalid->setDelegate(ears);
    const std::map<std::string, const PopManualBase*> own{
        {"focus", focus.get()}, {"exposure", exp.get()}, {"white balance", wb.get()}, {"not supported", invalid.get()}};
    for (const std::shared_ptr<PopManualControl>& pop :
         {std::shared_ptr<PopManualControl>(focus), std::shared_ptr<PopManualControl>(exp),
          std::shared_ptr<PopManualControl>(wb)}) {
        EXPECT_TRUE(pop->isManualSupported()) << pop->className() << " asks for the camera";
        pop->show(sender, [] {});
        tick();
        pop->hide([] {});
        step(0.4);
    }
    invalid->show(sender, "FOCUS", [] {});
    step(0.4);
    invalid->hide([] {});
    step(0.4);
    std::vector<std::string> hid, changed;
    for (const auto& [kind, report, from] : ears->log) {
        EXPECT_EQ(from, own.at(kind)) << kind << " heard " << report << " from another pop-up";
        (report == "hid" ? hid : changed).push_back(kind);
    }
    EXPECT_EQ(hid, (std::vector<std::string>{"focus", "exposure", "white balance", "not supported"}));
    for (const char* kind : {"focus", "exposure", "white balance"})
        EXPECT_NE(std::find(changed.begin(), changed.end(), kind), changed.end()) << kind;

    // The pop-ups do not keep their delegate alive: without it there is no camera to ask.
    std::weak_ptr<AllKinds> gone = ears;
    ears.reset();
    EXPECT_TRUE(gone.expired());
    EXPECT_FALSE(focus->delegate());
    EXPECT_FALSE(exp->isManualSupported());
    for (const std::shared_ptr<PopManualBase>& pop :
         {std::shared_ptr<PopManualBase>(focus), std::shared_ptr<PopManualBase>(exp),
          std::shared_ptr<PopManualBase>(wb)})
        pop->resetTimer();
}

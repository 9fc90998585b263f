// The licences screen and the acknowledgements list files: the given order and texts, the list
// file's elements, header and footer, line breaks inside paragraphs and the locale sort.
#include <cmath>
#include <filesystem>

#include "app/base/my_navigation_controller.h"
#include "app/shell/root_controller.h"
#include "app/web/my_web_controller.h"
#include "platform/image/cg_image.h"
#include "platform/runtime/log.h"
#include "platform/runtime/source_resources.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/bar/bar_item_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/view/ui_appearance.h"
#include "settings/licenses/acknowledgement_view_controller.h"
#include "settings/licenses/acknowledgements_parser.h"
#include "settings/licenses/licenses_controller.h"
#include "settings/licenses/third_party_components.h"
#include "tests/settings/settings_screen_support.h"

namespace {
std::string entry(const std::string& title, const std::string& text) {
    return "<dict><key>Title</key><string>" + title + "</string><key>FooterText</key><string>" + text +
           "</string><key>License</key><string>MIT</string></dict>";
}

std::string listFile(const std::vector<std::string>& elements) {
    std::string body;
    for (const auto& e : elements) body += e;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
           "<key>PreferenceSpecifiers</key><array>" +
           body + "</array></dict></plist>";
}

std::vector<std::string> titles(const std::vector<std::shared_ptr<Acknowledgement>>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e->title());
    return out;
}
}  // namespace

struct Licences : SettingsScreenTest {
    std::string writeList(const std::string& name, const std::string& text) {
        writeFile("bundle/" + name + ".plist", text);
        return folders.pathOf("bundle/" + name + ".plist");
    }
};

TEST_F(Licences, GivenNamesKeepTheirOrderAndAMissingTextIsEmpty) {
    writeFile("bundle/licenses/Zeta.txt", "Zeta licence\nsecond line");
    writeFile("bundle/licenses/Alpha.txt", "Alpha licence");
    LogCapture log;
    auto screen = LicensesController::make(std::vector<std::string>{"Zeta", "Missing", "Alpha"});
    EXPECT_EQ(titles(screen->acknowledgements()), (std::vector<std::string>{"Zeta", "Missing", "Alpha"}));
    EXPECT_EQ(screen->acknowledgements()[0]->text(), "Zeta licence\nsecond line") << "read as it stands";
    EXPECT_EQ(screen->acknowledgements()[1]->text(), "");
    EXPECT_TRUE(log.contains("no licence text for \"Missing\""));

    window->setRootViewController(MyNavigationController::withRoot(screen));
    settle();
    EXPECT_EQ(screen->footerText(), "") << "an empty footer area";
    auto footer = screen->tableView()->tableFooterView();
    ASSERT_TRUE(footer);
    const CGFloat labelWidth = screen->view()->bounds().size.width - 2 * AcknowledgementsViewController::kLabelMargin;
    EXPECT_EQ(footer->frame().size.height, screen->heightForLabelWithText("", labelWidth) + 20);
    EXPECT_EQ(screen->tableView()->numberOfRowsInSection(0), 3u);

    screen->tableView()->tapRowAtIndexPath({0, 1});
    advance(1);
    auto detail =
        std::dynamic_pointer_cast<AcknowledgementViewController>(screen->navigationController()->topViewController());
    ASSERT_TRUE(detail) << "a row without text still opens";
    EXPECT_EQ(detail->title(), "Missing");
    EXPECT_EQ(detail->textView()->text(), "");
}

TEST_F(Licences, ALongLicenceTextScrollsUnderTheFinger) {
    // A shipped licence, with its addresses and paragraphs.
    NSBundle::setMainBundleRoot(kSourceResourcesFolder);
    auto screen = LicensesController::make(thirdPartyComponents());
    window->setRootViewController(MyNavigationController::withRoot(screen));
    settle();
    screen->tableView()->tapRowAtIndexPath({0, 0});
    advance(1);
    auto detail =
        std::dynamic_pointer_cast<AcknowledgementViewController>(screen->navigationController()->topViewController());
    ASSERT_TRUE(detail);
    auto textView = detail->textView();
    settle();
    ASSERT_GT(textView->contentSize().height, textView->bounds().size.height * 2) << "more text than one screen";
    // A finger pushes the text up.
    static long id = 7000;
    ++id;
    const CGPoint from{180, 500};
    EXPECT_EQ(window->hitTest(from).get(), textView.get()) << "the finger lands on the text";
    auto shown = [&] { return LayerRenderer::snapshot(*textView->layer(), 1)->bytes(); };
    const auto atTop = shown();
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, from, UITouchPhase::Began}}});
    for (int i = 1; i <= 10; ++i) {
        advance(0.02);
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, {180, 500 - 30.0 * i}, UITouchPhase::Moved}}});
    }
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, {180, 200}, UITouchPhase::Ended}}});
    advance(1);
    EXPECT_GT(textView->contentOffset().y, 200);
    // What the screen shows moved with the text: it is what the text draws at the new offset.
    const auto scrolled = shown();
    EXPECT_NE(scrolled, atTop);
    textView->setNeedsDisplay();
    EXPECT_TRUE(scrolled == shown()) << "the picture was left from before the scroll";

    // The window delivers the moves that queued up during a slow frame together, with one time
    // stamp: the text still follows the finger.
    const double before = textView->contentOffset().y;
    ++id;
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, from, UITouchPhase::Began}}});
    advance(0.2);
    for (int i = 1; i <= 10; ++i)
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, {180, 500 - 30.0 * i}, UITouchPhase::Moved}}});
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, {180, 200}, UITouchPhase::Ended}}});
    advance(1);
    EXPECT_TRUE(std::isfinite(textView->contentOffset().y));
    EXPECT_GT(textView->contentOffset().y, before + 200);
}

TEST_F(Licences, DoneTakesTheBarButtonColourThatTheProgramSetsAtStart) {
    RootController::installAppearance();
    auto screen = LicensesController::make(std::vector<std::string>{"Zeta"});
    window->setRootViewController(MyNavigationController::withRoot(screen));
    settle();
    std::shared_ptr<BarItemView> done;
    std::vector<std::shared_ptr<UIView>> stack{screen->navigationController()->navigationBar()};
    while (!stack.empty() && !done) {
        auto v = stack.back();
        stack.pop_back();
        if (auto item = std::dynamic_pointer_cast<BarItemView>(v); item && item->item() == screen->bbDone())
            done = item;
        for (const auto& s : v->subviews()) stack.push_back(s);
    }
    ASSERT_TRUE(done) << "Done is in the bar";
    // Every fully covered pixel of the word is the palette's dark grey (0x55), none the blue default.
    auto image = LayerRenderer::snapshot(*done->layer(), 2);
    ASSERT_TRUE(image);
    int covered = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x) {
            const std::uint8_t* p = image->row(y) + 4 * x;
            if (p[3] != 255) continue;
            ++covered;
            for (int c = 0; c < 3; ++c) ASSERT_NEAR(p[c], 0x55, 3) << "at " << x << "," << y;
        }
    EXPECT_GT(covered, 10);
    UIAppearance::reset();
}

TEST_F(Licences, TheShippedComponentsEachHaveTheirText) {
    NSBundle::setMainBundleRoot(kSourceResourcesFolder);
    ASSERT_FALSE(thirdPartyComponents().empty());
    for (const auto& name : thirdPartyComponents()) EXPECT_FALSE(LicensesController::licenceText(name).empty()) << name;
}

TEST_F(Licences, ListFilesWithZeroToThreeElements) {
    const std::string a = entry("Bee", "b"), b = entry("Ant", "a"), c = entry("Cat", "c");
    auto parse = [&](const std::vector<std::string>& elements) {
        return AcknowledgementsParser::make(writeList("list", listFile(elements)));
    };
    auto none = parse({});
    EXPECT_TRUE(none->acknowledgements().empty());
    auto one = parse({a});
    EXPECT_EQ(titles(one->acknowledgements()), (std::vector<std::string>{"Bee"}));
    EXPECT_EQ(one->header(), "");
    EXPECT_EQ(one->footer(), "");
    auto two = parse({a, b});
    EXPECT_TRUE(two->acknowledgements().empty());
    EXPECT_EQ(two->header(), "b");
    EXPECT_EQ(two->footer(), "a");
    auto three = parse({a, b, c});
    EXPECT_EQ(titles(three->acknowledgements()), (std::vector<std::string>{"Ant"}));
    EXPECT_EQ(three->acknowledgements()[0]->license(), "MIT");
}

TEST_F(Licences, MalformedListFilesGiveNoEntries) {
    LogCapture log;
    for (const std::string& text :
         {std::string("not a property list"), std::string("<?xml version=\"1.0\"?><plist><array/></plist>"),
          listFile({"<string>odd</string>", "<integer>3</integer>", "<true/>"})}) {
        auto parser = AcknowledgementsParser::make(writeList("bad", text));
        for (const auto& e : parser->acknowledgements()) EXPECT_EQ(e->title(), "");
    }
    EXPECT_TRUE(AcknowledgementsParser::make(folders.pathOf("bundle/none.plist"))->acknowledgements().empty());
    EXPECT_TRUE(log.contains("acknowledgements"));
}

TEST_F(Licences, LineBreaksInsideAParagraphBecomeSpaces) {
    EXPECT_EQ(AcknowledgementsParser::stringByFilteringOutPrematureLineBreaksFromString("one\ntwo  \n  three\n\nnext"),
              "one two three\n\nnext");
    EXPECT_EQ(AcknowledgementsParser::stringByFilteringOutPrematureLineBreaksFromString("\nedge\n"), "\nedge\n");
    auto parser = AcknowledgementsParser::make(writeList("list", listFile({entry("X", "a\nb\n\nc")})));
    EXPECT_EQ(parser->acknowledgements()[0]->text(), "a b\n\nc");
}

TEST_F(Licences, TheListFileRoadSortsAndRecognisesTheGeneratorLines) {
    const std::string path = writeList(
        "Credits-Korva-acknowledgements",
        listFile({entry("", AcknowledgementsViewController::kGeneratorHeader), entry("zlib", "z"), entry("Expat", "e"),
                  entry("apple", "a"), entry("", AcknowledgementsViewController::kGeneratorFooterHTTP)}));
    writeFile("bundle/Info.plist",
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleName</key>"
              "<string>Korva</string></dict></plist>");
    NSBundle::setMainBundleRoot(folders.pathOf("bundle"));
    EXPECT_EQ(AcknowledgementsViewController::defaultAcknowledgementsPlistPath(), path);
    auto screen = AcknowledgementsViewController::acknowledgementsViewController();
    EXPECT_EQ(titles(screen->acknowledgements()), (std::vector<std::string>{"apple", "Expat", "zlib"}));
    EXPECT_EQ(screen->headerText(), std::nullopt) << "the generator's own header is dropped";
    EXPECT_EQ(screen->footerText(), AcknowledgementsViewController::localizedGeneratorFooterText());
    EXPECT_EQ(screen->title(), "Acknowledgements");

    auto own = AcknowledgementsViewController::makeWithPath(
        writeList("own", listFile({entry("", "Our header"), entry("x", "x"), entry("", "Our footer")})));
    EXPECT_EQ(own->headerText(), "Our header");
    EXPECT_EQ(own->footerText(), "Our footer");
}

TEST_F(Licences, AnEmptyListLogsItsWarningOnceShown) {
    LogCapture log;
    auto screen = AcknowledgementsViewController::makeWithPath(folders.pathOf("bundle/none.plist"));
    window->setRootViewController(screen);
    settle();
    EXPECT_TRUE(log.contains("No acknowledgements found."));
}

TEST_F(Licences, TheGeneratorLinkOpensInTheInAppWebScreen) {
    auto screen = AcknowledgementsViewController::makeWithPath(
        writeList("list", listFile({entry("", "head"), entry("x", "x"),
                                    entry("", AcknowledgementsViewController::kGeneratorFooterHTTPS)})));
    auto nav = MyNavigationController::withRoot(screen);
    window->setRootViewController(nav);
    settle();
    auto footer = screen->tableView()->tableFooterView();
    ASSERT_TRUE(footer && !footer->subviews().empty());
    auto label = footer->subviews().front();
    ASSERT_FALSE(UIViewGestureRecognizers(*label).empty()) << "the generator line takes taps";
    screen->openGeneratorWebsite();
    advance(1);
    auto presented = std::dynamic_pointer_cast<MyNavigationController>(nav->presentedViewController());
    ASSERT_TRUE(presented) << "no in-app web screen";
    auto web = std::dynamic_pointer_cast<MyWebController>(presented->topViewController());
    ASSERT_TRUE(web);
    EXPECT_EQ(web->url(), AcknowledgementsViewController::kGeneratorAddress);
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty()) << "nothing left the app";
    web->onDone();
    advance(1);
    EXPECT_EQ(nav->presentedViewController(), nullptr);
}

TEST_F(Licences, TheLicenceTextKeepsTheScreensSideMargins) {
    auto detail = AcknowledgementViewController::make("Name", "text");
    window->setRootViewController(detail);
    settle();
    auto inset = detail->textView()->textContainerInset();
    EXPECT_EQ(inset.left, detail->view()->layoutMargins().left);
    EXPECT_EQ(inset.top, AcknowledgementViewController::kVerticalInset);
    // New margins reach the text at once, without waiting for a layout pass.
    detail->view()->setLayoutMargins(UIEdgeInsets{0, 40, 0, 30});
    inset = detail->textView()->textContainerInset();
    EXPECT_EQ(inset.left, 40 + detail->view()->safeAreaInsets().left);
    EXPECT_EQ(inset.right, 30 + detail->view()->safeAreaInsets().right);
}

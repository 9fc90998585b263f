// A small demo screen (buttons, a slider, a table, an alert) under a navigation bar, rendered
// headless by the compositor to a PNG. Set KORVA_DEMO_PNG to choose where the picture goes.
#include <cstdlib>
#include <filesystem>

#include "controller_test_support.h"
#include "platform/ui/app/compositor.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/table/ui_table_view.h"

namespace {

struct DemoRows : UITableViewDataSource {
    std::vector<std::pair<std::string, std::string>> rows{
        {"Resolution", "12 MP"}, {"Grid", "On"}, {"Timer", "3 s"}, {"Format", "JPEG"}};
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return rows.size(); }
    std::optional<std::string> titleForHeaderInSection(UITableView&, std::size_t) override { return "Camera"; }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        auto cell = t.dequeueReusableCellWithIdentifier("demo", p);
        cell->textLabel()->setText(rows[p.row].first);
        cell->detailTextLabel()->setText(rows[p.row].second);
        cell->setAccessoryType(p.row == 1 ? UITableViewCellAccessoryType::Checkmark
                                          : UITableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
};

struct DemoController : UIViewController {
    std::shared_ptr<DemoRows> rows = std::make_shared<DemoRows>();
    std::shared_ptr<UITableView> table;
    void viewDidLoad() override {
        setTitle("Korva");
        navigationItem()->setRightBarButtonItem(UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, nullptr));
        auto v = view();
        v->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
        auto capture = UIButton::buttonWithType(UIButtonType::System);
        capture->setTitle(std::string("Capture"), UIControlStateNormal);
        capture->setFrame(CGRectMake(20, 20, 150, 44));
        capture->setBackgroundColor(UIColor::whiteColor());
        v->addSubview(capture);
        auto reset = UIButton::buttonWithType(UIButtonType::System);
        reset->setTitle(std::string("Reset"), UIControlStateNormal);
        reset->setFrame(CGRectMake(205, 20, 150, 44));
        reset->setBackgroundColor(UIColor::whiteColor());
        v->addSubview(reset);
        auto slider = UISlider::make(CGRectMake(20, 80, 335, 34));
        slider->setValue(0.6f);
        v->addSubview(slider);
        table = UITableView::make(CGRectMake(0, 130, 375, 300), UITableViewStyle::Grouped);
        table->registerCell(
            "demo", [](const std::string& id) { return UITableViewCell::make(UITableViewCellStyle::Value1, id); });
        table->setDataSource(rows);
        v->addSubview(table);
    }
};

TEST_F(UIHarness, DemoScreenRendersToPNG) {
    auto demo = ::make<DemoController>();
    auto nav = UINavigationController::withRoot(demo);
    window->setRootViewController(nav);
    settle();
    auto alert =
        UIAlertController::make("Save photo?", "The picture goes to the library.", UIAlertControllerStyle::Alert);
    alert->addAction(UIAlertAction::make("Cancel", UIAlertActionStyle::Cancel, nullptr));
    alert->addAction(UIAlertAction::make("Save", UIAlertActionStyle::Default, nullptr));
    ASSERT_TRUE(demo->presentViewController(alert, true));
    advance(1);
    ASSERT_EQ(demo->table->visibleCells().size(), 4u);

    Compositor compositor(screen);
    compositor.update();
    const char* env = std::getenv("KORVA_DEMO_PNG");
    std::string path = env && *env ? env : (std::filesystem::temp_directory_path() / "korva-demo.png").string();
    auto written = compositor.writePNG(path);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    if (!env) std::filesystem::remove(path);

    // The alert's box is light, over the dimmed screen around it.
    CGRect box = alert->boxFrame();
    CGFloat scale = screen->scale();
    auto at = [&](CGFloat x, CGFloat y) {
        std::uint32_t p = compositor.pixelAt(static_cast<int>(x * scale), static_cast<int>(y * scale));
        return static_cast<int>((p >> 24) & 0xFF);
    };
    EXPECT_GT(at(CGRectGetMidX(box), box.origin.y + 4), 200);
    EXPECT_LT(at(5, 660), 200);
}

}  // namespace

// Standard controls themed through the appearance registry, one screen per content style.
#include <string>

#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/bar/ui_tab_bar_item.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_page_control.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_segmented_control.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_stepper.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/input/ui_search_bar.h"
#include "platform/ui/text/ui_font.h"
#include "platform/ui/view/ui_appearance.h"
#include "tools/gallery/gallery.h"
#include "widgets/flat/flat_kit_theme.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr CGFloat kMargin = 16;
constexpr CGFloat kBarTop = 47;

void controlsScreen(GalleryPage& page, const std::string& name, const std::string& caption,
                    const std::shared_ptr<UIColor>& primary, UIContentStyle style) {
    UIAppearance::reset();
    FlatKit::setGlobalThemeUsingPrimaryColor(primary, style);
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::whiteColor());

    auto nav = UINavigationBar::make(CGRect{{0, kBarTop}, {390, 44}});
    auto item = UINavigationItem::make();
    item->setTitle("Themed");
    item->setRightBarButtonItem(UIBarButtonItem::withTitle("Done", UIBarButtonItemStyle::Done, nullptr));
    nav->pushNavigationItem(item);
    window->addSubview(nav);

    auto search = UISearchBar::make(CGRect{{0, kBarTop + 44}, {390, 56}});
    search->setPlaceholder("Search");
    window->addSubview(search);

    CGFloat y = kBarTop + 112;
    auto note = UILabel::make(CGRect{{kMargin, y}, {358, 18}});
    note->setText(caption);
    note->setFont(UIFont::systemFontOfSize(12));
    window->addSubview(note);
    y += 28;
    auto slider = UISlider::make(CGRect{{kMargin, y}, {358, 34}});
    slider->setValue(0.6f);
    window->addSubview(slider);
    y += 50;
    auto toggle = UISwitch::make(CGRect{{kMargin, y}, {0, 0}});
    toggle->setOn(true);
    window->addSubview(toggle);
    auto stepper = UIStepper::make(CGRect{{120, y}, {0, 0}});
    window->addSubview(stepper);
    y += 50;
    auto progress = UIProgressView::make(CGRect{{kMargin, y}, {358, 4}});
    progress->setProgress(0.4f);
    window->addSubview(progress);
    y += 24;
    auto segments = UISegmentedControl::withItems({"One", "Two", "Three"});
    segments->setFrame({{kMargin, y}, {358, 32}});
    segments->setSelectedSegmentIndex(1);
    window->addSubview(segments);
    y += 48;
    auto dots = UIPageControl::make(CGRect{{kMargin, y}, {358, 26}});
    dots->setNumberOfPages(5);
    dots->setCurrentPage(2);
    window->addSubview(dots);
    y += 40;
    auto button = UIButton::buttonWithType(UIButtonType::System);
    button->setTitle("A themed button", UIControlStateNormal);
    button->setFrame({{kMargin, y}, {358, 44}});
    window->addSubview(button);
    y += 64;

    auto toolbar = UIToolbar::make(CGRect{{0, y}, {390, 44}});
    toolbar->setItems({UIBarButtonItem::withTitle("Edit", UIBarButtonItemStyle::Plain, nullptr),
                       UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FlexibleSpace, nullptr),
                       UIBarButtonItem::withTitle("Share", UIBarButtonItemStyle::Plain, nullptr)});
    auto barSlider = UISlider::make(CGRect{{100, 5}, {190, 34}});
    barSlider->setValue(0.3f);
    toolbar->addSubview(barSlider);
    window->addSubview(toolbar);

    auto tabs = UITabBar::make(CGRect{{0, 844 - 83}, {390, 83}});
    auto first = UITabBarItem::make("Camera", nullptr, 0);
    tabs->setItems({first, UITabBarItem::make("Library", nullptr, 1), UITabBarItem::make("Settings", nullptr, 2)});
    tabs->setSelectedItem(first);
    window->addSubview(tabs);
    page.step(1.0);  // the progress fill's implicit animation
    page.shotScreen(name);
}
}  // namespace

void galleryThemedControls(GalleryPage& page) {
    controlsScreen(page, "contrast-navy", "content style contrast on flat navy blue", flatNavyBlueColor(),
                   UIContentStyle::Contrast);
    controlsScreen(page, "contrast-yellow", "content style contrast on flat yellow", flatYellowColor(),
                   UIContentStyle::Contrast);
    controlsScreen(page, "light-mint", "content style light on flat mint", flatMintColor(), UIContentStyle::Light);
    controlsScreen(page, "dark-mint", "content style dark on flat mint", flatMintColor(), UIContentStyle::Dark);
    UIAppearance::reset();
}

// The table-form kit: a grouped and a plain form with text, long-text, number and option rows and
// their validation messages; section backgrounds by position at both content margins; editing
// with the keyboard bar and the number pad; the option screen; the table's editing controls.
// Each in light and dark.
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/path.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_table_view_options_controller.h"
#include "settings/form/form_text_item.h"
#include "tools/gallery/gallery.h"

namespace {

// A small coloured badge for row images.
std::shared_ptr<UIImage> badge(CGColor colour) {
    UIGraphicsBeginImageContextWithOptions({22, 22}, false, 2);
    CGPath p;
    p.addRoundedRect(CGRectMake(1, 1, 20, 20), 5, 5);
    auto* c = UIGraphicsGetCurrentContext();
    c->setFillColorWithColor(colour);
    c->addPath(p);
    c->fillPath();
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// A background for one position in a section: rounded only where the position has an outer edge.
std::shared_ptr<UIImage> positionBackground(FormCellPosition position, CGColor fill) {
    // The artwork of a dark form is a deep shade of the same tint.
    if (UIScreen::mainScreen()->userInterfaceStyle() == UIUserInterfaceStyle::Dark)
        fill = CGColor::rgb(fill.red * 0.3, fill.green * 0.3, fill.blue * 0.3, 1);
    UIGraphicsBeginImageContextWithOptions({300, 44}, false, 2);
    auto* c = UIGraphicsGetCurrentContext();
    bool top = position == FormCellPosition::First || position == FormCellPosition::Single;
    bool bottom = position == FormCellPosition::Last || position == FormCellPosition::Single;
    CGPath p;
    p.addRoundedRect(CGRectMake(0, top ? 0 : -12, 300, 44 + (top ? 0 : 12) + (bottom ? 0 : 12)), 10, 10);
    c->setFillColorWithColor(fill);
    c->addPath(p);
    c->fillPath();
    c->setFillColorWithColor(CGColor::rgb(0, 0, 0, 0.15));
    if (!bottom) c->fillRect(CGRectMake(12, 43.5, 288, 0.5));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

struct Form {
    std::shared_ptr<UITableView> table;
    std::shared_ptr<FormTableViewManager> manager;
};

Form makeForm(GalleryPage& page, UITableViewStyle style) {
    auto window = page.newWindow();
    Form f;
    CGRect b = window->bounds();
    CGFloat top = window->safeAreaInsets().top;
    f.table = UITableView::make(CGRectMake(0, top, b.size.width, b.size.height - top), style);
    window->addSubview(f.table);
    f.manager = FormTableViewManager::make(f.table);
    return f;
}

void fillProfile(Form& f) {
    auto profile = FormTableViewSection::sectionWithHeaderTitle("Profile");
    auto name = FormTextItem::itemWithTitle("Name", "", "Required");
    name->validators = {std::string("presence")};
    name->image = badge(CGColor::rgb(0.2, 0.5, 1, 1));
    auto mail = FormTextItem::itemWithTitle("Email address", "me@example", "you@example.org");
    mail->validators = {std::string("email")};
    mail->image = badge(CGColor::rgb(0.95, 0.6, 0.1, 1));
    auto phone = FormNumberItem::itemWithTitle("Phone", "3012345", "+49 ...", std::string("+49 XXX XXXXXX"));
    phone->image = badge(CGColor::rgb(0.3, 0.75, 0.4, 1));
    auto size = FormRadioItem::itemWithTitle("Size", std::string("Medium"));
    auto days = FormMultipleChoiceItem::itemWithTitle("Days", {"Mon", "Wed", "Fri"});
    auto plain = FormTableViewItem::itemWithTitle("About", UITableViewCellAccessoryType::DisclosureIndicator);
    plain->detailLabelText = "1.0";
    plain->style = UITableViewCellStyle::Value1;
    profile->addItemsFromArray({name, mail, phone, size, days, plain});
    f.manager->addSection(profile);

    auto notes = FormTableViewSection::sectionWithHeaderTitle("Notes");
    auto empty = FormLongTextItem::itemWithValue("", "Anything the shop should know");
    empty->cellHeight = 88;
    auto filled =
        FormLongTextItem::itemWithValue("Leave the parcel with the neighbour on the second floor.", std::nullopt);
    filled->cellHeight = 66;
    notes->addItemsFromArray({empty, filled, std::string("A plain string row")});
    f.manager->addSection(notes);

    // The validation messages, as a form would show them before saving.
    std::string messages;
    for (const auto& e : f.manager->errors().value_or(FormErrors{}))
        messages += (messages.empty() ? "" : "\n") + e->localizedDescription();
    notes->footerTitle = messages;
    f.table->reloadData();
}

void shotBoth(GalleryPage& page, const std::string& name, const std::function<void()>& build) {
    for (auto style : {UIUserInterfaceStyle::Light, UIUserInterfaceStyle::Dark}) {
        UIScreen::mainScreen()->setUserInterfaceStyle(style);
        build();
        page.step(0.5);
        page.shotScreen(name + (style == UIUserInterfaceStyle::Dark ? "-dark" : "-light"));
    }
    UIScreen::mainScreen()->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
}

void renderForm(GalleryPage& page) {
    Form keep;
    shotBoth(page, "grouped", [&] {
        keep = makeForm(page, UITableViewStyle::Grouped);
        fillProfile(keep);
    });
    shotBoth(page, "plain", [&] {
        keep = makeForm(page, UITableViewStyle::Plain);
        fillProfile(keep);
    });

    for (CGFloat margin : {0.0, 8.0}) {
        shotBoth(page, "backgrounds-margin-" + std::to_string(static_cast<int>(margin)), [&] {
            keep = makeForm(page, UITableViewStyle::Grouped);
            auto style = FormTableViewCellStyle::make();
            style->contentViewMargin = margin;
            style->backgroundImageMargin = margin;
            style->setBackgroundImage(positionBackground(FormCellPosition::Single, CGColor::rgb(1, 0.93, 0.8, 1)),
                                      FormCellPosition::Single);
            style->setBackgroundImage(positionBackground(FormCellPosition::First, CGColor::rgb(0.85, 0.93, 1, 1)),
                                      FormCellPosition::First);
            style->setBackgroundImage(positionBackground(FormCellPosition::Middle, CGColor::rgb(0.88, 1, 0.88, 1)),
                                      FormCellPosition::Middle);
            style->setBackgroundImage(positionBackground(FormCellPosition::Last, CGColor::rgb(1, 0.88, 0.9, 1)),
                                      FormCellPosition::Last);
            keep.manager->setStyle(style);
            auto single = FormTableViewSection::sectionWithHeaderTitle("Single");
            single->addItem(FormTextItem::itemWithTitle("Nickname", "kit"));
            auto three = FormTableViewSection::sectionWithHeaderTitle("First, middle, last");
            three->addItemsFromArray(
                {FormTextItem::itemWithTitle("Street", "Harbour Road 4"),
                 FormNumberItem::itemWithTitle("Postcode", "20095", std::nullopt, std::string("XXXXX")),
                 FormRadioItem::itemWithTitle("Country", std::string("Germany"))});
            keep.manager->addSectionsFromArray({single, three});
            keep.table->reloadData();
        });
    }

    shotBoth(page, "editing-text", [&] {
        keep = makeForm(page, UITableViewStyle::Grouped);
        fillProfile(keep);
        keep.table->layoutIfNeeded();
        if (auto cell = std::dynamic_pointer_cast<FormTableViewCell>(keep.table->cellForRowAtIndexPath({0, 0})))
            cell->becomeResponder();
    });
    shotBoth(page, "editing-number", [&] {
        keep = makeForm(page, UITableViewStyle::Grouped);
        fillProfile(keep);
        keep.table->layoutIfNeeded();
        if (auto cell = std::dynamic_pointer_cast<FormTableViewCell>(keep.table->cellForRowAtIndexPath({0, 2})))
            cell->becomeResponder();
    });

    std::shared_ptr<FormTableViewOptionsController> screen;
    auto days = FormMultipleChoiceItem::itemWithTitle("Days", {"Tuesday", "Friday"});
    auto size = FormRadioItem::itemWithTitle("Size", std::string("Medium"));
    shotBoth(page, "options-single", [&] {
        screen =
            FormTableViewOptionsController::make(size,
                                                 std::vector<FormTableViewOptionsController::Option>{
                                                     std::string("Small"), std::string("Medium"), std::string("Large")},
                                                 false, nullptr);
        page.newWindow()->setRootViewController(screen);
    });
    shotBoth(page, "options-multiple", [&] {
        std::vector<FormTableViewOptionsController::Option> week;
        for (const char* d : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"})
            week.push_back(std::string(d));
        screen = FormTableViewOptionsController::make(days, week, true, nullptr);
        page.newWindow()->setRootViewController(screen);
    });

    shotBoth(page, "editing-controls", [&] {
        keep = makeForm(page, UITableViewStyle::Grouped);
        auto list = FormTableViewSection::sectionWithHeaderTitle("Shopping list");
        for (const char* t : {"Bread", "Apples", "Coffee"}) {
            auto item = FormTableViewItem::itemWithTitle(t);
            item->editingStyle = UITableViewCellEditingStyle::Delete;
            item->moveHandler = [](FormTableViewItem&, NSIndexPath, NSIndexPath) { return true; };
            list->addItem(item);
        }
        auto add = FormTableViewItem::itemWithTitle("Add an item");
        add->editingStyle = UITableViewCellEditingStyle::Insert;
        list->addItem(add);
        keep.manager->addSection(list);
        keep.table->reloadData();
        keep.table->setEditing(true, false);
        keep.table->layoutIfNeeded();
        keep.table->tapEditingControlForRowAtIndexPath({0, 1});
    });
}

}  // namespace

void galleryForm(GalleryPage& page) {
    renderForm(page);
}

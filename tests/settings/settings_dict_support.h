// A settings form on screen in a navigation controller, with a delegate that hands out a
// description and records what it hears.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "settings/dict/settings_dict_controller.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/settings_controllers.h"
#include "tests/ui/ui_test_support.h"

// Records on top of any delegate interface that includes the form's.
template <class Interface>
struct RecordingDelegate : Interface {
    Value description = Value::dictionary();
    bool takesDone = false;
    int asked = 0;
    std::vector<std::string> events;
    // Called with each change, before it is recorded (to look at the table at that moment).
    std::function<void()> onChange;

    Value onSettingsDictControllerGetDictionary(SettingsDictController&) override {
        ++asked;
        return description;
    }
    void onSettingsDictControllerChanged(SettingsDictController&, const std::string& key, const Value& value,
                                         const Value& orig, NSIndexPath path) override {
        if (onChange) onChange();
        std::string shown = value.isNull()    ? "nil"
                            : value.isArray() ? "[" + value[std::size_t{0}].stringValue() + "]"
                                              : value.stringValue();
        events.push_back(key + "=" + shown + " orig " + orig.stringValue() + " at " + std::to_string(path.section) +
                         "." + std::to_string(path.row));
    }
    void onSettingsDictControllerMoved(SettingsDictController&, const std::string& key1,
                                       const std::string& key2) override {
        events.push_back("moved " + key1 + " " + key2);
    }
    bool takesSettingsDictControllerDone() const override { return takesDone; }
    void onSettingsDictControllerDone(SettingsDictController&) override { events.push_back("done"); }
};

using RecordingSettingsDelegate = RecordingDelegate<SettingsDictControllerDelegate>;

// A row dictionary.
inline Value row(std::initializer_list<ValueDictionary::Entry> entries) {
    return Value::dictionary(entries);
}

struct SettingsDictTest : ToolkitTest {
    std::shared_ptr<RecordingSettingsDelegate> delegate = std::make_shared<RecordingSettingsDelegate>();
    std::shared_ptr<SettingsDictController> form;
    std::shared_ptr<UINavigationController> nav;

    void SetUp() override {
        ToolkitTest::SetUp();
        UIStoryboard::resetMainStoryboard();
        registerSettingsControllers(UIStoryboard::mainStoryboard());
    }
    void TearDown() override {
        window->setRootViewController(nullptr);
        nav.reset();
        form.reset();
        UIStoryboard::resetMainStoryboard();
        ToolkitTest::TearDown();
    }
    void describe(std::vector<Value> sections, std::vector<Value> labels = {}) {
        ValueArray arr(sections.begin(), sections.end());
        ValueArray secLabels(labels.begin(), labels.end());
        delegate->description = Value::dictionary({{"arr", Value(arr)}, {"secLabels", Value(secLabels)}});
    }
    // The form from the registry, shown as the root of a navigation controller.
    void show() {
        form = std::dynamic_pointer_cast<SettingsDictController>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("SettingsDictController"));
        ASSERT_NE(form, nullptr);
        form->setDelegate(delegate);
        form->setTitleText("Options");
        nav = UINavigationController::withRoot(form);
        window->setRootViewController(nav);
        settle();
        advance(1);
    }
    std::shared_ptr<FormTableViewCell> cellAt(std::size_t section, std::size_t row) {
        return std::dynamic_pointer_cast<FormTableViewCell>(form->tableView()->cellForRowAtIndexPath({section, row}));
    }
    std::shared_ptr<FormTableViewItem> itemAt(std::size_t section, std::size_t row) {
        auto item = form->manager()->itemAtIndexPath({section, row});
        return item ? formItemObject(*item) : nullptr;
    }
    void tapRow(std::size_t section, std::size_t row) {
        auto cell = cellAt(section, row);
        CGRect r = cell->superview()->convertRectToView(cell->frame(), nullptr);
        tap({CGRectGetMidX(r), CGRectGetMidY(r)});
    }
};

// Editors opened through the parameter pop-up: a plain pop-up on the test screen, reporting to
// the logging host, with helpers for its items and the text prompt.
#pragma once

#include <string>

#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/input/ui_text_field.h"
#include "tests/editor/adjust_test_support.h"

struct PlainPop : PopAdjView {
    KORVA_MAKE(PlainPop)

protected:
    using PopAdjView::PopAdjView;
};

struct EditorPopTest : AdjustTest {
    std::shared_ptr<PlainPop> pop;

    void SetUp() override {
        AdjustTest::SetUp();
        pop = PlainPop::make(screenVC);
        pop->setDelegate(host);
    }
    // Opens the item of the attribute set whose record has this display name, or the only item.
    void open(const Value& attrs, const std::string& disp = "") {
        pop->setAttrs(attrs);
        pop->updateData();
        for (const Value& item : pop->arr()) {
            if (disp.empty() || item["attr"]["disp"].stringValue() == disp) {
                pop->act(item, anchor);
                advance(0.5);
                return;
            }
        }
        ADD_FAILURE() << "no item " << disp;
        for (const Value& item : pop->arr()) ADD_FAILURE() << item.description();
    }
    std::shared_ptr<UIAlertController> alert() {
        return std::dynamic_pointer_cast<UIAlertController>(screenVC->presentedViewController());
    }
    // Answers the open prompt with the text, by OK or Cancel.
    void answer(const std::string& text, const char* button = "OK") {
        ASSERT_NE(alert(), nullptr);
        ASSERT_EQ(alert()->textFields().size(), 1u);
        alert()->textFields()[0]->setText(text);
        EXPECT_TRUE(alert()->chooseActionWithTitle(button));
        advance(1);
    }
    // The numbers of the record's value, each as a float.
    static std::vector<float> numbers(const Value& record) {
        std::vector<float> out;
        if (const ValueArray* a = record["value"].arrayPtr())
            for (const Value& v : *a) out.push_back(v.floatValue());
        return out;
    }
};

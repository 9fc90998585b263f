// The look of the system sheets this platform stands in for (share, mail, social, photo picker):
// a title, lines of text and a row of buttons in a panel; a tap on a button calls back, and so
// does a tap on a line when lines are choices.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/controller/controller_view.h"
#include "platform/ui/gesture/ui_touch.h"

class StandInPanelView : public ControllerView, public UITouchReceiver {
public:
    KORVA_MAKE(StandInPanelView)

    void setTitle(std::string t) {
        title_ = std::move(t);
        setNeedsDisplay();
    }
    void setLines(std::vector<std::string> lines) {
        lines_ = std::move(lines);
        setNeedsDisplay();
    }
    void setButtons(std::vector<std::string> buttons) {
        buttons_ = std::move(buttons);
        setNeedsDisplay();
    }
    void setOnButton(std::function<void(std::size_t)> f) { onButton_ = std::move(f); }
    // Lines become choices: a tap on one calls back with its index.
    void setOnLine(std::function<void(std::size_t)> f) { onLine_ = std::move(f); }
    // The button under a point, or -1.
    long buttonAtPoint(CGPoint p) const;
    // The line under a point, or -1.
    long lineAtPoint(CGPoint p) const;
    CGRect lineRect(std::size_t i) const;

    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "StandInPanelView"; }

protected:
    explicit StandInPanelView(CGRect frame = CGRectZero) : ControllerView(frame) {}

private:
    CGRect buttonRect(std::size_t i) const;
    std::string title_;
    std::vector<std::string> lines_;
    std::vector<std::string> buttons_;
    std::function<void(std::size_t)> onButton_, onLine_;
};

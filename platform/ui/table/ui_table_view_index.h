// The section index strip of a table: the data source's index titles stacked down the table's
// right edge. A touch or a drag over a title reports that title's position. Main-thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class UITableViewIndex : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(UITableViewIndex)

    static constexpr CGFloat kWidth = 16;
    static constexpr CGFloat kTitleHeight = 14;
    static constexpr CGFloat kFontSize = 11;

    const std::vector<std::string>& titles() const { return titles_; }
    void setTitles(std::vector<std::string> titles);
    // Called with the position of the title under the finger, once per change of title.
    std::function<void(std::size_t index)> onSelect;

    // The title position at a point of the strip (clamped to the first and last title).
    std::size_t indexAtPoint(CGPoint p) const;

    void layoutSubviews() override;
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;
    // A drag over the strip picks titles; it does not scroll the table.
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    bool keepsTouchesFromScrolling() const override { return true; }
    std::string className() const override { return "UITableViewIndex"; }

protected:
    using UIView::UIView;

private:
    CGFloat stripTop() const;
    void track(const UITouchSet& touches);

    std::vector<std::string> titles_;
    std::optional<std::size_t> current_;
};

// A row of segments with titles or images, one of them selected (or none); a tap selects.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/draw/image.h"

inline constexpr long UISegmentedControlNoSegment = -1;

class UISegmentedControl : public UIControl {
public:
    KORVA_MAKE(UISegmentedControl)
    static std::shared_ptr<UISegmentedControl> withItems(const std::vector<std::string>& titles);
    void init() override;

    std::size_t numberOfSegments() const { return segments_.size(); }
    // Indexes past the end append; the selection index follows the segment it marked.
    void insertSegmentWithTitle(const std::string& title, std::size_t index, bool animated = false);
    void insertSegmentWithImage(std::shared_ptr<UIImage> image, std::size_t index, bool animated = false);
    void removeSegmentAtIndex(std::size_t index, bool animated = false);
    void removeAllSegments();
    void setTitle(const std::string& title, std::size_t index);
    std::optional<std::string> titleForSegmentAtIndex(std::size_t index) const;
    void setImage(std::shared_ptr<UIImage> image, std::size_t index);
    std::shared_ptr<UIImage> imageForSegmentAtIndex(std::size_t index) const;
    void setEnabledForSegmentAtIndex(bool enabled, std::size_t index);
    bool isEnabledForSegmentAtIndex(std::size_t index) const;

    long selectedSegmentIndex() const { return selected_; }
    // Out of range (other than NoSegment) is ignored. Never reports a change.
    void setSelectedSegmentIndex(long index);
    // Momentary controls report the tap but keep no selection.
    bool isMomentary() const { return momentary_; }
    void setMomentary(bool m) { momentary_ = m; }
    std::shared_ptr<UIColor> selectedSegmentTintColor() const { return selectedTint_; }
    void setSelectedSegmentTintColor(std::shared_ptr<UIColor> c);

    // Appearance. A width of 0 shares the room left by the fixed-width segments; an offset moves
    // a segment's title or image from its centre.
    CGFloat widthForSegmentAtIndex(std::size_t index) const;
    void setWidth(CGFloat width, std::size_t index);
    CGSize contentOffsetForSegmentAtIndex(std::size_t index) const;
    void setContentOffset(CGSize offset, std::size_t index);
    // Drawn between neighbouring segments; with one set, the control draws no bezel of its own.
    std::shared_ptr<UIImage> dividerImage() const { return divider_; }
    void setDividerImage(std::shared_ptr<UIImage> image);
    // Stretched over the whole control in that state (normal when the state has none).
    std::shared_ptr<UIImage> backgroundImageForState(UIControlState state) const;
    void setBackgroundImage(std::shared_ptr<UIImage> image, UIControlState state);
    // Title attributes (font, foreground colour) for a state; a state without its own takes the
    // normal state's, and the control's defaults fill in what neither gives.
    void setTitleTextAttributes(ValueDictionary attributes, UIControlState state);
    ValueDictionary titleTextAttributesForState(UIControlState state) const;
    // The segment's rectangle in bounds space.
    CGRect rectForSegmentAtIndex(std::size_t index) const;

    // The segment under a point in bounds space, or NoSegment.
    long segmentAtPoint(CGPoint p) const;
    void endTrackingWithTouch(const UITouch* touch, const UIEvent* event) override;
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override { return sizeThatFits({0, 0}); }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UISegmentedControl"; }

protected:
    explicit UISegmentedControl(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    struct Segment {
        std::optional<std::string> title;
        std::shared_ptr<UIImage> image;
        bool enabled = true;
        CGFloat width = 0;
        CGSize offset{0, 0};
    };
    void insert(Segment s, std::size_t index);
    // What a title is drawn with: the defaults under the state's own attributes.
    ValueDictionary titleAttributes(UIControlState state, const std::shared_ptr<UIColor>& defaultColor) const;
    std::vector<Segment> segments_;
    long selected_ = UISegmentedControlNoSegment;
    bool momentary_ = false;
    std::shared_ptr<UIColor> selectedTint_;
    std::shared_ptr<UIImage> divider_;
    std::map<UIControlState, std::shared_ptr<UIImage>> backgrounds_;
    std::map<UIControlState, ValueDictionary> titleAttributes_;
};

// Bar button items: a title, an image, a system item or a custom view, with an action, shown by
// navigation bars and toolbars.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/attributed_string.h"

class UIView;

// The control states bar items keep text attributes for (the values of the control states).
using UIControlState = unsigned;

enum class UIBarButtonSystemItem {
    Done,
    Cancel,
    Edit,
    Save,
    Add,
    FlexibleSpace,
    FixedSpace,
    Compose,
    Reply,
    Action,
    Organize,
    Bookmarks,
    Search,
    Refresh,
    Stop,
    Camera,
    Trash,
    Play,
    Pause,
    Rewind,
    FastForward,
    Undo,
    Redo,
    Close,
};
enum class UIBarButtonItemStyle { Plain = 0, Bordered = 1, Done = 2 };

class UIBarButtonItem : public NSObject {
public:
    KORVA_MAKE(UIBarButtonItem)
    using Action = std::function<void(UIBarButtonItem&)>;

    static std::shared_ptr<UIBarButtonItem> withTitle(std::string title, UIBarButtonItemStyle style, Action action);
    static std::shared_ptr<UIBarButtonItem> withImage(std::shared_ptr<UIImage> image, UIBarButtonItemStyle style,
                                                      Action action);
    static std::shared_ptr<UIBarButtonItem> withSystemItem(UIBarButtonSystemItem item, Action action);
    static std::shared_ptr<UIBarButtonItem> withCustomView(std::shared_ptr<UIView> view);

    const std::string& title() const { return title_; }
    void setTitle(std::string t) { title_ = std::move(t); }
    std::shared_ptr<UIImage> image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> i) { image_ = std::move(i); }
    std::optional<UIBarButtonSystemItem> systemItem() const { return systemItem_; }
    bool isSpace() const {
        return systemItem_ == UIBarButtonSystemItem::FlexibleSpace || systemItem_ == UIBarButtonSystemItem::FixedSpace;
    }
    std::shared_ptr<UIView> customView() const { return customView_; }
    void setCustomView(std::shared_ptr<UIView> v) { customView_ = std::move(v); }
    UIBarButtonItemStyle style() const { return style_; }
    void setStyle(UIBarButtonItemStyle s) { style_ = s; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }
    // Fixed spaces and items with a set width use it; 0 means fit the content.
    CGFloat width() const { return width_; }
    void setWidth(CGFloat w) { width_ = w; }
    std::shared_ptr<UIColor> tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c) { tint_ = std::move(c); }
    long tag() const { return tag_; }
    void setTag(long t) { tag_ = t; }
    void setAction(Action a) { action_ = std::move(a); }
    bool hasAction() const { return static_cast<bool>(action_); }

    // Text attributes of the title for a control state (normal 0, highlighted 1, disabled 2,
    // selected 4). The bars read the font and the foreground colour; a state without its own
    // attributes takes the normal state's.
    void setTitleTextAttributes(NSAttributes attributes, UIControlState state);
    NSAttributes titleTextAttributesForState(UIControlState state) const;

    // The view that shows the item on a bar in a window now; none while the item is on no bar
    // on screen (the bars set it when they make the item's view).
    std::shared_ptr<UIView> view() const;
    void setView(const std::shared_ptr<UIView>& view) { view_ = view; }

    // What the item shows as text: its title, or the system item's label.
    std::string displayTitle() const;
    // A tap on the item: runs the action when the item is enabled. Answers whether it ran.
    bool performAction();

    // The tint that every item without its own takes: the item class's appearance proxy.
    static std::shared_ptr<UIColor> appearanceTintColor();
    static void setAppearanceTintColor(std::shared_ptr<UIColor> color);

    std::string className() const override { return "UIBarButtonItem"; }

protected:
    UIBarButtonItem() = default;

private:
    std::string title_;
    std::shared_ptr<UIImage> image_;
    std::optional<UIBarButtonSystemItem> systemItem_;
    std::shared_ptr<UIView> customView_;
    UIBarButtonItemStyle style_ = UIBarButtonItemStyle::Plain;
    bool enabled_ = true;
    CGFloat width_ = 0;
    std::shared_ptr<UIColor> tint_;
    long tag_ = 0;
    Action action_;
    std::map<UIControlState, NSAttributes> titleAttributes_;
    std::weak_ptr<UIView> view_;
};

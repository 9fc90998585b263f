// Bar button items and the labels of the system items.
#include "platform/ui/bar/ui_bar_button_item.h"

#include "platform/ui/view/ui_appearance.h"
#include "platform/ui/view/ui_view.h"

namespace {
UIAppearance itemAppearance() {
    return UIAppearance::appearance(UIAppearanceClass::of<UIBarButtonItem>("UIBarButtonItem"));
}
}  // namespace

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withTitle(std::string title, UIBarButtonItemStyle style,
                                                            Action action) {
    auto item = make();
    item->title_ = std::move(title);
    item->style_ = style;
    item->action_ = std::move(action);
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withImage(std::shared_ptr<UIImage> image, UIBarButtonItemStyle style,
                                                            Action action) {
    auto item = make();
    item->image_ = std::move(image);
    item->style_ = style;
    item->action_ = std::move(action);
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withSystemItem(UIBarButtonSystemItem system, Action action) {
    auto item = make();
    item->systemItem_ = system;
    item->action_ = std::move(action);
    if (system == UIBarButtonSystemItem::Done) item->style_ = UIBarButtonItemStyle::Done;
    return item;
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::withCustomView(std::shared_ptr<UIView> view) {
    auto item = make();
    item->customView_ = std::move(view);
    return item;
}

void UIBarButtonItem::setTitleTextAttributes(NSAttributes attributes, UIControlState state) {
    titleAttributes_[state] = std::move(attributes);
}

NSAttributes UIBarButtonItem::titleTextAttributesForState(UIControlState state) const {
    auto it = titleAttributes_.find(state);
    if (it == titleAttributes_.end()) it = titleAttributes_.find(0);
    return it == titleAttributes_.end() ? NSAttributes() : it->second;
}

std::shared_ptr<UIView> UIBarButtonItem::view() const {
    auto v = view_.lock();
    return v && v->window() ? v : nullptr;
}

std::string UIBarButtonItem::displayTitle() const {
    if (!title_.empty() || !systemItem_) return title_;
    switch (*systemItem_) {
        case UIBarButtonSystemItem::Done: return "Done";
        case UIBarButtonSystemItem::Cancel: return "Cancel";
        case UIBarButtonSystemItem::Edit: return "Edit";
        case UIBarButtonSystemItem::Save: return "Save";
        case UIBarButtonSystemItem::Add: return "+";
        case UIBarButtonSystemItem::Compose: return "\u270E";
        case UIBarButtonSystemItem::Reply: return "\u21A9";
        case UIBarButtonSystemItem::Action: return "\u2191";
        case UIBarButtonSystemItem::Organize: return "\u25A4";
        case UIBarButtonSystemItem::Bookmarks: return "\u2606";
        case UIBarButtonSystemItem::Search: return "\u2315";
        case UIBarButtonSystemItem::Refresh: return "\u21BB";
        case UIBarButtonSystemItem::Stop: return "\u2715";
        case UIBarButtonSystemItem::Camera: return "\u25C9";
        case UIBarButtonSystemItem::Trash: return "\u2716";
        case UIBarButtonSystemItem::Play: return "\u25B6";
        case UIBarButtonSystemItem::Pause: return "\u2016";
        case UIBarButtonSystemItem::Rewind: return "\u25C0\u25C0";
        case UIBarButtonSystemItem::FastForward: return "\u25B6\u25B6";
        case UIBarButtonSystemItem::Undo: return "Undo";
        case UIBarButtonSystemItem::Redo: return "Redo";
        case UIBarButtonSystemItem::Close: return "\u2715";
        default: return "";
    }
}

bool UIBarButtonItem::performAction() {
    if (!enabled_ || !action_ || isSpace()) return false;
    auto keep = self<UIBarButtonItem>();
    auto action = action_;
    action(*this);
    return true;
}

std::shared_ptr<UIColor> UIBarButtonItem::appearanceTintColor() {
    return itemAppearance().value(UIAppearanceProperty::tintColor).objectAs<UIColor>();
}
void UIBarButtonItem::setAppearanceTintColor(std::shared_ptr<UIColor> color) {
    itemAppearance().setValue(UIAppearanceProperty::tintColor, Value(std::move(color)));
}

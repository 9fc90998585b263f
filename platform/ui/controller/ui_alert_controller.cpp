// Alert pop-up: the model (actions, text fields), its views and layout, and choosing an action.
#include "platform/ui/controller/ui_alert_controller.h"

#include <algorithm>
#include <utility>

#include "platform/runtime/log.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/controller/controller_view.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/text/string_drawing.h"

namespace {
constexpr CGFloat kAlertWidth = 270;
constexpr CGFloat kPopoverSheetWidth = 300;
constexpr CGFloat kButtonHeight = 44;
constexpr CGFloat kFieldHeight = 30;

CGFloat wrappedHeight(const std::string& text, const std::shared_ptr<UIFont>& font, CGFloat width) {
    if (text.empty()) return 0;
    return std::ceil(boundingRectWithSize(text, CGSize{width, 1e6}, NSStringDrawingUsesLineFragmentOrigin,
                                          labelAttributes(font, nullptr))
                         .size.height);
}
}  // namespace

void UIAlertAction::setEnabled(bool e) {
    enabled_ = e;
    if (onChange_) onChange_();
}

void UIAlertAction::run() {
    if (!handler_) return;
    auto keep = self<UIAlertAction>();
    auto h = handler_;
    h(*this);
}

// The dimmed backdrop; a tap on it outside the box is a tap outside.
class UIAlertController::BackgroundView : public ControllerView, public UITouchReceiver {
public:
    KORVA_MAKE(BackgroundView)
    std::weak_ptr<UIAlertController> owner;
    void touchesEnded(const UITouchSet& touches, const UIEvent&) override {
        auto o = owner.lock();
        if (!o || touches.empty()) return;
        if (!CGRectContainsPoint(o->boxFrame(), touches.front()->locationInView(self<UIView>()))) o->tapOutside();
    }

protected:
    explicit BackgroundView(CGRect f) : ControllerView(f) {}
};

// The box: title and message drawn, text fields and action views as subviews.
class UIAlertController::BoxView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(BoxView)
    std::weak_ptr<UIAlertController> owner;
    CGFloat textHeight = 0;
    CGRect actionsArea = CGRectZero;
    void drawRect(CGRect) override {
        auto o = owner.lock();
        if (!o) return;
        CGRect b = bounds();
        fillRoundedRect(b, 13, UIColor::colorWithWhite(0.97, 0.98));
        CGFloat w = b.size.width - 32;
        CGFloat y = 19;
        bool sheet = o->style_ == UIAlertControllerStyle::ActionSheet;
        auto titleFont = sheet ? UIFont::boldSystemFontOfSize(13) : UIFont::boldSystemFontOfSize(17);
        if (!o->title().empty()) {
            CGFloat h = wrappedHeight(o->title(), titleFont, w);
            drawWrapped(o->title(), CGRectMake(16, y, w, h), titleFont,
                        sheet ? UIColor::systemGrayColor() : UIColor::labelColor(), LabelAlignment::Center);
            y += h + 4;
        }
        if (!o->message_.empty()) {
            auto font = UIFont::systemFontOfSize(13);
            drawWrapped(o->message_, CGRectMake(16, y, w, wrappedHeight(o->message_, font, w)), font,
                        sheet ? UIColor::systemGrayColor() : UIColor::labelColor(), LabelAlignment::Center);
        }
    }

protected:
    explicit BoxView(CGRect f) : UIView(f) {}
};

// One action's button.
class UIAlertController::ActionView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(ActionView)
    std::weak_ptr<UIAlertController> owner;
    std::shared_ptr<UIAlertAction> action;
    bool separate = false;  // the sheet's cancel button, in a box of its own
    void touchesEnded(const UITouchSet& touches, const UIEvent&) override {
        auto o = owner.lock();
        if (o && !touches.empty() && CGRectContainsPoint(bounds(), touches.front()->locationInView(self<UIView>())))
            o->chooseAction(action);
    }
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    void drawRect(CGRect) override {
        CGRect b = bounds();
        if (separate)
            fillRoundedRect(b, 13, UIColor::whiteColor());
        else {
            CGContext* ctx = UIGraphicsGetCurrentContext();
            if (!ctx) return;
            ctx->setFillColorWithColor(UIColor::colorWithWhite(0, 0.15)->cgColor());
            UIRectFill(CGRectMake(0, 0, b.size.width, 0.5));
            UIRectFill(CGRectMake(0, 0, 0.5, b.size.height));
        }
        auto o = owner.lock();
        bool preferred = o && o->preferredAction() == action;
        bool bold = action->style() == UIAlertActionStyle::Cancel || preferred;
        auto color = !action->isEnabled()                                 ? UIColor::systemGrayColor()
                     : action->style() == UIAlertActionStyle::Destructive ? UIColor::systemRedColor()
                                                                          : tintColor();
        drawLabel(action->title(), CGRectInset(b, 8, 0),
                  bold ? UIFont::boldSystemFontOfSize(17) : UIFont::systemFontOfSize(17), color,
                  LabelAlignment::Center);
    }

protected:
    explicit ActionView(CGRect f) : UIView(f) {}
};

UIAlertController::UIAlertController(std::string title, std::string message, UIAlertControllerStyle style)
    : message_(std::move(message)), style_(style) {
    UIViewController::setTitle(std::move(title));
}

void UIAlertController::init() {
    UIViewController::init();
    setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
    setModalTransitionStyle(style_ == UIAlertControllerStyle::Alert ? UIModalTransitionStyle::CrossDissolve
                                                                    : UIModalTransitionStyle::CoverVertical);
}

void UIAlertController::setMessage(std::string m) {
    message_ = std::move(m);
    rebuild();
}

void UIAlertController::setTitle(std::string t) {
    UIViewController::setTitle(std::move(t));
    rebuild();
}

bool UIAlertController::addAction(const std::shared_ptr<UIAlertAction>& action) {
    if (!action || std::find(actions_.begin(), actions_.end(), action) != actions_.end()) return false;
    if (action->style() == UIAlertActionStyle::Cancel &&
        std::any_of(actions_.begin(), actions_.end(),
                    [](const auto& a) { return a->style() == UIAlertActionStyle::Cancel; })) {
        Log::warning("ui", "alert: only one cancel action is allowed");
        return false;
    }
    std::weak_ptr<UIAlertController> weak = self<UIAlertController>();
    action->onChange_ = [weak] {
        if (auto me = weak.lock())
            for (auto& v : me->actionViews_) v->setNeedsDisplay();
    };
    actions_.push_back(action);
    rebuild();
    return true;
}

bool UIAlertController::addTextField(std::function<void(UITextField&)> configure) {
    if (style_ != UIAlertControllerStyle::Alert) {
        Log::warning("ui", "alert: text fields belong to alerts, not action sheets");
        return false;
    }
    auto field = UITextField::make(CGRectMake(0, 0, kAlertWidth - 32, kFieldHeight));
    field->setBorderStyle(UITextBorderStyle::Line);
    field->setFont(UIFont::systemFontOfSize(13));
    if (configure) configure(*field);
    textFields_.push_back(field);
    rebuild();
    return true;
}

std::vector<std::shared_ptr<UIAlertAction>> UIAlertController::displayedActions() const {
    std::vector<std::shared_ptr<UIAlertAction>> out;
    std::shared_ptr<UIAlertAction> cancel;
    for (auto& a : actions_) {
        if (a->style() == UIAlertActionStyle::Cancel)
            cancel = a;
        else
            out.push_back(a);
    }
    if (!cancel) return out;
    // In a side-by-side pair the cancel button comes first; in a list, last.
    bool pair = style_ == UIAlertControllerStyle::Alert && actions_.size() == 2;
    if (pair)
        out.insert(out.begin(), cancel);
    else
        out.push_back(cancel);
    return out;
}

bool UIAlertController::chooseAction(const std::shared_ptr<UIAlertAction>& action) {
    if (chosen_ || !action || !action->isEnabled()) return false;
    if (std::find(actions_.begin(), actions_.end(), action) == actions_.end()) return false;
    chosen_ = true;
    auto keep = self<UIAlertController>();
    // Still appearing, the alert cannot go yet: it goes once it has appeared, rather than stay on
    // screen with its one choice spent.
    if (isBeingPresented()) {
        dismissOnAppear_ = true;
        action->run();
        return true;
    }
    if (!dismissViewControllerAnimated(true, [action] { action->run(); })) action->run();
    return true;
}

bool UIAlertController::chooseActionWithTitle(const std::string& title) {
    for (auto& a : actions_)
        if (a->title() == title) return chooseAction(a);
    return false;
}

bool UIAlertController::tapOutside() {
    if (style_ != UIAlertControllerStyle::ActionSheet) return false;
    for (auto& a : actions_)
        if (a->style() == UIAlertActionStyle::Cancel) return chooseAction(a);
    return false;
}

CGRect UIAlertController::boxFrame() const {
    return box_ ? box_->frame() : CGRectZero;
}

void UIAlertController::loadView() {
    auto bg = BackgroundView::make(UIScreen::mainScreen()->bounds());
    bg->owner = self<UIAlertController>();
    bg->setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
    setView(bg);
    box_ = BoxView::make(CGRectZero);
    box_->owner = self<UIAlertController>();
    box_->setOpaque(false);
    bg->addSubview(box_);
    rebuild();
}

void UIAlertController::rebuild() {
    if (!box_) return;
    for (auto& v : actionViews_) v->removeFromSuperview();
    actionViews_.clear();
    auto me = self<UIAlertController>();
    for (auto& a : displayedActions()) {
        auto v = ActionView::make(CGRectZero);
        v->owner = me;
        v->action = a;
        v->setOpaque(false);
        v->separate = style_ == UIAlertControllerStyle::ActionSheet && a->style() == UIAlertActionStyle::Cancel;
        actionViews_.push_back(v);
        if (v->separate)
            viewIfLoaded()->addSubview(v);
        else
            box_->addSubview(v);
    }
    for (auto& f : textFields_)
        if (f->superview() != box_) box_->addSubview(f);
    viewIfLoaded()->setNeedsLayout();
    box_->setNeedsDisplay();
}

void UIAlertController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    auto root = viewIfLoaded();
    if (!root || !box_) return;
    CGRect b = root->bounds();
    bool sheet = style_ == UIAlertControllerStyle::ActionSheet;
    // A sheet with an anchor on a tablet is a popover at the anchor, its cancel button left out
    // (a tap outside cancels).
    auto popover = sheet ? popoverPresentationController() : nullptr;
    const bool anchored = popover && (popover->sourceView() || popover->barButtonItem());
    CGFloat width = sheet ? std::min<CGFloat>(b.size.width - 16, anchored ? kPopoverSheetWidth : 400)
                          : std::min<CGFloat>(kAlertWidth, b.size.width - 16);
    CGFloat textW = width - 32;
    CGFloat y = 19;
    if (!title().empty()) y += wrappedHeight(title(), UIFont::boldSystemFontOfSize(sheet ? 13 : 17), textW) + 4;
    if (!message_.empty()) y += wrappedHeight(message_, UIFont::systemFontOfSize(13), textW);
    bool hasText = !title().empty() || !message_.empty();
    y = hasText ? y + 19 : 0;
    for (auto& f : textFields_) {
        f->setFrame(CGRectMake(16, y, textW, kFieldHeight));
        y += kFieldHeight + 4;
    }
    if (!textFields_.empty()) y += 12;
    std::vector<std::shared_ptr<ActionView>> inBox;
    std::shared_ptr<ActionView> separate;
    for (auto& v : actionViews_) (v->separate ? separate : inBox.emplace_back()) = v;
    bool pair = !sheet && inBox.size() == 2;
    if (pair) {
        inBox[0]->setFrame(CGRectMake(0, y, width / 2, kButtonHeight));
        inBox[1]->setFrame(CGRectMake(width / 2, y, width / 2, kButtonHeight));
        y += kButtonHeight;
    } else {
        for (auto& v : inBox) {
            v->setFrame(CGRectMake(0, y, width, sheet ? 57 : kButtonHeight));
            y += sheet ? 57 : kButtonHeight;
        }
    }
    CGFloat height = y;
    UIEdgeInsets safe = root->safeAreaInsets();
    if (anchored) {
        if (separate) separate->setHidden(true);
        const CGRect inWindow = popover->frameInWindow(root->convertRectToView(b, nullptr), CGSize{width, height});
        box_->setFrame(root->convertRectFromView(inWindow, nullptr));
    } else if (sheet) {
        CGFloat bottom = b.size.height - safe.bottom - 8;
        if (separate) {
            separate->setFrame(CGRectMake((b.size.width - width) / 2, bottom - 57, width, 57));
            bottom -= 57 + 8;
        }
        box_->setFrame(CGRectMake((b.size.width - width) / 2, bottom - height, width, height));
    } else {
        // Above the keyboard when the alert has text fields.
        CGFloat avail = b.size.height - (textFields_.empty() ? 0 : 216);
        box_->setFrame(
            CGRectMake((b.size.width - width) / 2, std::max<CGFloat>(safe.top, (avail - height) / 2), width, height));
    }
    box_->setNeedsDisplay();
}

void UIAlertController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    if (std::exchange(dismissOnAppear_, false)) {
        dismissViewControllerAnimated(true);
        return;
    }
    if (!textFields_.empty()) textFields_.front()->becomeFirstResponder();
}

void UIAlertController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    auto presenter = presentingViewController();
    std::shared_ptr<UIView> covered = presenter && presenter->isViewLoaded() ? presenter->view() : nullptr;
    if (!covered || covered->tintAdjustmentMode() == UIViewTintAdjustmentMode::Dimmed) return;
    covered->setTintAdjustmentMode(UIViewTintAdjustmentMode::Dimmed);
    dimmed_ = covered;
}

void UIAlertController::viewDidDisappear(bool animated) {
    UIViewController::viewDidDisappear(animated);
    if (auto covered = dimmed_.lock()) covered->setTintAdjustmentMode(UIViewTintAdjustmentMode::Automatic);
    dimmed_.reset();
}

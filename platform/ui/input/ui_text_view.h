// The multi-line editable text view: a scroll view of wrapped text that takes the keyboard,
// with a delegate asked before each change. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/range.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/ui_font.h"

class NSMutableAttributedString;

inline constexpr const char* UITextViewTextDidBeginEditingNotification = "UITextViewTextDidBeginEditingNotification";
inline constexpr const char* UITextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";
inline constexpr const char* UITextViewTextDidEndEditingNotification = "UITextViewTextDidEndEditingNotification";

class UITextView;

// A place in the text: an offset in UTF-16 units from the beginning.
struct UITextPosition {
    std::size_t offset = 0;
    bool operator==(const UITextPosition&) const = default;
};
struct UITextRange {
    UITextPosition start, end;
};
enum class UITextGranularity { Character = 0, Word = 1, Sentence = 2, Paragraph = 3, Line = 4, Document = 5 };
// Storage directions: forward 0, backward 1.
enum class UITextStorageDirection { Forward = 0, Backward = 1 };

// What a read-only text view turns into links (bits).
using UIDataDetectorTypes = unsigned;
inline constexpr UIDataDetectorTypes UIDataDetectorTypeNone = 0;
inline constexpr UIDataDetectorTypes UIDataDetectorTypeLink = 1u << 1;

// A detected link: where it stands in the text (UTF-16 units) and the address it opens.
struct UITextViewLink {
    NSRange range;
    std::string url;
    bool operator==(const UITextViewLink&) const = default;
};

class UITextViewDelegate : public UIScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(UITextView&) { return true; }
    virtual void textViewDidBeginEditing(UITextView&) {}
    virtual bool textViewShouldEndEditing(UITextView&) { return true; }
    virtual void textViewDidEndEditing(UITextView&) {}
    virtual bool shouldChangeTextInRange(UITextView&, NSRange, const std::string&) { return true; }
    virtual void textViewDidChange(UITextView&) {}
};

class UITextView : public UIScrollView, public UIKeyInputView {
public:
    KORVA_MAKE(UITextView)
    void init() override;
    ~UITextView() override;

    const std::string& text() const { return text_; }
    // Virtual so that a text view showing a placeholder hears text set by code.
    virtual void setText(std::string text);
    std::shared_ptr<UIFont> font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> f);
    std::shared_ptr<UIColor> textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> c) {
        textColor_ = std::move(c);
        setNeedsDisplay();
    }
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment a) {
        alignment_ = a;
        setNeedsDisplay();
    }
    UIEdgeInsets textContainerInset() const { return inset_; }
    void setTextContainerInset(UIEdgeInsets i) {
        inset_ = i;
        updateContentSize();
    }
    bool isEditable() const { return editable_; }
    void setEditable(bool e);
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool s) { selectable_ = s; }
    // Web addresses ("http://", "https://", "www.") and mail addresses in a text view that is not
    // editable show as links, and a tap on one opens it through the application.
    UIDataDetectorTypes dataDetectorTypes() const { return detectorTypes_; }
    void setDataDetectorTypes(UIDataDetectorTypes types) {
        detectorTypes_ = types;
        setNeedsDisplay();
    }
    // The links shown now (none while the view is editable or detects none), in text order.
    std::vector<UITextViewLink> detectedLinks() const;
    // The address of the link under a point in the view's coordinates.
    std::optional<std::string> linkAtPoint(CGPoint point) const;

    UITextInputTraits& traits() { return traits_; }
    const UITextInputTraits& inputTraits() const override { return traits_; }
    std::shared_ptr<UIView> inputView() const override { return inputView_; }
    void setInputView(std::shared_ptr<UIView> v) { inputView_ = std::move(v); }
    std::shared_ptr<UIView> inputAccessoryView() const override { return accessory_; }
    void setInputAccessoryView(std::shared_ptr<UIView> v) { accessory_ = std::move(v); }

    std::shared_ptr<UITextViewDelegate> delegate() const { return delegate_.lock(); }
    // Also hears the scroll view's offset changes.
    void setDelegate(const std::shared_ptr<UITextViewDelegate>& d);

    bool canBecomeFirstResponder() const override { return editable_; }
    bool isFirstResponder() const override { return FirstResponder::isCurrent(*this); }
    bool becomeFirstResponder();
    bool resignFirstResponder(bool force = false) override;
    bool isEditing() const { return editing_; }

    void insertText(const std::string& text) override;
    void deleteBackward() override;
    // A return key in a text view types a line break.
    void returnKeyPressed() override { insertText("\n"); }
    bool replaceRange(NSRange range, const std::string& replacement);

    // Positions: the beginning, the position nearest a point (view coordinates), offsets between
    // positions, the text of a range, and the word around a position in a storage direction (none
    // when no word touches it on that side or, failing that, the other).
    UITextPosition beginningOfDocument() const { return {}; }
    UITextPosition endOfDocument() const;
    UITextPosition closestPositionToPoint(CGPoint point) const;
    std::int64_t offsetFromPosition(UITextPosition from, UITextPosition to) const;
    std::string textInRange(UITextRange range) const;
    std::optional<UITextRange> rangeEnclosingPosition(UITextPosition position, UITextGranularity granularity,
                                                      UITextStorageDirection direction) const;

    // The caret at the insertion point (the end of the text, where typing goes), in the view's
    // coordinates (content space: it scrolls with the text).
    CGRect caretRect() const;
    // The height the text needs at the current width (with the container inset).
    CGFloat textHeight() const;
    CGSize sizeThatFits(CGSize size) const override;

    std::shared_ptr<UIView> keyInputView() override { return self<UIView>(); }
    // Leaving the window gives up the focus.
    void willMoveToWindow(const std::shared_ptr<UIWindow>& window) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    // A tap does something in an editable or selectable text, and on a link in any other.
    bool takesTapAt(CGPoint point) override { return editable_ || selectable_ || linkAtPoint(point).has_value(); }
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UITextView"; }

protected:
    explicit UITextView(CGRect frame = CGRectZero) : UIScrollView(frame) {}
    // The text is drawn for the visible part only: a scroll draws it again.
    void contentOffsetDidChange() override { setNeedsDisplay(); }

private:
    void textChanged();
    void updateContentSize();
    CGFloat heightForWidth(CGFloat width) const;
    void drawLinkedText(CGRect content, const std::shared_ptr<UIColor>& color,
                        const std::vector<UITextViewLink>& links);
    // The text as drawn while it shows links: aligned, the links in the tint colour and underlined.
    std::shared_ptr<NSMutableAttributedString> linkedText(const std::shared_ptr<UIColor>& color,
                                                          const std::vector<UITextViewLink>& links) const;

    std::string text_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    NSTextAlignment alignment_ = NSTextAlignment::Natural;
    UIEdgeInsets inset_{8, 5, 8, 5};
    bool editable_ = true, selectable_ = true;
    UIDataDetectorTypes detectorTypes_ = UIDataDetectorTypeNone;
    UITextInputTraits traits_;
    std::shared_ptr<UIView> inputView_, accessory_;
    std::weak_ptr<UITextViewDelegate> delegate_;
    bool editing_ = false, resigning_ = false;
};

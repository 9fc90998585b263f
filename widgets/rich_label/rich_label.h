// RichLabel: a label that lays out and draws attributed text itself and makes ranges of it into
// links: found by the data detector or added by the caller, pressed, dimmed, tapped and long
// pressed, and read out one by one by accessibility. Beyond a plain label it offers vertical
// alignment, text insets, line heights and spacing, kerning, a first-line indent, a custom
// truncation token, a blurred shadow, highlighted shadow and text colours, background boxes and
// strike-through lines behind and across runs.
//
// Main-thread only, except the detector pass, which runs on a background queue, reads only the
// label's detector and the text it was given, and returns to the main queue before it touches
// the label. The label's recursive lock guards the rebuild of the framesetter and of the
// accessibility elements.
//
// Pressed state: no active link, or one active link with the text as it was before the press
// held in inactiveAttributedText; setActiveLink(link) enters it and setActiveLink(nullptr)
// leaves it, restoring that text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/text/data_detector.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/input/text_input_traits.h"
#include "widgets/rich_label/rich_framesetter.h"
#include "widgets/rich_label/rich_label_delegate.h"
#include "widgets/rich_label/rich_label_link.h"

class CGContext;
class NSCoder;

// Where the text lies vertically when it is shorter than the text area.
enum class RichLabelVerticalAlignment : std::int64_t { Center = 0, Top = 1, Bottom = 2 };

// The text accessors of a label that takes plain or attributed text.
class RichTextAccessors {
public:
    virtual ~RichTextAccessors() = default;
    virtual void setText(std::string text) = 0;
    virtual void setText(std::shared_ptr<NSAttributedString> text) = 0;
};

class RichLabel : public UILabel, public RichTextAccessors, public UIGestureRecognizerDelegate, public UITouchReceiver {
public:
    KORVA_MAKE(RichLabel)
    using ConfigureBlock = std::function<std::shared_ptr<NSAttributedString>(NSMutableAttributedString&)>;
    using Scheduler = std::function<void(dispatch_block_t)>;
    void init() override;
    ~RichLabel() override;

    // ---- configuration ----
    std::shared_ptr<RichLabelDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<RichLabelDelegate>& delegate) { delegate_ = delegate; }
    NSTextCheckingType enabledTextCheckingTypes() const { return enabledTypes_; }
    // Finds a detector for the mask in a process-wide cache (one per mask); 0 means none. The
    // current text is not looked at again: detection happens when text is set.
    void setEnabledTextCheckingTypes(NSTextCheckingType types);
    // The result of every link, oldest first.
    std::vector<NSTextCheckingResult> links() const;
    const std::optional<NSAttributes>& linkAttributes() const { return linkAttributes_; }
    void setLinkAttributes(std::optional<NSAttributes> attributes);
    const std::optional<NSAttributes>& activeLinkAttributes() const { return activeLinkAttributes_; }
    void setActiveLinkAttributes(std::optional<NSAttributes> attributes);
    const std::optional<NSAttributes>& inactiveLinkAttributes() const { return inactiveLinkAttributes_; }
    void setInactiveLinkAttributes(std::optional<NSAttributes> attributes);
    UIEdgeInsets linkBackgroundEdgeInset() const { return linkBackgroundEdgeInset_; }
    void setLinkBackgroundEdgeInset(UIEdgeInsets inset);
    bool extendsLinkTouchArea() const { return extendsLinkTouchArea_; }
    void setExtendsLinkTouchArea(bool extends) { extendsLinkTouchArea_ = extends; }
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat radius);
    CGFloat highlightedShadowRadius() const { return highlightedShadowRadius_; }
    void setHighlightedShadowRadius(CGFloat radius);
    CGSize highlightedShadowOffset() const { return highlightedShadowOffset_; }
    void setHighlightedShadowOffset(CGSize offset);
    std::shared_ptr<UIColor> highlightedShadowColor() const { return highlightedShadowColor_; }
    void setHighlightedShadowColor(std::shared_ptr<UIColor> color);
    CGFloat kern() const { return kern_; }
    void setKern(CGFloat kern);
    CGFloat firstLineIndent() const { return firstLineIndent_; }
    void setFirstLineIndent(CGFloat indent);
    CGFloat lineSpacing() const { return lineSpacing_; }
    void setLineSpacing(CGFloat spacing);
    // 0: the font's line height times the multiple.
    CGFloat minimumLineHeight() const { return minimumLineHeight_; }
    void setMinimumLineHeight(CGFloat height);
    CGFloat maximumLineHeight() const { return maximumLineHeight_; }
    void setMaximumLineHeight(CGFloat height);
    CGFloat lineHeightMultiple() const { return lineHeightMultiple_; }
    void setLineHeightMultiple(CGFloat multiple);
    UIEdgeInsets textInsets() const { return textInsets_; }
    void setTextInsets(UIEdgeInsets insets);
    // 0 centre, 1 top, 2 bottom; other values draw at the top.
    std::int64_t verticalAlignment() const { return verticalAlignment_; }
    void setVerticalAlignment(std::int64_t alignment);
    void setVerticalAlignment(RichLabelVerticalAlignment alignment) { setVerticalAlignment(std::int64_t(alignment)); }
    // Drawn where text is cut instead of "…", with its own attributes.
    std::shared_ptr<NSAttributedString> attributedTruncationToken() const { return truncationToken_; }
    void setAttributedTruncationToken(std::shared_ptr<NSAttributedString> token);
    const std::shared_ptr<UILongPressGestureRecognizer>& longPressGestureRecognizer() const { return longPress_; }
    // The detector for the mask, or none; may be read from any thread.
    std::shared_ptr<NSDataDetector> dataDetector() const;
    // Where the detector pass runs; the platform's global queue unless a caller (a test) says.
    void setDetectionScheduler(Scheduler scheduler) { scheduler_ = std::move(scheduler); }

    // ---- text ----
    // A plain string takes the label's own attributes; an attributed string (or none) is kept as
    // it is, its link attributes become links and the detector looks for more.
    void setText(std::string text) override;
    void setText(const char* text) { setText(std::string(text)); }
    void setText(std::shared_ptr<NSAttributedString> text) override;
    void setText(std::nullptr_t) { setText(std::shared_ptr<NSAttributedString>()); }
    // The text with the label's font, colour, kern and paragraph style over its whole length
    // (replacing the string's own), changed by the block when one is given, then set as above.
    void setTextAfterInheritingLabelAttributes(std::string text, const ConfigureBlock& configure);
    void setTextAfterInheritingLabelAttributes(const std::shared_ptr<NSAttributedString>& text,
                                               const ConfigureBlock& configure);
    // Stores the text alone: no links, no detection.
    void setAttributedText(std::shared_ptr<NSAttributedString> text);
    std::shared_ptr<NSAttributedString> attributedText() const { return attributedText_; }
    void setTextColor(std::shared_ptr<UIColor> color);
    void setHighlighted(bool highlighted);

    // ---- links ----
    void addLinks(const std::vector<std::shared_ptr<RichLabelLink>>& links);
    void addLink(const std::shared_ptr<RichLabelLink>& link) { addLinks({link}); }
    std::vector<std::shared_ptr<RichLabelLink>> addLinksWithTextCheckingResults(
        const std::vector<NSTextCheckingResult>& results, const std::optional<NSAttributes>& attributes);
    std::shared_ptr<RichLabelLink> addLinkWithTextCheckingResult(const NSTextCheckingResult& result,
                                                                 const std::optional<NSAttributes>& attributes);
    std::shared_ptr<RichLabelLink> addLinkWithTextCheckingResult(const NSTextCheckingResult& result);
    std::shared_ptr<RichLabelLink> addLinkToURL(std::shared_ptr<NSURL> url, NSRange range);
    std::shared_ptr<RichLabelLink> addLinkToAddress(ValueDictionary components, NSRange range);
    std::shared_ptr<RichLabelLink> addLinkToPhoneNumber(std::string phoneNumber, NSRange range);
    std::shared_ptr<RichLabelLink> addLinkToDate(double date, NSRange range);
    std::shared_ptr<RichLabelLink> addLinkToDate(double date, std::string timeZone, double duration, NSRange range);
    std::shared_ptr<RichLabelLink> addLinkToTransitInformation(ValueDictionary components, NSRange range);
    const std::vector<std::shared_ptr<RichLabelLink>>& linkModels() const { return linkModels_; }
    // Also drops the accessibility elements.
    void setLinkModels(std::vector<std::shared_ptr<RichLabelLink>> links);
    // The pressed state (see the top of the file).
    void setActiveLink(const std::shared_ptr<RichLabelLink>& link);
    std::shared_ptr<RichLabelLink> activeLink() const { return activeLink_; }
    std::shared_ptr<NSAttributedString> inactiveAttributedText() const { return inactiveAttributedText_; }

    // ---- layout and drawing ----
    // The size a text takes within a width (and a line limit, 0: none); zero for none or "".
    static CGSize sizeThatFitsAttributedString(const std::shared_ptr<NSAttributedString>& text, CGSize size,
                                               std::size_t numberOfLines);
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    CGRect textRectForBounds(CGRect bounds, long numberOfLines) const override;
    // Draws into the bounds: the text rectangle is worked out inside.
    void drawRect(CGRect rect) override;
    void drawTextInRect(CGRect rect) override;

    // The text as drawn (colour-from-context ranges in the text colour), made once per change.
    std::shared_ptr<NSAttributedString> renderedAttributedText() const;
    // The layout of the rendered text, rebuilt after a change of text or colour.
    std::shared_ptr<RichFramesetter> framesetter() const;
    void setNeedsFramesetter();

    // ---- links under points ----
    // The character under a point, or NSNotFound.
    std::size_t characterIndexAtPoint(CGPoint point) const;
    std::shared_ptr<RichLabelLink> linkAtCharacterIndex(std::size_t index) const;
    std::shared_ptr<RichLabelLink> linkAtRadius(double radius, CGPoint point) const;
    std::shared_ptr<RichLabelLink> linkAtPoint(CGPoint point) const;
    bool containslinkAtPoint(CGPoint point) const { return linkAtPoint(point) != nullptr; }

    std::shared_ptr<UIView> hitTest(CGPoint point) override;
    bool shouldReceiveTouch(UIGestureRecognizer& recognizer, const UITouch& touch) override;
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;
    void longPressGestureDidFire(UILongPressGestureRecognizer& recognizer);
    void tintColorDidChange() override;

    // ---- copying and accessibility ----
    bool canBecomeFirstResponder() const override { return true; }
    bool isFirstResponder() const override { return UIViewIsFirstResponder(*this); }
    bool canPerformAction(std::string_view action, const std::shared_ptr<NSObject>& sender) const override;
    void copy(const std::shared_ptr<NSObject>& sender);
    bool isAccessibilityElement() const override { return false; }
    std::size_t accessibilityElementCount() const override;
    std::shared_ptr<NSObject> accessibilityElementAtIndex(std::size_t index) const override;
    std::size_t indexOfAccessibilityElement(const NSObject& element) const override;
    // The links first, in link order, then the whole label; built on first use after the links changed.
    std::vector<std::shared_ptr<NSObject>> accessibilityElements() const;
    CGRect boundingRectForCharacterRange(NSRange range) const;

    // ---- archived form ----
    // The platform label's fields, the common set-up, then each key the archive holds through the
    // label's own setters (numbers to single precision), the text last.
    void initWithCoder(const NSCoder& coder) override;
    void encodeWithCoder(NSCoder& coder) const override;

    std::string className() const override { return "RichLabel"; }

protected:
    explicit RichLabel(CGRect frame = CGRectZero) : UILabel(frame) {}

private:
    void commonInit();
    void startDetection(const std::shared_ptr<NSAttributedString>& text);
    // A tap, or a long press at a location, on a link with the result.
    void sendEvent(const NSTextCheckingResult& result, std::optional<CGPoint> longPressAt);
    void drawFramesetter(const RichFramesetter& framesetter, const NSAttributedString& text, NSRange range, CGRect rect,
                         CGContext& context);
    void drawTruncatedLine(const RichFramesetter& framesetter, const TextLayout& frame, std::size_t line,
                           const NSAttributedString& text, NSRange range, CGRect rect, CGContext& context);
    void drawBackground(const TextLayout& frame, CGRect rect, CGContext& context) const;
    void drawStrike(const TextLayout& frame, CGRect rect, CGContext& context) const;
    void addTokenLink(const Value& target, NSRange range);

    std::weak_ptr<RichLabelDelegate> delegate_;
    NSTextCheckingType enabledTypes_ = 0;
    std::optional<NSAttributes> linkAttributes_, activeLinkAttributes_, inactiveLinkAttributes_;
    UIEdgeInsets linkBackgroundEdgeInset_{0, -1, 0, -1};
    bool extendsLinkTouchArea_ = false;
    CGFloat shadowRadius_ = 0, highlightedShadowRadius_ = 0;
    CGSize highlightedShadowOffset_{0, 0};
    std::shared_ptr<UIColor> highlightedShadowColor_;
    CGFloat kern_ = 0, firstLineIndent_ = 0, lineSpacing_ = 0;
    CGFloat minimumLineHeight_ = 0, maximumLineHeight_ = 0, lineHeightMultiple_ = 1;
    UIEdgeInsets textInsets_{};
    std::int64_t verticalAlignment_ = 0;
    std::shared_ptr<NSAttributedString> truncationToken_;
    std::shared_ptr<UILongPressGestureRecognizer> longPress_;
    Scheduler scheduler_;

    std::shared_ptr<NSAttributedString> attributedText_;
    std::shared_ptr<NSAttributedString> inactiveAttributedText_;
    // The detector, shared with detector passes in flight: a pass reads it without holding the
    // label, so that a label is never let go of off the main thread.
    struct DetectorSlot {
        std::mutex mutex;
        std::shared_ptr<NSDataDetector> detector;
    };
    std::shared_ptr<DetectorSlot> detectorSlot_ = std::make_shared<DetectorSlot>();
    std::vector<std::shared_ptr<RichLabelLink>> linkModels_;
    std::shared_ptr<RichLabelLink> activeLink_;

    // Caches the drawing reads; the lock guards their rebuild.
    mutable std::recursive_mutex lock_;
    mutable bool needsFramesetter_ = true;
    mutable std::shared_ptr<NSAttributedString> renderedAttributedText_;
    mutable std::shared_ptr<RichFramesetter> framesetter_, highlightFramesetter_;
    mutable std::optional<std::vector<std::shared_ptr<NSObject>>> accessibilityElements_;
};

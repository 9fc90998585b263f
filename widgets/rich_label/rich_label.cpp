// The rich label's text model: settings, the three roads of setting text, links and their
// adding, the pressed state, link detection and the caches the drawing reads.
#include "widgets/rich_label/rich_label.h"

#include <map>

#include "platform/ui/animation/ca_transaction.h"
#include "widgets/rich_label/rich_label_attributes.h"

namespace {

// One detector per mask for the whole process; used from the main thread only.
std::shared_ptr<NSDataDetector> sharedDetector(NSTextCheckingType types) {
    static std::map<NSTextCheckingType, std::shared_ptr<NSDataDetector>> cache;
    auto it = cache.find(types);
    if (it != cache.end()) return it->second;
    auto made = NSDataDetector::dataDetectorWithTypes(types);
    if (!made.ok()) return nullptr;
    cache[types] = *made;
    return *made;
}

std::optional<NSAttributes> converted(const std::optional<NSAttributes>& attributes) {
    if (!attributes) return std::nullopt;
    return RichLinkAttributesForCoreText(*attributes);
}

bool sameText(const std::shared_ptr<NSAttributedString>& a, const std::shared_ptr<NSAttributedString>& b) {
    if (!a || !b) return a == b;
    return a->isEqualToAttributedString(*b);
}

std::shared_ptr<NSAttributedString> copyOf(const std::shared_ptr<NSAttributedString>& text) {
    return text ? std::static_pointer_cast<NSAttributedString>(text->mutableCopy()) : nullptr;
}

}  // namespace

void RichLabel::init() {
    UILabel::init();
    commonInit();
}

void RichLabel::commonInit() {
    setUserInteractionEnabled(true);
    setMultipleTouchEnabled(false);
    textInsets_ = UIEdgeInsetsZero;
    lineHeightMultiple_ = 1;
    linkModels_.clear();
    linkBackgroundEdgeInset_ = {0, -1, 0, -1};
    setLinkAttributes(
        NSAttributes{{kCTUnderlineStyleAttributeName, true}, {kCTForegroundColorAttributeName, UIColor::blueColor()}});
    setActiveLinkAttributes(
        NSAttributes{{kCTUnderlineStyleAttributeName, false}, {kCTForegroundColorAttributeName, UIColor::redColor()}});
    setInactiveLinkAttributes(
        NSAttributes{{kCTUnderlineStyleAttributeName, false}, {kCTForegroundColorAttributeName, UIColor::grayColor()}});
    extendsLinkTouchArea_ = false;
    std::weak_ptr<RichLabel> weak = self<RichLabel>();
    longPress_ = UILongPressGestureRecognizer::make([weak](UIGestureRecognizer& recognizer) {
        if (auto label = weak.lock())
            label->longPressGestureDidFire(static_cast<UILongPressGestureRecognizer&>(recognizer));
    });
    longPress_->setDelegate(std::shared_ptr<UIGestureRecognizerDelegate>(self<RichLabel>(), this));
    UIViewAddGestureRecognizer(*this, longPress_);
}

RichLabel::~RichLabel() = default;

// ---- settings ----

void RichLabel::setEnabledTextCheckingTypes(NSTextCheckingType types) {
    if (types == enabledTypes_) return;
    enabledTypes_ = types;
    auto detector = types == 0 ? nullptr : sharedDetector(types);
    std::lock_guard lock(detectorSlot_->mutex);
    detectorSlot_->detector = std::move(detector);
}

std::shared_ptr<NSDataDetector> RichLabel::dataDetector() const {
    std::lock_guard lock(detectorSlot_->mutex);
    return detectorSlot_->detector;
}

std::vector<NSTextCheckingResult> RichLabel::links() const {
    std::vector<NSTextCheckingResult> results;
    for (const auto& link : linkModels_) results.push_back(link->result());
    return results;
}

void RichLabel::setLinkAttributes(std::optional<NSAttributes> attributes) {
    linkAttributes_ = converted(attributes);
}
void RichLabel::setActiveLinkAttributes(std::optional<NSAttributes> attributes) {
    activeLinkAttributes_ = converted(attributes);
}
void RichLabel::setInactiveLinkAttributes(std::optional<NSAttributes> attributes) {
    inactiveLinkAttributes_ = converted(attributes);
}

void RichLabel::setLinkBackgroundEdgeInset(UIEdgeInsets inset) {
    linkBackgroundEdgeInset_ = inset;
    setNeedsDisplay();
}

void RichLabel::setShadowRadius(CGFloat radius) {
    shadowRadius_ = radius;
    setNeedsDisplay();
}

void RichLabel::setHighlightedShadowRadius(CGFloat radius) {
    highlightedShadowRadius_ = radius;
    setNeedsDisplay();
}

void RichLabel::setHighlightedShadowOffset(CGSize offset) {
    highlightedShadowOffset_ = offset;
    setNeedsDisplay();
}

void RichLabel::setHighlightedShadowColor(std::shared_ptr<UIColor> color) {
    highlightedShadowColor_ = std::move(color);
    setNeedsDisplay();
}

void RichLabel::setKern(CGFloat kern) {
    kern_ = kern;
}
void RichLabel::setFirstLineIndent(CGFloat indent) {
    firstLineIndent_ = indent;
}
void RichLabel::setLineSpacing(CGFloat spacing) {
    lineSpacing_ = spacing;
}
void RichLabel::setMinimumLineHeight(CGFloat height) {
    minimumLineHeight_ = height;
}
void RichLabel::setMaximumLineHeight(CGFloat height) {
    maximumLineHeight_ = height;
}
void RichLabel::setLineHeightMultiple(CGFloat multiple) {
    lineHeightMultiple_ = multiple;
}

void RichLabel::setTextInsets(UIEdgeInsets insets) {
    textInsets_ = insets;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void RichLabel::setVerticalAlignment(std::int64_t alignment) {
    verticalAlignment_ = alignment;
    setNeedsDisplay();
}

void RichLabel::setAttributedTruncationToken(std::shared_ptr<NSAttributedString> token) {
    truncationToken_ = copyOf(token);
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

// ---- the three roads ----

void RichLabel::setText(std::string text) {
    setTextAfterInheritingLabelAttributes(std::move(text), nullptr);
}

void RichLabel::setTextAfterInheritingLabelAttributes(std::string text, const ConfigureBlock& configure) {
    auto mutableText = NSMutableAttributedString::make(std::move(text), RichAttributesFromLabel(*this));
    std::shared_ptr<NSAttributedString> result = mutableText;
    if (configure) result = configure(*mutableText);
    setText(result);
}

void RichLabel::setTextAfterInheritingLabelAttributes(const std::shared_ptr<NSAttributedString>& text,
                                                      const ConfigureBlock& configure) {
    if (!text) {
        setText(std::shared_ptr<NSAttributedString>());
        return;
    }
    auto mutableText = text->mutableCopy();
    mutableText->addAttributes(RichAttributesFromLabel(*this), {0, mutableText->length()});
    std::shared_ptr<NSAttributedString> result = mutableText;
    if (configure) result = configure(*mutableText);
    setText(result);
}

void RichLabel::setText(std::shared_ptr<NSAttributedString> text) {
    // Setting text while a link is pressed (from a tap callback) keeps the new text: the text
    // held from before the press is dropped before the press is released.
    inactiveAttributedText_.reset();
    setAttributedText(text);
    setActiveLink(nullptr);
    setLinkModels({});
    if (text && attributedText_ && enabledTypes_ != 0) startDetection(attributedText_);
    if (!attributedText_) return;
    std::vector<std::pair<NSRange, Value>> marked;
    attributedText_->enumerateAttribute(NSLinkAttributeName, {0, attributedText_->length()},
                                        [&](const Value& value, NSRange range, bool&) {
                                            if (!value.isNull()) marked.push_back({range, value});
                                        });
    for (const auto& [range, value] : marked) {
        std::shared_ptr<NSURL> url = value.objectAs<NSURL>();
        if (!url && value.isString()) url = NSURL::URLWithString(*value.string());
        // A value that makes no web address still marks a link (with no address to go to).
        addLinkWithTextCheckingResult(NSTextCheckingResult::linkCheckingResultWithRange(range, url));
    }
}

void RichLabel::setAttributedText(std::shared_ptr<NSAttributedString> text) {
    if (sameText(text, attributedText_)) return;
    attributedText_ = copyOf(text);
    setNeedsFramesetter();
    setNeedsDisplay();
    invalidateIntrinsicContentSize();
    UILabel::setText(attributedText_ ? std::optional<std::string>(attributedText_->string()) : std::nullopt);
}

void RichLabel::setTextColor(std::shared_ptr<UIColor> color) {
    auto before = textColor();
    UILabel::setTextColor(std::move(color));
    if (textColor() != before) {
        setNeedsFramesetter();
        setNeedsDisplay();
    }
}

void RichLabel::setHighlighted(bool highlighted) {
    UILabel::setHighlighted(highlighted);
    setNeedsDisplay();
}

// ---- detection ----

void RichLabel::startDetection(const std::shared_ptr<NSAttributedString>& text) {
    std::weak_ptr<RichLabel> weak = self<RichLabel>();
    std::weak_ptr<DetectorSlot> weakSlot = detectorSlot_;
    auto pass = [weak, weakSlot, text] {
        std::shared_ptr<NSDataDetector> detector;
        if (auto slot = weakSlot.lock()) {
            std::lock_guard lock(slot->mutex);
            detector = slot->detector;
        }
        if (!detector) return;
        auto results = detector->matchesInString(text->string(), 0, {0, text->length()});
        if (results.empty()) return;
        dispatch_async(dispatch_get_main_queue(), [weak, text, results] {
            auto label = weak.lock();
            if (!label || !label->attributedText_ || label->attributedText_->string() != text->string()) return;
            label->addLinksWithTextCheckingResults(results, label->linkAttributes());
        });
    };
    if (scheduler_)
        scheduler_(std::move(pass));
    else
        dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT), std::move(pass));
}

// ---- links ----

std::vector<std::shared_ptr<RichLabelLink>> RichLabel::addLinksWithTextCheckingResults(
    const std::vector<NSTextCheckingResult>& results, const std::optional<NSAttributes>& attributes) {
    std::vector<std::shared_ptr<RichLabelLink>> made;
    for (const auto& result : results)
        made.push_back(RichLabelLink::make(attributes, attributes ? activeLinkAttributes_ : std::nullopt,
                                           attributes ? inactiveLinkAttributes_ : std::nullopt, result));
    addLinks(made);
    return made;
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkWithTextCheckingResult(const NSTextCheckingResult& result,
                                                                        const std::optional<NSAttributes>& attributes) {
    return addLinksWithTextCheckingResults({result}, attributes).front();
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkWithTextCheckingResult(const NSTextCheckingResult& result) {
    return addLinkWithTextCheckingResult(result, linkAttributes_);
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToURL(std::shared_ptr<NSURL> url, NSRange range) {
    return addLinkWithTextCheckingResult(NSTextCheckingResult::linkCheckingResultWithRange(range, std::move(url)));
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToAddress(ValueDictionary components, NSRange range) {
    return addLinkWithTextCheckingResult(
        NSTextCheckingResult::addressCheckingResultWithRange(range, std::move(components)));
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToPhoneNumber(std::string phoneNumber, NSRange range) {
    return addLinkWithTextCheckingResult(
        NSTextCheckingResult::phoneNumberCheckingResultWithRange(range, std::move(phoneNumber)));
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToDate(double date, NSRange range) {
    return addLinkWithTextCheckingResult(NSTextCheckingResult::dateCheckingResultWithRange(range, date));
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToDate(double date, std::string timeZone, double duration,
                                                        NSRange range) {
    return addLinkWithTextCheckingResult(
        NSTextCheckingResult::dateCheckingResultWithRange(range, date, std::move(timeZone), duration));
}

std::shared_ptr<RichLabelLink> RichLabel::addLinkToTransitInformation(ValueDictionary components, NSRange range) {
    return addLinkWithTextCheckingResult(
        NSTextCheckingResult::transitInformationCheckingResultWithRange(range, std::move(components)));
}

void RichLabel::addLinks(const std::vector<std::shared_ptr<RichLabelLink>>& links) {
    if (attributedText_) {
        auto text = attributedText_->mutableCopy();
        for (const auto& link : links) {
            // A range reaching past the text is kept as a link but not styled.
            if (!link || !link->attributes() || NSMaxRange(link->range()) > text->length()) continue;
            text->addAttributes(*link->attributes(), link->range());
        }
        setAttributedText(text);
    }
    setNeedsDisplay();
    auto all = linkModels_;
    for (const auto& link : links)
        if (link) all.push_back(link);
    setLinkModels(std::move(all));
}

void RichLabel::setLinkModels(std::vector<std::shared_ptr<RichLabelLink>> links) {
    linkModels_ = std::move(links);
    std::lock_guard lock(lock_);
    accessibilityElements_.reset();
}

void RichLabel::setActiveLink(const std::shared_ptr<RichLabelLink>& link) {
    activeLink_ = link;
    const std::optional<NSAttributes>& pressed =
        link && link->activeAttributes() ? link->activeAttributes() : activeLinkAttributes_;
    if (link && pressed && !pressed->empty()) {
        if (!inactiveAttributedText_) inactiveAttributedText_ = copyOf(attributedText_);
        auto text =
            inactiveAttributedText_ ? inactiveAttributedText_->mutableCopy() : NSMutableAttributedString::make();
        NSRange range = link->range();
        if (range.length > 0 && NSMaxRange(range) <= text->length()) text->addAttributes(*pressed, range);
        setAttributedText(text);
        setNeedsDisplay();
        CATransaction::flush();
    } else if (inactiveAttributedText_) {
        setAttributedText(inactiveAttributedText_);
        inactiveAttributedText_.reset();
        setNeedsDisplay();
    }
}

// ---- caches ----

std::shared_ptr<NSAttributedString> RichLabel::renderedAttributedText() const {
    std::lock_guard lock(lock_);
    if (renderedAttributedText_ || !attributedText_) return renderedAttributedText_;
    auto rendered = attributedText_->mutableCopy();
    std::vector<NSRange> fromContext;
    rendered->enumerateAttribute(kCTForegroundColorFromContextAttributeName, {0, rendered->length()},
                                 [&](const Value& value, NSRange range, bool&) {
                                     if (!value.isNull()) fromContext.push_back(range);
                                 });
    for (NSRange range : fromContext) {
        rendered->addAttribute(kCTForegroundColorAttributeName, textColor(), range);
        rendered->removeAttribute(kCTForegroundColorFromContextAttributeName, range);
    }
    renderedAttributedText_ = rendered;
    return renderedAttributedText_;
}

void RichLabel::setNeedsFramesetter() {
    std::lock_guard lock(lock_);
    renderedAttributedText_.reset();
    needsFramesetter_ = true;
}

std::shared_ptr<RichFramesetter> RichLabel::framesetter() const {
    std::lock_guard lock(lock_);
    if (needsFramesetter_) {
        framesetter_ = std::make_shared<RichFramesetter>(renderedAttributedText());
        highlightFramesetter_.reset();
        needsFramesetter_ = false;
    }
    return framesetter_;
}

// The web view stand-in's page: title, text with links, and the failure reason.
#include "platform/ui/controller/wk_page_view.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/text/text_layout.h"

namespace {
constexpr const char* kFailureHeading = "The page could not be opened";
// A page keeps its own light look whatever the system appearance: dark text, blue links.
constexpr CGFloat kLinkRed = 0, kLinkGreen = 122.0 / 255, kLinkBlue = 1;

std::shared_ptr<NSAttributedString> bodyText(const HTMLPage& page, const std::string& failure) {
    auto text = NSMutableAttributedString::make(
        failure.empty() ? page.text : failure,
        labelAttributes(UIFont::systemFontOfSize(WKPageView::kTextSize),
                        failure.empty() ? UIColor::blackColor() : UIColor::darkGrayColor()));
    if (!failure.empty()) return text;
    for (const auto& heading : page.headings)
        text->addAttribute(NSFontAttributeName, Value(UIFont::boldSystemFontOfSize(WKPageView::kHeadingSize)), heading);
    for (const auto& span : page.spans) {
        text->addAttribute(NSForegroundColorAttributeName,
                           Value(UIColor::colorWithRed(kLinkRed, kLinkGreen, kLinkBlue, 1)), span.range);
        text->addAttribute(NSUnderlineStyleAttributeName, Value(1), span.range);
    }
    return text;
}
}  // namespace

WKPageView::WKPageView(CGRect frame) : UIView(frame) {}
WKPageView::~WKPageView() = default;

void WKPageView::init() {
    UIView::init();
    setUserInteractionEnabled(true);
    std::weak_ptr<WKPageView> weak = self<WKPageView>();
    UIViewAddGestureRecognizer(*this, UITapGestureRecognizer::make([weak](UIGestureRecognizer& tap) {
        auto me = weak.lock();
        if (!me || tap.state() != UIGestureRecognizerState::Ended) return;
        auto link = me->linkAtPoint(tap.locationInView(me));
        if (link && me->onLink) me->onLink(*link);
    }));
}

void WKPageView::setPage(HTMLPage page) {
    page_ = std::move(page);
    failure_.clear();
    body_.reset();
    setNeedsDisplay();
}

void WKPageView::setFailure(std::string reason) {
    failure_ = std::move(reason);
    body_.reset();
    setNeedsDisplay();
}

std::string WKPageView::heading() const {
    return failure_.empty() ? page_.title : kFailureHeading;
}

CGPoint WKPageView::bodyOrigin() const {
    return {kMargin, kMargin + (heading().empty() ? 0 : kTitleHeight)};
}

const TextLayout* WKPageView::body() const {
    CGFloat width = std::max<CGFloat>(1, bounds().size.width - 2 * kMargin);
    if (!body_ || bodyWidth_ != width) {
        TextLayoutOptions options;
        options.width = width;
        body_ = std::make_unique<TextLayout>(*bodyText(page_, failure_), options);
        bodyWidth_ = width;
    }
    return body_.get();
}

CGFloat WKPageView::heightForWidth(CGFloat width) const {
    if (heading().empty() && page_.text.empty() && failure_.empty()) return 0;
    TextLayoutOptions options;
    options.width = std::max<CGFloat>(1, width - 2 * kMargin);
    TextLayout layout(*bodyText(page_, failure_), options);
    return std::ceil(layout.size().height) + bodyOrigin().y + kMargin;
}

std::optional<CGRect> WKPageView::linkFrame(std::size_t link) const {
    if (!failure_.empty()) return std::nullopt;
    auto span = std::find_if(page_.spans.begin(), page_.spans.end(), [&](const auto& s) { return s.link == link; });
    if (span == page_.spans.end()) return std::nullopt;
    const TextLayout* layout = body();
    const auto& lines = layout->lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        NSRange shown = NSIntersectionRange(lines[i].range, span->range);
        if (shown.length == 0) continue;
        CGFloat x0 = layout->offsetForCharacterIndex(i, shown.location);
        CGFloat x1 = layout->offsetForCharacterIndex(i, NSMaxRange(shown));
        CGPoint o = bodyOrigin();
        return CGRectMake(o.x + lines[i].rect.origin.x + std::min(x0, x1), o.y + lines[i].rect.origin.y,
                          std::abs(x1 - x0), lines[i].rect.size.height);
    }
    return std::nullopt;
}

std::optional<std::size_t> WKPageView::linkAtPoint(CGPoint point) const {
    if (!failure_.empty()) return std::nullopt;
    CGPoint o = bodyOrigin();
    auto index = body()->characterIndexAtPoint({point.x - o.x, point.y - o.y});
    if (!index) return std::nullopt;
    for (const auto& span : page_.spans) {
        if (NSLocationInRange(*index, span.range)) return span.link;
    }
    return std::nullopt;
}

void WKPageView::layoutSubviews() {
    UIView::layoutSubviews();
    setNeedsDisplay();
}

void WKPageView::drawRect(CGRect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect b = CGRectInset(bounds(), kMargin, kMargin);
    std::string title = heading();
    if (!title.empty()) {
        drawLabel(title, CGRectMake(b.origin.x, b.origin.y, b.size.width, kTitleHeight - 10),
                  UIFont::boldSystemFontOfSize(kTitleSize), UIColor::blackColor(), LabelAlignment::Left);
    }
    body()->draw(*context, bodyOrigin());
}

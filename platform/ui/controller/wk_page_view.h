// What the web view stand-in draws of a page, dark on white whatever the system appearance: its
// title, then its text with the headings in bold and the links in the link colour and underlined
// where they stand; or, after a failed load, the reason. A tap on a link's words is handed to
// `onLink`. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controller/html_text.h"
#include "platform/ui/view/ui_view.h"

class TextLayout;

class WKPageView : public UIView {
public:
    KORVA_MAKE(WKPageView)
    static constexpr CGFloat kMargin = 12;
    static constexpr CGFloat kTitleHeight = 34;
    static constexpr CGFloat kTitleSize = 17;
    static constexpr CGFloat kTextSize = 15;
    static constexpr CGFloat kHeadingSize = 17;

    void init() override;
    ~WKPageView() override;

    void setPage(HTMLPage page);
    // Shown instead of the page while not empty.
    void setFailure(std::string reason);
    const std::string& failure() const { return failure_; }

    CGFloat heightForWidth(CGFloat width) const;
    // The first line of a link's words, in this view's coordinates; none when it shows no words.
    std::optional<CGRect> linkFrame(std::size_t link) const;
    // The link whose words lie under a point of this view.
    std::optional<std::size_t> linkAtPoint(CGPoint point) const;

    std::function<void(std::size_t)> onLink;

    void drawRect(CGRect rect) override;
    void layoutSubviews() override;
    std::string className() const override { return "WKPageView"; }

protected:
    explicit WKPageView(CGRect frame);

private:
    // The body's layout at the present width, made when first needed after a change.
    const TextLayout* body() const;
    CGPoint bodyOrigin() const;
    std::string heading() const;

    HTMLPage page_;
    std::string failure_;
    mutable std::unique_ptr<TextLayout> body_;
    mutable CGFloat bodyWidth_ = -1;
};

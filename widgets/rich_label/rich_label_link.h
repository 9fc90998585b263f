// RichLabelLink: one link of a rich label: what it points at and the range it covers, its looks
// in the normal, pressed and dimmed states, what it reads out, and optional tap and long-press
// callbacks that replace the delegate. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"
#include "platform/text/text_checking_result.h"
#include "platform/ui/text/attributed_string.h"

class RichLabel;
class NSCoder;

class RichLabelLink : public NSObject {
public:
    using Block = std::function<void(RichLabel&, RichLabelLink&)>;

    // The dictionaries are copied; any may be none.
    static std::shared_ptr<RichLabelLink> make(std::optional<NSAttributes> attributes,
                                               std::optional<NSAttributes> activeAttributes,
                                               std::optional<NSAttributes> inactiveAttributes,
                                               NSTextCheckingResult result);
    // With the label's link, active-link and inactive-link attributes.
    static std::shared_ptr<RichLabelLink> makeFromLabel(const RichLabel& label, NSTextCheckingResult result);
    // The archived form; none when the archive holds no readable result.
    static std::shared_ptr<RichLabelLink> makeWithCoder(const NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) const;

    const NSTextCheckingResult& result() const { return result_; }
    NSRange range() const { return result_.range(); }
    const std::optional<NSAttributes>& attributes() const { return attributes_; }
    const std::optional<NSAttributes>& activeAttributes() const { return activeAttributes_; }
    const std::optional<NSAttributes>& inactiveAttributes() const { return inactiveAttributes_; }

    // What the link reads out. When none is set it is worked out from the result once (a date's
    // long date and time in the user's locale, a phone number, a web address) and kept; a value
    // set by the caller is never replaced.
    std::optional<std::string> accessibilityValue();
    void setAccessibilityValue(std::optional<std::string> value) { accessibilityValue_ = std::move(value); }

    const Block& linkTapBlock() const { return tapBlock_; }
    void setLinkTapBlock(Block block) { tapBlock_ = std::move(block); }
    const Block& linkLongPressBlock() const { return longPressBlock_; }
    void setLinkLongPressBlock(Block block) { longPressBlock_ = std::move(block); }

    std::string className() const override { return "RichLabelLink"; }

protected:
    RichLabelLink() = default;

private:
    NSTextCheckingResult result_;
    std::optional<NSAttributes> attributes_, activeAttributes_, inactiveAttributes_;
    std::optional<std::string> accessibilityValue_;
    Block tapBlock_, longPressBlock_;
};

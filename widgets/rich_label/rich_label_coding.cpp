// The rich label and its links in keyed archives.
#include <cmath>

#include "platform/storage/ns_coder_numbers.h"
#include "platform/text/text_checking_archive.h"
#include "platform/ui/text/ns_coder_text.h"
#include "platform/ui/view/ui_geometry_strings.h"
#include "widgets/rich_label/rich_label.h"

namespace {

// A number archived as a double, read back through single precision; none when absent or not finite.
std::optional<CGFloat> single(const NSCoder& coder, const char* key) {
    if (!coder.containsValueForKey(key)) return std::nullopt;
    float value = decodeFloatForKey(coder, key);
    return std::isfinite(value) ? std::optional<CGFloat>(value) : std::nullopt;
}

std::optional<std::string> stringFor(const NSCoder& coder, const char* key) {
    const std::string* s = coder.decodeObjectForKey(key).string();
    return s ? std::optional(*s) : std::nullopt;
}

}  // namespace

// ---- links ----

std::shared_ptr<RichLabelLink> RichLabelLink::makeWithCoder(const NSCoder& coder) {
    auto result = NSTextCheckingResultFromArchive(coder.decodeObjectForKey("result"));
    if (!result) return nullptr;
    auto link = make(decodeAttributesForKey(coder, "attributes"), decodeAttributesForKey(coder, "activeAttributes"),
                     decodeAttributesForKey(coder, "inactiveAttributes"), std::move(*result));
    link->setAccessibilityValue(stringFor(coder, "accessibilityValue"));
    return link;
}

void RichLabelLink::encodeWithCoder(NSCoder& coder) const {
    coder.encodeObject(NSTextCheckingResultArchive(result_), "result");
    encodeAttributes(coder, attributes_, "attributes");
    encodeAttributes(coder, activeAttributes_, "activeAttributes");
    encodeAttributes(coder, inactiveAttributes_, "inactiveAttributes");
    if (accessibilityValue_) coder.encodeObject(Value(*accessibilityValue_), "accessibilityValue");
}

// ---- the label ----

void RichLabel::encodeWithCoder(NSCoder& coder) const {
    UILabel::encodeWithCoder(coder);
    encodeUInt64(coder, enabledTypes_, "enabledTextCheckingTypes");
    Value links = Value::array();
    for (const auto& link : linkModels_) {
        NSCoder linkCoder;
        link->encodeWithCoder(linkCoder);
        links.append(Value(linkCoder.values()));
    }
    coder.encodeObject(links, "linkModels");
    encodeAttributes(coder, linkAttributes_, "linkAttributes");
    encodeAttributes(coder, activeLinkAttributes_, "activeLinkAttributes");
    encodeAttributes(coder, inactiveLinkAttributes_, "inactiveLinkAttributes");
    coder.encodeDouble(shadowRadius_, "shadowRadius");
    coder.encodeDouble(highlightedShadowRadius_, "highlightedShadowRadius");
    coder.encodeObject(Value(NSStringFromCGSize(highlightedShadowOffset_)), "highlightedShadowOffset");
    encodeColor(coder, highlightedShadowColor_, "highlightedShadowColor");
    coder.encodeDouble(kern_, "kern");
    coder.encodeDouble(firstLineIndent_, "firstLineIndent");
    coder.encodeDouble(lineSpacing_, "lineSpacing");
    coder.encodeDouble(minimumLineHeight_, "minimumLineHeight");
    coder.encodeDouble(maximumLineHeight_, "maximumLineHeight");
    coder.encodeDouble(lineHeightMultiple_, "lineHeightMultiple");
    coder.encodeObject(Value(NSStringFromUIEdgeInsets(textInsets_)), "textInsets");
    coder.encodeInteger(verticalAlignment_, "verticalAlignment");
    encodeAttributedString(coder, truncationToken_, "attributedTruncationToken");
    coder.encodeObject(Value(NSStringFromUIEdgeInsets(linkBackgroundEdgeInset_)), "linkBackgroundEdgeInset");
    encodeAttributedString(coder, attributedText_, "attributedText");
    if (text()) coder.encodeObject(Value(*text()), "text");
}

void RichLabel::initWithCoder(const NSCoder& coder) {
    // The platform label reads its fields; its initialiser runs the common set-up.
    UILabel::initWithCoder(coder);
    if (coder.containsValueForKey("enabledTextCheckingTypes"))
        setEnabledTextCheckingTypes(decodeUInt64ForKey(coder, "enabledTextCheckingTypes"));
    if (coder.containsValueForKey("linkAttributes")) setLinkAttributes(decodeAttributesForKey(coder, "linkAttributes"));
    if (coder.containsValueForKey("activeLinkAttributes"))
        setActiveLinkAttributes(decodeAttributesForKey(coder, "activeLinkAttributes"));
    if (coder.containsValueForKey("inactiveLinkAttributes"))
        setInactiveLinkAttributes(decodeAttributesForKey(coder, "inactiveLinkAttributes"));
    // The older form: results only, added without attributes.
    if (const ValueArray* old = coder.decodeObjectForKey("links").arrayPtr()) {
        std::vector<NSTextCheckingResult> results;
        for (const Value& item : *old)
            if (auto result = NSTextCheckingResultFromArchive(item)) results.push_back(std::move(*result));
        addLinksWithTextCheckingResults(results, std::nullopt);
    }
    if (const ValueArray* archived = coder.decodeObjectForKey("linkModels").arrayPtr()) {
        std::vector<std::shared_ptr<RichLabelLink>> links;
        for (const Value& item : *archived)
            if (const ValueDictionary* fields = item.dictionaryPtr())
                if (auto link = RichLabelLink::makeWithCoder(NSCoder(*fields))) links.push_back(link);
        setLinkModels(std::move(links));
    }
    if (auto v = single(coder, "shadowRadius")) setShadowRadius(*v);
    if (auto v = single(coder, "highlightedShadowRadius")) setHighlightedShadowRadius(*v);
    if (auto v = stringFor(coder, "highlightedShadowOffset")) setHighlightedShadowOffset(CGSizeFromString(*v));
    if (auto color = decodeColorForKey(coder, "highlightedShadowColor")) setHighlightedShadowColor(color);
    if (auto v = single(coder, "kern")) setKern(*v);
    if (auto v = single(coder, "firstLineIndent")) setFirstLineIndent(*v);
    if (auto v = single(coder, "lineSpacing")) setLineSpacing(*v);
    if (auto v = single(coder, "minimumLineHeight")) setMinimumLineHeight(*v);
    if (auto v = single(coder, "maximumLineHeight")) setMaximumLineHeight(*v);
    if (auto v = single(coder, "lineHeightMultiple")) setLineHeightMultiple(*v);
    if (auto v = stringFor(coder, "textInsets")) setTextInsets(UIEdgeInsetsFromString(*v));
    if (coder.containsValueForKey("verticalAlignment"))
        setVerticalAlignment(coder.decodeIntegerForKey("verticalAlignment"));
    if (auto token = decodeAttributedStringForKey(coder, "attributedTruncationToken"))
        setAttributedTruncationToken(token);
    if (auto v = stringFor(coder, "linkBackgroundEdgeInset")) setLinkBackgroundEdgeInset(UIEdgeInsetsFromString(*v));
    // Last, the text: as archived, or the platform label's plain text with the label's attributes.
    // The plain road starts without links; the archived ones are added back so that they are kept.
    if (auto text = decodeAttributedStringForKey(coder, "attributedText")) {
        setAttributedText(text);
    } else if (auto plain = UILabel::text()) {
        auto kept = linkModels_;
        setText(*plain);
        if (!kept.empty()) addLinks(kept);
    }
}

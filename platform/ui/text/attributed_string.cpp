// Attributed strings: runs kept as (length, attributes) spans over UTF-16 units.
#include "platform/ui/text/attributed_string.h"

#include "platform/runtime/utf16.h"

bool NSAttributesEqual(const NSAttributes& a, const NSAttributes& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a) {
        const Value* other = b.find(key);
        if (!other || !value.isEqual(*other)) return false;
    }
    return true;
}

std::shared_ptr<NSAttributedString> NSAttributedString::make(std::string text, NSAttributes attributes) {
    auto s = ::make<NSAttributedString>();
    s->text_ = sanitizedUtf8(text);
    s->length_ = utf16Length(s->text_);
    if (s->length_) s->spans_.push_back({s->length_, std::move(attributes)});
    return s;
}

std::shared_ptr<NSMutableAttributedString> NSMutableAttributedString::make(std::string text, NSAttributes attributes) {
    auto s = ::make<NSMutableAttributedString>();
    s->text_ = sanitizedUtf8(text);
    s->length_ = utf16Length(s->text_);
    if (s->length_) s->spans_.push_back({s->length_, std::move(attributes)});
    return s;
}

NSRange NSAttributedString::clamp(NSRange range) const {
    std::size_t start = std::min(range.location, length_);
    std::size_t end = range.length > length_ - start ? length_ : start + range.length;
    return {start, end - start};
}

NSAttributes NSAttributedString::attributesAtIndex(std::size_t index, NSRange* effectiveRange) const {
    std::size_t start = 0;
    for (const auto& span : spans_) {
        if (index < start + span.length) {
            if (effectiveRange) *effectiveRange = {start, span.length};
            return span.attributes;
        }
        start += span.length;
    }
    if (effectiveRange) *effectiveRange = {length_, 0};
    return {};
}

Value NSAttributedString::attributeAtIndex(std::string_view name, std::size_t index, NSRange* effectiveRange) const {
    NSRange run;
    Value value = attributesAtIndex(index, &run).get(name);
    if (effectiveRange) {
        // Widen over neighbouring runs holding the same value.
        std::size_t start = run.location, end = NSMaxRange(run);
        if (run.length) {
            while (start > 0) {
                NSRange before;
                if (!attributesAtIndex(start - 1, &before).get(name).isEqual(value)) break;
                start = before.location;
            }
            while (end < length_) {
                NSRange after;
                if (!attributesAtIndex(end, &after).get(name).isEqual(value)) break;
                end = NSMaxRange(after);
            }
        }
        *effectiveRange = {start, end - start};
    }
    return value;
}

std::vector<NSAttributedString::Run> NSAttributedString::runs() const {
    std::vector<Run> out;
    std::size_t start = 0;
    for (const auto& span : spans_) {
        if (!out.empty() && NSAttributesEqual(out.back().attributes, span.attributes))
            out.back().range.length += span.length;
        else
            out.push_back({{start, span.length}, span.attributes});
        start += span.length;
    }
    return out;
}

void NSAttributedString::enumerateAttributesInRange(
    NSRange range, const std::function<void(const NSAttributes&, NSRange, bool& stop)>& visit) const {
    range = clamp(range);
    bool stop = false;
    for (const auto& run : runs()) {
        NSRange part = NSIntersectionRange(run.range, range);
        if (part.length == 0) continue;
        visit(run.attributes, part, stop);
        if (stop) return;
    }
}

void NSAttributedString::enumerateAttribute(std::string_view name, NSRange range,
                                            const std::function<void(const Value&, NSRange, bool& stop)>& visit) const {
    range = clamp(range);
    std::vector<std::pair<Value, NSRange>> parts;
    for (const auto& run : runs()) {
        NSRange part = NSIntersectionRange(run.range, range);
        if (part.length == 0) continue;
        Value value = run.attributes.get(name);
        if (!parts.empty() && parts.back().first.isEqual(value))
            parts.back().second.length += part.length;
        else
            parts.push_back({value, part});
    }
    bool stop = false;
    for (const auto& [value, part] : parts) {
        visit(value, part, stop);
        if (stop) return;
    }
}

std::shared_ptr<NSAttributedString> NSAttributedString::attributedSubstringFromRange(NSRange range) const {
    range = clamp(range);
    auto s = ::make<NSAttributedString>();
    s->text_ = utf16Substring(text_, range);
    s->length_ = range.length;
    enumerateAttributesInRange(range, [&](const NSAttributes& attributes, NSRange part, bool&) {
        s->spans_.push_back({part.length, attributes});
    });
    return s;
}

std::shared_ptr<NSMutableAttributedString> NSAttributedString::mutableCopy() const {
    auto s = ::make<NSMutableAttributedString>();
    s->setAttributedString(*this);
    return s;
}

bool NSAttributedString::isEqualToAttributedString(const NSAttributedString& other) const {
    if (text_ != other.text_) return false;
    auto a = runs(), b = other.runs();
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].range != b[i].range || !NSAttributesEqual(a[i].attributes, b[i].attributes)) return false;
    return true;
}

bool NSAttributedString::isEqual(const NSObject& other) const {
    auto* s = dynamic_cast<const NSAttributedString*>(&other);
    return s && isEqualToAttributedString(*s);
}

std::string NSAttributedString::description() const {
    std::string out;
    for (const auto& run : runs()) {
        out += utf16Substring(text_, run.range) + "{\n";
        for (const auto& [key, value] : run.attributes) out += "    " + key + " = " + value.description() + ";\n";
        out += "}";
    }
    return out;
}

std::size_t NSAttributedString::splitAt(std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (index == start) return i;
        if (index < start + spans_[i].length) {
            Span tail{start + spans_[i].length - index, spans_[i].attributes};
            spans_[i].length = index - start;
            spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return i + 1;
        }
        start += spans_[i].length;
    }
    return spans_.size();
}

void NSAttributedString::mergeRuns() {
    std::vector<Span> merged;
    for (auto& span : spans_) {
        if (span.length == 0) continue;
        if (!merged.empty() && NSAttributesEqual(merged.back().attributes, span.attributes))
            merged.back().length += span.length;
        else
            merged.push_back(std::move(span));
    }
    spans_ = std::move(merged);
}

void NSMutableAttributedString::setAttributes(const NSAttributes& attributes, NSRange range) {
    range = clamp(range);
    if (!range.length) return;
    std::size_t first = splitAt(range.location), last = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < last; ++i) spans_[i].attributes = attributes;
    mergeRuns();
}

void NSMutableAttributedString::addAttribute(const std::string& name, Value value, NSRange range) {
    NSAttributes one;
    one.set(name, std::move(value));
    addAttributes(one, range);
}

void NSMutableAttributedString::addAttributes(const NSAttributes& attributes, NSRange range) {
    range = clamp(range);
    if (!range.length) return;
    std::size_t first = splitAt(range.location), last = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < last; ++i)
        for (const auto& [key, value] : attributes) spans_[i].attributes.set(key, value);
    mergeRuns();
}

void NSMutableAttributedString::removeAttribute(std::string_view name, NSRange range) {
    range = clamp(range);
    if (!range.length) return;
    std::size_t first = splitAt(range.location), last = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < last; ++i) spans_[i].attributes.remove(name);
    mergeRuns();
}

void NSMutableAttributedString::replace(NSRange range, const std::string& text, std::vector<Span> spans) {
    range = clamp(range);
    std::size_t startByte = byteOffsetFromUtf16Offset(text_, range.location);
    std::size_t endByte = byteOffsetFromUtf16Offset(text_, NSMaxRange(range));
    text_ = text_.substr(0, startByte) + text + text_.substr(endByte);
    std::size_t first = splitAt(range.location), last = splitAt(NSMaxRange(range));
    spans_.erase(spans_.begin() + static_cast<std::ptrdiff_t>(first),
                 spans_.begin() + static_cast<std::ptrdiff_t>(last));
    spans_.insert(spans_.begin() + static_cast<std::ptrdiff_t>(first), spans.begin(), spans.end());
    length_ = utf16Length(text_);
    mergeRuns();
}

void NSMutableAttributedString::replaceCharactersInRange(NSRange range, const std::string& text) {
    range = clamp(range);
    std::string clean = sanitizedUtf8(text);
    std::size_t units = utf16Length(clean);
    NSAttributes inherited;
    if (range.length)
        inherited = attributesAtIndex(range.location);
    else if (range.location > 0)
        inherited = attributesAtIndex(range.location - 1);
    else if (length_)
        inherited = attributesAtIndex(0);
    std::vector<Span> spans;
    if (units) spans.push_back({units, std::move(inherited)});
    replace(range, clean, std::move(spans));
}

void NSMutableAttributedString::replaceCharactersInRange(NSRange range, const NSAttributedString& text) {
    std::vector<Span> spans;
    for (const auto& run : text.runs()) spans.push_back({run.range.length, run.attributes});
    // Copy first: the source may be this very string.
    std::string copy = text.string();
    replace(range, copy, std::move(spans));
}

void NSMutableAttributedString::insertAttributedString(const NSAttributedString& text, std::size_t index) {
    replaceCharactersInRange({std::min(index, length_), 0}, text);
}

void NSMutableAttributedString::appendAttributedString(const NSAttributedString& text) {
    replaceCharactersInRange({length_, 0}, text);
}

void NSMutableAttributedString::deleteCharactersInRange(NSRange range) {
    replace(range, "", {});
}

void NSMutableAttributedString::setAttributedString(const NSAttributedString& text) {
    replaceCharactersInRange({0, length_}, text);
}

// The filter graph: an element's tree turned into live filters fed by a source image, kept so
// that later frames only feed the new source into the inputs that took it.
#include <cmath>

#include "filter/ci_image_filter.h"
#include "filter/color_table.h"
#include "filter/filter_element.h"
#include "filter/filter_record_values.h"
#include "foundation/array_free_core_image.h"
#include "foundation/numeric.h"
#include "foundation/string_custom_values.h"
#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_vector.h"
#include "platform/image/color_space.h"

namespace {

constexpr int kMaxGraphDepth = 32;

bool usableSize(CGSize s) {
    return std::isfinite(s.width) && std::isfinite(s.height) && s.width > 0 && s.height > 0;
}

CGSize sizeOf(const std::shared_ptr<CIImage>& image) {
    return image ? image->extent().size : CGSize{0, 0};
}

// Runs a conversion once per record, keeping the result in "instanceData".
template <class F>
Value convertedOnce(const Value& record, F convert) {
    const Value& cached = record["instanceData"];
    if (!cached.isNull()) return cached;
    Value v = convert();
    record.set("instanceData", v);
    return v;
}

// Runs a size-dependent conversion once per record and source size. Without a usable source or
// base size there is nothing to scale by: the input keeps its default (null result).
template <class F>
Value convertedForSize(const Value& record, const std::shared_ptr<CIImage>& source, F convert) {
    CGSize s = sizeOf(source);
    if (!usableSize(s)) return {};
    if (record["editingBaseSize"].isNull()) record.set("editingBaseSize", sizeValue(s));
    std::optional<CGSize> base = sizeFromValue(record["editingBaseSize"]);
    if (!base || !usableSize(*base)) return {};
    if (!record["instanceData"].isDictionary()) record.set("instanceData", Value::dictionary());
    Value byKey = record["instanceData"];
    std::string key = sizeKeyText(source);
    if (byKey[key].isNull()) byKey.set(key, convert(s, *base));
    return byKey[key];
}

const ValueArray& arrayOf(const Value& v) {
    static const ValueArray empty;
    ValueArray* a = v.arrayPtr();
    return a ? *a : empty;
}

std::shared_ptr<CIFilter> build(const std::shared_ptr<CIImage>& source, const std::string& name, const Value& records,
                                const Value& cache, int depth);

std::shared_ptr<CIFilter> buildTree(const std::shared_ptr<CIImage>& source, const Value& tree, const Value& cache,
                                    int depth) {
    if (depth > kMaxGraphDepth) return nullptr;
    return build(source, tree["name"].stringValue(), tree["value"], cache, depth);
}

// The value an image input takes, appending its slot when it must be fed again.
Value imageInput(const std::shared_ptr<CIImage>& source, const std::string& key, const Value& record,
                 const Value& slots, int depth) {
    // Copies: the record itself gains keys below, which may move its entries.
    Value v = record["value"];
    if (v.isDictionary()) {
        if (!source) return {};
        Value nested = Value::dictionary();
        auto g = buildTree(source, v, nested, depth + 1);
        if (!g) return {};
        slots.append(Value::dictionary({{"k", Value(key)}, {"d", nested}}));
        return Value(g->outputImage());
    }
    if (v.isString()) {
        Value image = convertedOnce(record, [&] { return Value(ciimage(*v.string())); });
        // A web image still downloading: later feeds look for it in the picture cache.
        if (image.isNull() && isWebImageAddress(*v.string()))
            slots.append(Value::dictionary({{"k", Value(key)}, {"w", v}, {"r", record}}));
        return image;
    }
    if (auto user = v.objectAs<CIImage>()) {
        if (!record["instanceData"].isDictionary()) record.set("instanceData", Value::dictionary());
        Value byKey = record["instanceData"];
        std::string sizeKey = sizeKeyText(source);
        if (!byKey[sizeKey].isNull()) return byKey[sizeKey];
        CGSize s = sizeOf(source), u = sizeOf(user);
        if (!source || (s.width == u.width && s.height == u.height)) return Value(user);
        if (!usableSize(s) || !usableSize(u)) return Value(user);
        auto scale = CIFilter::filterWithName("CIAffineTransform");
        if (!scale) return Value(user);
        ValueArray t{Value(s.width / u.width),   Value(0.0), Value(0.0),
                     Value(s.height / u.height), Value(0.0), Value(0.0)};
        scale->setValue(Value(nsvalue_CGAffineTransform(t)), kCIInputTransformKey);
        scale->setValue(Value(user), kCIInputImageKey);
        Value scaled(scale->outputImage());
        byKey.set(sizeKey, scaled);
        slots.append(Value::dictionary(
            {{"k", Value(key)}, {"d", Value::dictionary({{"k", Value(kCIInputImageKey)}, {"f", Value(scale)}})}}));
        return scaled;
    }
    slots.append(Value::dictionary({{"k", Value(key)}}));
    return Value(source);
}

Value inputValue(const std::shared_ptr<CIImage>& source, const std::string& key, const Value& record,
                 const Value& slots, int depth) {
    if (!record.isDictionary()) return {};
    Value v = record["value"];
    std::string type = record["type"].stringValue();
    std::int64_t view = record["view"].integerValue();
    if (type == "NSNumber") {
        if (view != 6) return v;
        return convertedForSize(record, source, [&](CGSize s, CGSize b) {
            float ratio = hypotFloat(static_cast<float>(s.width), static_cast<float>(s.height)) /
                          hypotFloat(static_cast<float>(b.width), static_cast<float>(b.height));
            return Value(v.floatValue() * ratio);
        });
    }
    if (type == "CIColor") return convertedOnce(record, [&] { return Value(cicolor(arrayOf(v))); });
    if (type == "CIVector") {
        if (view == 3 || view == 7) {
            return convertedForSize(record, source, [&](CGSize s, CGSize b) {
                double rx = s.width / b.width, ry = s.height / b.height;
                return view == 3 ? Value(cirectWithRatio(arrayOf(v), rx, ry))
                                 : Value(civectorWithRatio(arrayOf(v), rx, ry));
            });
        }
        return convertedOnce(record, [&] { return Value(civector(arrayOf(v))); });
    }
    if (type == "NSValue") return convertedOnce(record, [&] { return Value(nsvalue_CGAffineTransform(arrayOf(v))); });
    if (type == "NSData.NSArray") {
        return convertedOnce(record, [&] { return colorTableData(v); });
    }
    if (type == "NSData.NSString.ASCII" || type == "NSData.NSString.UTF8") {
        return convertedOnce(record, [&] {
            std::string text = v.stringValue();
            if (type == "NSData.NSString.ASCII") {
                for (char& c : text)
                    if (static_cast<unsigned char>(c) > 127) c = '?';
            }
            return Value::data(Bytes(text.begin(), text.end()));
        });
    }
    if (type == "NSObject") {
        if (v.stringValue() == "Default") return {};
        return convertedOnce(record, [&] { return Value(colorspace(v.stringValue())); });
    }
    if (type == "NSString" || type == "NSDictionary") return v;
    if (type == "CIImage") return imageInput(source, key, record, slots, depth);
    return {};
}

std::shared_ptr<CIFilter> build(const std::shared_ptr<CIImage>& source, const std::string& name, const Value& records,
                                const Value& cache, int depth) {
    auto f = CIFilter::filterWithName(name);
    if (!f) return nullptr;
    Value slots = Value::array();
    cache.set("ks", slots);
    for (const std::string& key : f->inputKeys()) {
        const Value& record = records[key];
        if (!record.isDictionary() || record["type"].isNull()) continue;  // the filter's default stays
        Value v = inputValue(source, key, record, slots, depth);
        if (!v.isNull())
            f->setValue(v, key);
        else if (record["type"].stringValue() == "NSObject")
            f->setValue(Value(), key);
    }
    cache.set("f", Value(f));
    return f;
}

// Sets a web image input once its picture has landed (here or through a copy sharing the record),
// then retires the slot.
void feedWebImage(CIFilter& f, const std::string& key, const Value& slot) {
    const Value& record = slot["r"];
    Value image = record["instanceData"];
    if (image.isNull() && record["value"] == slot["w"]) {
        if (auto landed = cachedWebImage(slot["w"].stringValue())) {
            image = Value(landed);
            record.set("instanceData", image);
        }
    }
    if (image.isNull()) return;
    f.setValue(image, key);
    slot.dictionaryPtr()->clear();
}

std::shared_ptr<CIFilter> feed(const std::shared_ptr<CIImage>& source, const Value& cache, int depth) {
    auto f = cache["f"].objectAs<CIFilter>();
    if (!f || depth > kMaxGraphDepth) return nullptr;
    if (ValueArray* slots = cache["ks"].arrayPtr()) {
        for (const Value& slot : *slots) {
            std::string key = slot["k"].stringValue();
            if (slot["w"].isString()) {
                feedWebImage(*f, key, slot);
            } else if (slot["d"].isDictionary()) {
                auto nested = feed(source, slot["d"], depth + 1);
                f->setValue(nested ? Value(nested->outputImage()) : Value(), key);
            } else if (!key.empty()) {
                f->setValue(Value(source), key);
            }
        }
    }
    return f;
}

}  // namespace

std::shared_ptr<CIImage> FilterElement::make(const std::shared_ptr<CIImage>& source) {
    std::shared_ptr<CIFilter> f;
    if (!lastFilter_.isNull()) {
        f = reuse(source, lastFilter_);
    } else {
        lastFilter_ = Value::dictionary();
        f = refresh(source, attrs_, lastFilter_);
    }
    return f ? f->outputImage() : nullptr;
}

std::shared_ptr<CIFilter> FilterElement::refresh(const std::shared_ptr<CIImage>& source, const Value& tree,
                                                 const Value& cache) {
    return buildTree(source, tree, cache, 0);
}

std::shared_ptr<CIFilter> FilterElement::refresh(const std::shared_ptr<CIImage>& source, const std::string& name,
                                                 const Value& records, const Value& cache) {
    return build(source, name, records, cache, 0);
}

std::shared_ptr<CIFilter> FilterElement::reuse(const std::shared_ptr<CIImage>& source, const Value& cache) {
    return feed(source, cache, 0);
}

std::shared_ptr<CIImage> filter(const std::shared_ptr<CIImage>& image, FilterElement& element) {
    return element.make(image);
}

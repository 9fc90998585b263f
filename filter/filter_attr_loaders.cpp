// Building an element's attribute tree from a filter description: one record per input, typed
// by the input's class, with the editor kind, bounds and editable flag the editors need.
#include <cstring>
#include <set>

#include "filter/color_table.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_filter.h"
#include "platform/image/ci_vector.h"
#include "platform/runtime/format.h"

namespace {

constexpr int kMaxDescDepth = 16;

struct Input {
    const std::string& filter;
    const Value& attr;   // the platform's attribute dictionary of the input
    const Value& entry;  // the description's entry (a dictionary, or null)
    const std::string& key;

    std::string type() const { return attr[kCIAttributeType].stringValue(); }
    bool hasType() const { return attr[kCIAttributeType].isString(); }
    const Value& given() const { return entry["value"]; }
    const Value& platformDefault() const { return attr[kCIAttributeDefault]; }
};

Value mutableCopy(const Value& array) {
    return Value(ValueArray(*array.arrayPtr()));
}

Value padded(Value array, std::size_t count) {
    ValueArray* a = array.arrayPtr();
    while (a->size() < count) a->push_back(Value(0.0));
    return array;
}

Value numbersOf(const std::vector<CGFloat>& values) {
    Value out = Value::array();
    for (CGFloat v : values) out.append(Value(static_cast<double>(v)));
    return out;
}

// A copy of the container itself; its elements are shared, as a platform copy shares them.
Value copyOfValue(const Value& v) {
    if (const ValueArray* a = v.arrayPtr()) return Value(ValueArray(*a));
    if (const ValueDictionary* d = v.dictionaryPtr()) return Value(ValueDictionary(*d));
    return v;
}

// The shared shape of every record.
Value record(const Input& in, const char* type, int view, bool defaultEditable, const Value& value) {
    Value r = Value::dictionary();
    if (type) r.set("type", Value(type));
    const Value& disp = in.attr[kCIAttributeDisplayName];
    r.set("disp", disp.isString() ? disp : Value(in.key));
    r.set("view", Value(view));
    const Value& editable = in.entry["editable"];
    r.set("editable", Value(editable.isNull() ? defaultEditable : editable.boolValue()));
    if (!value.isNull()) {
        r.set("value", value);
        r.set("def", copyOfValue(value));
    }
    return r;
}

Value loadNumber(const Input& in) {
    bool given = in.given().isNumber();
    Value value = given ? in.given() : in.platformDefault();
    int view = 10;
    std::string type = in.type();
    if (type == kCIAttributeTypeAngle)
        view = 2;
    else if (type == kCIAttributeTypeBoolean)
        view = 4;
    else if (!in.hasType() && in.key == "inputCompactStyle" && in.filter == "CIAztecCodeGenerator")
        view = 4;
    else if (type == kCIAttributeTypeCount)
        view = 5;
    else if (type == kCIAttributeTypeDistance)
        view = 6;
    Value r = record(in, "NSNumber", view, !given, value);
    if (in.attr[kCIAttributeSliderMin].isNumber()) r.set("min", in.attr[kCIAttributeSliderMin]);
    if (in.attr[kCIAttributeSliderMax].isNumber()) r.set("max", in.attr[kCIAttributeSliderMax]);
    return r;
}

Value loadColor(const Input& in) {
    const Value& g = in.given();
    Value value;
    if (g.isNumber()) {
        double n = g.doubleValue();
        value = Value::array({Value(n), Value(n), Value(n), Value(n)});
    } else if (g.isArray()) {
        value = padded(mutableCopy(g), 4);
    } else if (auto c = in.platformDefault().objectAs<CIColor>()) {
        value = Value::array({Value(c->red()), Value(c->green()), Value(c->blue()), Value(c->alpha())});
    } else {
        value = Value::array({Value(0.0), Value(0.0), Value(0.0), Value(0.0)});
    }
    return record(in, "CIColor", 1, !(g.isNumber() || g.isArray()), value);
}

int vectorView(const Input& in) {
    std::string type = in.type();
    if (in.hasType()) {
        if (type == kCIAttributeTypePosition) return in.filter == "CIStretchCrop" ? 11 : 7;
        if (type == kCIAttributeTypePosition3) return 8;
        if (type == kCIAttributeTypeRectangle) return 3;
        if (type == kCIAttributeTypeOffset) return 11;
        return 13;
    }
    const std::string& f = in.filter;
    if (f == "CIColorClamp" || f == "CIColorMatrix" || f == "CIColorPolynomial") return 1;
    if (f == "CIColorCrossPolynomial") return 14;
    if (f == "CIConvolution3X3") return 15;
    if (f == "CIConvolution5X5") return 16;
    if (f == "CIConvolution7X7") return 17;
    if (f == "CIConvolution9Horizontal") return 18;
    if (f == "CIConvolution9Vertical") return 19;
    if (f == "CIColorCurves") return 11;
    return 13;
}

Value loadVector(const Input& in) {
    auto def = in.platformDefault().objectAs<CIVector>();
    std::size_t count = def ? def->count() : 0;
    const Value& g = in.given();
    Value value;
    if (g.isNumber())
        value = padded(Value::array({Value(g.doubleValue())}), count);
    else if (g.isArray())
        value = padded(mutableCopy(g), count);
    else if (def)
        value = numbersOf(def->values());
    Value r = record(in, "CIVector", vectorView(in), !(g.isNumber() || g.isArray()), value);
    if (in.hasType() && in.type() == kCIAttributeTypeOffset) {
        r.set("min", Value::array({Value(0), Value(0), Value(0), Value(0)}));
        r.set("max", Value::array({Value(1), Value(1), Value(1), Value(1)}));
    }
    return r;
}

Value loadImage(const Input& in, int depth);

Value loadTransform(const Input& in) {
    if (in.type() != kCIAttributeTypeTransform) return {};
    const Value& g = in.given();
    Value identity = Value::array({Value(1.0), Value(0.0), Value(0.0), Value(1.0), Value(0.0), Value(0.0)});
    Value value;
    if (g.isArray()) {
        value = g.count() == 6 ? mutableCopy(g) : identity;
    } else if (auto t = in.platformDefault().objectAs<AffineTransformValue>()) {
        const CGAffineTransform& m = t->CGAffineTransformValue();
        value = numbersOf({m.a, m.b, m.c, m.d, m.tx, m.ty});
    } else {
        value = identity;
    }
    return record(in, "NSValue", 20, !g.isArray(), value);
}

// Packed float data read back as [r, g, b, a] entries.
Value colorEntriesOf(const Value& data) {
    const Bytes* bytes = data.bytes();
    if (!bytes || bytes->size() < 16) return {};
    Value out = Value::array();
    for (std::size_t at = 0; at + 16 <= bytes->size(); at += 16) {
        float f[4];
        std::memcpy(f, bytes->data() + at, sizeof f);
        out.append(Value::array({Value(f[0]), Value(f[1]), Value(f[2]), Value(f[3])}));
    }
    return out;
}

bool isCubeKey(const std::string& key) {
    if (key.rfind("inputCube", 0) != 0 || key.size() < 4) return false;
    std::size_t data = key.find("Data");
    return data != std::string::npos && data == key.size() - 4;
}

std::string messageDefault(const Input& in) {
    if (const Bytes* b = in.platformDefault().bytes()) return std::string(b->begin(), b->end());
    std::string app;
    if (auto global = Global::shared()) app = global->appName();
    return "Quillon - " + app;
}

Value loadData(const Input& in) {
    const Value& g = in.given();
    if (isCubeKey(in.key)) {
        // A packed table is immutable and shared as it is; entries get a container of their own.
        Value value = g.isArray() ? mutableCopy(g) : isPackedColorTable(g) ? g : colorEntriesOf(in.platformDefault());
        if (value.isNull()) {
            value = Value::array();
            for (int i = 0; i < 8; ++i)
                value.append(Value::array({Value(i & 1), Value((i >> 1) & 1), Value((i >> 2) & 1), Value(1)}));
        }
        return record(in, "NSData.NSArray", 22, true, value);
    }
    if (in.key == "inputCurvesData") {
        Value value = g.isArray() ? mutableCopy(g) : colorEntriesOf(in.platformDefault());
        if (value.isNull())
            value = Value::array({Value::array({Value(0), Value(0), Value(0), Value(0.5)}),
                                  Value::array({Value(0.5), Value(0.5), Value(1), Value(1)})});
        return record(in, "NSData.NSArray", 23, true, value);
    }
    if (in.key == "inputMessage") {
        const char* type = nullptr;
        if (in.filter == "CICode128BarcodeGenerator")
            type = "NSData.NSString.ASCII";
        else if (in.filter == "CIAztecCodeGenerator" || in.filter == "CIPDF417BarcodeGenerator" ||
                 in.filter == "CIQRCodeGenerator")
            type = "NSData.NSString.UTF8";
        if (type) {
            Value value = g.isString() ? g : Value(messageDefault(in));
            return record(in, type, 26, true, value);
        }
    }
    return record(in, nullptr, 22, false, Value());
}

Value loadObject(const Input& in) {
    if (in.key != "inputColorSpace") return {};
    const Value& g = in.given();
    return record(in, "NSObject", 24, !g.isString(), g.isString() ? g : Value("Default"));
}

Value loadString(const Input& in) {
    const Value& g = in.given();
    Value value = g.isString() ? g : (in.platformDefault().isString() ? in.platformDefault() : Value(""));
    return record(in, "NSString", 26, !g.isString(), value);
}

Value loadDictionary(const Input& in) {
    const Value& g = in.given();
    Value value = g.isDictionary()
                      ? Value(ValueDictionary(*g.dictionaryPtr()))
                      : (in.platformDefault().isDictionary() ? in.platformDefault().deepCopy() : Value::dictionary());
    return record(in, "NSDictionary", 26, !g.isDictionary(), value);
}

Value loadTree(const Value& desc, int depth);
Value loadTree(const std::string& name, const Value& entries, int depth);

Value loadImage(const Input& in, int depth) {
    const Value& g = in.given();
    Value value;
    if (g.isDictionary())
        value = loadTree(g, depth + 1);
    else if (g.isString() || g.isObject())
        value = g;
    Value r = record(in, "CIImage", 25, value.isNull(), Value());
    if (!value.isNull()) {
        r.set("value", value);
        r.set("def", copyOfValue(value));
    }
    return r;
}

const std::set<std::string>& refused() {
    static const std::set<std::string> names{"CIColorCurves", "CIAztecCodeGenerator", "CIPDF417BarcodeGenerator"};
    return names;
}

Value loadTree(const Value& desc, int depth) {
    if (depth > kMaxDescDepth || !desc.isDictionary()) return {};
    const Value& name = desc["name"];
    if (!name.isString() || refused().count(*name.string())) return {};
    const Value& entries = desc["value"];
    Value tree = loadTree(*name.string(), entries.isDictionary() ? entries : Value(), depth);
    if (!tree.isNull() && desc["disp"].isString()) tree.set("disp", desc["disp"]);
    return tree;
}

Value loadTree(const std::string& name, const Value& entries, int depth) {
    auto filter = CIFilter::filterWithName(name);
    if (!filter) return {};
    ValueDictionary attributes = filter->attributes();
    Value records = Value::dictionary();
    for (const std::string& key : filter->inputKeys()) {
        const Value& attr = attributes.get(key);
        // An entry is a dictionary; a bare value is read as that entry's value.
        Value entry = entries[key];
        if (!entry.isNull() && !entry.isDictionary()) entry = Value::dictionary({{"value", entry}});
        Input in{name, attr, entry, key};
        std::string cls = attr[kCIAttributeClass].stringValue();
        Value r;
        bool handled = true;
        if (cls == "NSNumber")
            r = loadNumber(in);
        else if (cls == "CIColor")
            r = loadColor(in);
        else if (cls == "CIVector")
            r = loadVector(in);
        else if (cls == "CIImage")
            r = loadImage(in, depth);
        else if (cls == "NSValue")
            r = loadTransform(in);
        else if (cls == "NSData")
            r = loadData(in);
        else if (cls == "NSObject")
            r = loadObject(in);
        else if (cls == "NSString")
            r = loadString(in);
        else if (cls == "NSDictionary")
            r = loadDictionary(in);
        else
            handled = false;
        if (handled) {
            if (!r.isNull()) records.set(key, r);
        } else {
            records.set(key, attr);
        }
    }
    std::string disp = dispName(*filter);
    return Value::dictionary({{"name", Value(name)}, {"value", records}, {"disp", Value(disp.empty() ? name : disp)}});
}

}  // namespace

Value FilterElement::loadAttrs0(const Value& desc) {
    return loadTree(desc, 0);
}

Value FilterElement::loadAttrs0(const std::string& name, const Value& entries) {
    return loadTree(name, entries, 0);
}

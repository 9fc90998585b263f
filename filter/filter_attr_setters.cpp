// Typed setters of attribute records: each writes "value" in the record's own form and drops
// the record's conversion cache so the next build converts the new value.
#include "filter/filter_element.h"
#include "filter/filter_record_values.h"
#include "platform/ui/draw/color.h"

namespace {

void write(const Value& record, Value value) {
    if (!record.isDictionary()) return;
    record.set("value", std::move(value));
    if (ValueDictionary* d = record.dictionaryPtr()) d->remove("instanceData");
}

Value numbers(std::initializer_list<double> values) {
    Value out = Value::array();
    for (double v : values) out.append(Value(v));
    return out;
}

}  // namespace

void FilterElement::setAttrValueBool(const Value& record, bool v) {
    write(record, Value(v));
}
void FilterElement::setAttrValueInt(const Value& record, std::int64_t v) {
    write(record, Value(static_cast<long long>(v)));
}
void FilterElement::setAttrValueFloat(const Value& record, double v) {
    write(record, Value(v));
}

void FilterElement::setAttrValueVec(const Value& record, double x, double y) {
    write(record, numbers({x, y, 0, 0}));
}

void FilterElement::setAttrValueVecRatio(const Value& record, double rx, double ry, CGSize base) {
    if (!record.isDictionary()) return;
    record.set("editingBaseSize", sizeValue(base));
    write(record, numbers({rx * base.width, ry * base.height, 0, 0}));
}

void FilterElement::setAttrValueVec(const Value& record, double x, double y, double z) {
    write(record, numbers({x, y, z, 0}));
}

void FilterElement::setAttrValueVec(const Value& record, double x, double y, double z, double w) {
    write(record, numbers({x, y, z, w}));
}

void FilterElement::setAttrValueRect(const Value& record, double ltx, double lty, double rbx, double rby, CGSize base) {
    if (!record.isDictionary()) return;
    record.set("editingBaseSize", sizeValue(base));
    write(record, numbers({ltx * base.width, lty * base.height, (rbx - ltx) * base.width, (rby - lty) * base.height}));
}

void FilterElement::setAttrValueUIColor(const Value& record, const std::shared_ptr<UIColor>& color) {
    if (!color) return;
    CGColor c = color->cgColor();
    if (c.isPattern()) return;
    std::vector<CGFloat> comps = c.components();
    if (comps.size() == 2) {
        write(record, numbers({comps[0], comps[0], comps[0], comps[1]}));
    } else if (comps.size() >= 4) {
        write(record, numbers({comps[0], comps[1], comps[2], comps[3]}));
    }
}

void FilterElement::setAttrValueColor(const Value& record, double r, double g, double b, double a) {
    write(record, numbers({r, g, b, a}));
}

void FilterElement::setAttrValueTransform(const Value& record, const CGAffineTransform& t) {
    write(record, numbers({t.a, t.b, t.c, t.d, t.tx, t.ty}));
}

void FilterElement::setAttrValueImage(const Value& record, const std::shared_ptr<CIImage>& image) {
    write(record, Value(image));
}

void FilterElement::setAttrValueArray(const Value& record, const ValueArray& array) {
    write(record, Value(ValueArray(array)));
}

void FilterElement::setAttrValueArrayElement(const Value& record, std::size_t index, double v) {
    ValueArray* a = record["value"].arrayPtr();
    if (!a || index >= a->size()) return;
    (*a)[index] = Value(v);
    if (ValueDictionary* d = record.dictionaryPtr()) d->remove("instanceData");
}

void FilterElement::setAttrValueString(const Value& record, const std::string& v) {
    write(record, Value(v));
}

void FilterElement::setAttrValueColorSpace(const Value& record, const std::string& name) {
    write(record, Value(name));
}

#include "widgets/flat/attached_value.h"

namespace {
class AttachedValueBox : public NSObject {
public:
    explicit AttachedValueBox(Value value) : value_(std::move(value)) {}
    const Value& value() const { return value_; }
    std::string className() const override { return "NSNumber"; }

private:
    Value value_;
};
}  // namespace

Value attachedValue(const NSObject& object, const std::string& key) {
    auto box = std::dynamic_pointer_cast<AttachedValueBox>(object.attachedObject(key));
    return box ? box->value() : Value();
}

void setAttachedValue(NSObject& object, const std::string& key, Value value) {
    if (value.isNull()) {
        object.setAttachedObject(key, nullptr);
        return;
    }
    object.setAttachedObject(key, make<AttachedValueBox>(std::move(value)));
}

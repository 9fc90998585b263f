// WeakValue: a Value that does not keep its array, dictionary, set or object alive.
//
// A view that edits a record owned by someone else holds it this way: while the owner keeps the
// container, lock() gives back a Value sharing it; once the last strong holder lets go, lock()
// answers null and nothing can be written into a record nobody shows any more. Values without
// identity (null, numbers, dates, strings, data) are kept as they are.
#pragma once

#include <memory>

#include "platform/runtime/value.h"

class WeakValue {
public:
    WeakValue() = default;
    WeakValue(const Value& v) { *this = v; }  // NOLINT: converts like the strong value

    WeakValue& operator=(const Value& v) {
        if (holdsWeakly(v.kind_)) {
            kind_ = v.kind_;
            weak_ = v.ptr_;
            plain_ = Value();
        } else {
            kind_ = Value::Kind::Null;
            weak_.reset();
            plain_ = v;
        }
        return *this;
    }

    // The value while it is still held elsewhere; null once its container or object is gone.
    Value lock() const {
        if (kind_ == Value::Kind::Null) return plain_;
        Value v;
        v.ptr_ = weak_.lock();
        if (v.ptr_) v.kind_ = kind_;
        return v;
    }

    // True when a container or object was held and has gone since.
    bool expired() const { return kind_ != Value::Kind::Null && weak_.expired(); }

    void reset() { *this = Value(); }

private:
    static bool holdsWeakly(Value::Kind kind) {
        return kind == Value::Kind::Array || kind == Value::Kind::Dictionary || kind == Value::Kind::Set ||
               kind == Value::Kind::Object;
    }

    // Kind of the weakly held container or object; Null when plain_ holds the value.
    Value::Kind kind_ = Value::Kind::Null;
    std::weak_ptr<void> weak_;
    Value plain_;
};

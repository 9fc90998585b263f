// Object model basics.
#include "platform/runtime/object.h"

#include <cxxabi.h>

#include <cstdio>
#include <typeinfo>

std::string NSObject::className() const {
    int status = 0;
    const char* mangled = typeid(*this).name();
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled) ? demangled : mangled;
    std::free(demangled);
    // make<T>() wraps classes in a local Enabler; report the class itself.
    auto pos = name.find("make<");
    if (pos != std::string::npos) {
        auto start = pos + 5;
        auto end = name.find_first_of(",>", start);
        name = name.substr(start, end - start);
    }
    return name;
}

std::string NSObject::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, ": %p>", static_cast<const void*>(this));
    std::string out = "<";
    out += className();
    out += buf;
    return out;
}

std::shared_ptr<NSObject> NSObject::attachedObject(const std::string& key) const {
    std::lock_guard lock(attachedMutex_);
    auto it = attached_.find(key);
    return it == attached_.end() ? nullptr : it->second;
}

void NSObject::setAttachedObject(const std::string& key, std::shared_ptr<NSObject> object) {
    std::lock_guard lock(attachedMutex_);
    if (object)
        attached_[key] = std::move(object);
    else
        attached_.erase(key);
}

// The object model: shared ownership, a virtual initialiser run after construction, attached objects.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

class NSObject : public std::enable_shared_from_this<NSObject> {
public:
    virtual ~NSObject() = default;

    // Runs once after construction, through make(); may call overridden methods and shared_from_this().
    virtual void init() {}

    virtual std::string description() const;
    virtual std::string className() const;

    // Identity equality unless a class says otherwise.
    virtual bool isEqual(const NSObject& other) const { return this == &other; }

    // Attached objects: state that code outside the class hangs on an instance (key -> object).
    std::shared_ptr<NSObject> attachedObject(const std::string& key) const;
    void setAttachedObject(const std::string& key, std::shared_ptr<NSObject> object);

    template <class T>
    std::shared_ptr<T> self() {
        return std::static_pointer_cast<T>(shared_from_this());
    }
    template <class T>
    std::shared_ptr<const T> self() const {
        return std::static_pointer_cast<const T>(shared_from_this());
    }

protected:
    NSObject() = default;

private:
    mutable std::mutex attachedMutex_;
    std::map<std::string, std::shared_ptr<NSObject>> attached_;
};

// Constructs T with the arguments, then runs its initialiser.
template <class T, class... Args>
std::shared_ptr<T> make(Args&&... args) {
    struct Enabler : T {
        explicit Enabler(Args&&... a) : T(std::forward<Args>(a)...) {}
    };
    std::shared_ptr<T> object = std::make_shared<Enabler>(std::forward<Args>(args)...);
    object->init();
    return object;
}

// Gives a class the `T::make(args...)` spelling of make<T>().
#define KORVA_MAKE(T)                                  \
    template <class... Args>                           \
    static std::shared_ptr<T> make(Args&&... args) {   \
        return ::make<T>(std::forward<Args>(args)...); \
    }

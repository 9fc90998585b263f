// The registry is a list of entries, one per class and containment list, in the order they were
// first set; matching walks each view's chain of superviews and their controllers.
#include "platform/ui/view/ui_appearance.h"

#include <algorithm>

#include "platform/ui/view/ui_view.h"

namespace {
struct Entry {
    UIAppearanceClass cls;
    std::vector<UIAppearanceClass> containers;
    ValueDictionary values;
};

std::vector<Entry>& registry() {
    static std::vector<Entry> entries;
    return entries;
}

Entry* find(const UIAppearanceClass& cls, const std::vector<UIAppearanceClass>& containers) {
    for (auto& e : registry())
        if (e.cls == cls && e.containers == containers) return &e;
    return nullptr;
}

// The view's containers from the innermost outwards: each superview, followed by the controller
// whose root view it is.
std::vector<std::shared_ptr<NSObject>> containerChain(const UIView& view) {
    std::vector<std::shared_ptr<NSObject>> chain;
    if (auto own = view.owningController()) chain.push_back(own);
    for (auto v = view.superview(); v; v = v->superview()) {
        chain.push_back(v);
        if (auto controller = v->owningController()) chain.push_back(controller);
    }
    return chain;
}

bool matches(const std::vector<UIAppearanceClass>& containers, const std::vector<std::shared_ptr<NSObject>>& chain) {
    std::size_t next = 0;
    for (const auto& object : chain)
        if (next < containers.size() && containers[next].includes(*object)) ++next;
    return next == containers.size();
}
}  // namespace

std::string UIAppearanceProperty::forState(const char* name, unsigned state) {
    return std::string(name) + ":" + std::to_string(state);
}

UIAppearance UIAppearance::appearanceWhenContainedIn(UIAppearanceClass cls, std::vector<UIAppearanceClass> containers) {
    if (containers.size() > kMaxContainers) containers.resize(kMaxContainers);
    return {std::move(cls), std::move(containers)};
}

void UIAppearance::setValue(const std::string& property, Value value) const {
    Entry* e = find(class_, containers_);
    if (!e) {
        if (value.isNull()) return;
        registry().push_back({class_, containers_, {}});
        e = &registry().back();
    }
    e->values.set(property, std::move(value));
}

Value UIAppearance::value(const std::string& property) const {
    const Entry* e = find(class_, containers_);
    return e ? e->values.get(property) : Value();
}

ValueDictionary UIAppearance::valuesFor(const NSObject& object, const UIView& view) {
    std::vector<const Entry*> matching;
    std::vector<std::shared_ptr<NSObject>> chain;
    bool chainBuilt = false;
    for (const auto& e : registry()) {
        if (!e.cls.includes(object)) continue;
        if (!e.containers.empty()) {
            if (!chainBuilt) chain = containerChain(view), chainBuilt = true;
            if (!matches(e.containers, chain)) continue;
        }
        matching.push_back(&e);
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const Entry* a, const Entry* b) { return a->containers.size() < b->containers.size(); });
    ValueDictionary merged;
    for (const Entry* e : matching)
        for (const auto& [key, value] : e->values) merged.set(key, value);
    return merged;
}

ValueDictionary UIAppearance::valuesForView(const UIView& view) { return valuesFor(view, view); }

void UIAppearance::reset() {
    registry().clear();
}

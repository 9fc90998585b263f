// Edited values per preset: loading, deferred saving and the plain form kept in the store.
#include "filter/filter_persist_element.h"

#include <vector>

#include "foundation/string_custom_paths.h"
#include "platform/dispatch/notification_center.h"
#include "platform/runtime/format.h"
#include "platform/ui/app/ui_application.h"

namespace {

constexpr int kMaxPlainDepth = 64;

// The value as the store may keep it: containers copied, conversion caches and objects (user
// images, built filters) left out.
Value plainValue(const Value& v, int depth) {
    if (depth > kMaxPlainDepth) return {};
    if (v.isObject()) return {};
    if (const ValueArray* a = v.arrayPtr()) {
        Value out = Value::array();
        for (const Value& item : *a) {
            Value p = plainValue(item, depth + 1);
            if (!p.isNull()) out.append(p);
        }
        return out;
    }
    if (const ValueDictionary* d = v.dictionaryPtr()) {
        Value out = Value::dictionary();
        for (const auto& [key, item] : *d) {
            if (key == "instanceData") continue;
            out.set(key, plainValue(item, depth + 1));
        }
        return out;
    }
    if (v.isSet()) return {};
    return v;
}

// Whether `target` is reachable from `v` by identity of containers.
bool reaches(const Value& v, const void* target, int depth) {
    if (depth > kMaxPlainDepth) return true;
    if (v.identity() && v.identity() == target) return true;
    if (const ValueArray* a = v.arrayPtr()) {
        for (const Value& item : *a)
            if (reaches(item, target, depth + 1)) return true;
    } else if (const ValueDictionary* d = v.dictionaryPtr()) {
        for (const auto& [key, item] : *d)
            if (reaches(item, target, depth + 1)) return true;
    }
    return false;
}

// The names of the trees that hold the record, outermost first; empty when the record is not in
// the tree.
bool enclosingNames(const Value& tree, const void* record, std::vector<std::string>& path, int depth) {
    const ValueDictionary* records = tree["value"].dictionaryPtr();
    if (!records || depth > kMaxPlainDepth) return false;
    path.push_back(tree["name"].stringValue());
    for (const auto& [key, r] : *records) {
        if (r.identity() == record) return true;
        const Value& nested = r["value"];
        if (r["type"].stringValue() == "CIImage" && nested.isDictionary() &&
            enclosingNames(nested, record, path, depth + 1))
            return true;
    }
    path.pop_back();
    return false;
}

// Whether a saved value may stand in the record: a number for a number, a text for a text, a
// list for a list. Records of other forms (images, nested filters, none yet) take what was saved.
bool fitsRecord(const Value& saved, const Value& current) {
    if (current.isNumber()) return saved.isNumber();
    if (current.isString()) return saved.isString();
    if (current.isArray()) return saved.isArray();
    return true;
}

}  // namespace

std::string FilterPersistElement::storePath(const std::string& key) {
    return withLibraryPath(onlyFilename(formatString("FilterPersistElement.%@.1", {Value(key)})));
}

std::shared_ptr<FilterPersistElement> FilterPersistElement::withKey(const std::string& key, const Value& desc) {
    auto e = makeWithDesc<FilterPersistElement>(desc);
    if (!e) return nullptr;
    e->lastInfo_ = LastInfo::make(storePath(key));
    e->observeBackground();
    std::string name = e->attrs()["name"].stringValue();
    if (name != "CIColorCube" && name != "CIColorCubeWithColorSpace" && name != "CIColorCubesMixedWithMask") {
        if (const ValueDictionary* records = e->attrs()["value"].dictionaryPtr()) {
            for (const auto& [k, record] : *records)
                if (!isSkipAttr(record)) e->load(record);
        }
    }
    return e;
}

void FilterPersistElement::observeBackground() {
    std::weak_ptr<FilterPersistElement> weak = self<FilterPersistElement>();
    backgroundToken_ = NSNotificationCenter::defaultCenter()->addObserver(
        UIApplicationDidEnterBackgroundNotification, nullptr, nullptr, [weak](const std::shared_ptr<NSNotification>&) {
            if (auto strong = weak.lock()) strong->flushPendingSave();
        });
}

FilterPersistElement::~FilterPersistElement() {
    if (backgroundToken_) NSNotificationCenter::defaultCenter()->removeObserver(backgroundToken_);
    flushPendingSave();
}

bool FilterPersistElement::isSkipAttr(const Value& record) {
    std::uint64_t view = record["view"].unsignedIntegerValue();
    if (view >= 25) return false;
    return view == 3 || view == 6 || view == 7 || view == 8 || (view >= 14 && view <= 24);
}

Value FilterPersistElement::dict() {
    if (dict_.isNull()) {
        Value stored = lastInfo_ ? lastInfo_->get("dict") : Value();
        dict_ = stored.isDictionary() ? stored.deepCopy() : Value::dictionary();
    }
    return dict_;
}

Value FilterPersistElement::findPersistenceCurrent(const Value& record) {
    const Value& disp = record["disp"];
    if (!disp.isString()) return {};
    Value d = dict();
    Value entry = d[*disp.string()];
    if (!entry.isDictionary()) {
        entry = Value::dictionary();
        d.set(*disp.string(), entry);
    }
    return entry;
}

void FilterPersistElement::load(const Value& record) {
    if (!record.isDictionary() || isSkipAttr(record)) return;
    Value entry = findPersistenceCurrent(record);
    const Value& saved = entry["value"];
    if (saved.isNull() || !fitsRecord(saved, record["value"])) return;
    // A loaded tree must not lead back to the record itself or to this element's own tree, nor
    // repeat a filter that already holds the record: records of different levels share an entry
    // when their display names agree, and a chain must not come to contain itself.
    if (reaches(saved, record.identity(), 0) || reaches(saved, attrs().identity(), 0)) return;
    if (saved["name"].isString()) {
        std::vector<std::string> path;
        enclosingNames(attrs(), record.identity(), path, 0);
        for (const std::string& name : path)
            if (name == *saved["name"].string()) return;
    }
    record.set("value", saved.deepCopy());
}

void FilterPersistElement::save(const Value& record) {
    if (!record.isDictionary() || isSkipAttr(record)) return;
    Value entry = findPersistenceCurrent(record);
    if (entry.isNull()) return;
    Value plain = plainValue(record["value"], 0);
    if (plain.isNull()) {
        if (ValueDictionary* e = entry.dictionaryPtr()) e->remove("value");
    } else {
        entry.set("value", plain);
    }
    restartTimerSave();
}

void FilterPersistElement::save() {
    if (!lastInfo_) return;
    lastInfo_->set(dict(), "dict");
    lastInfo_->save();
}

void FilterPersistElement::resetTimerSave() {
    if (timerSave_) timerSave_->invalidate();
    timerSave_.reset();
}

void FilterPersistElement::restartTimerSave() {
    resetTimerSave();
    std::weak_ptr<FilterPersistElement> weak = self<FilterPersistElement>();
    timerSave_ = NSTimer::scheduledTimer(kSaveDelay, false, [weak](const std::shared_ptr<NSTimer>& t) {
        if (auto strong = weak.lock()) strong->onTimerSave(t);
    });
}

void FilterPersistElement::onTimerSave(const std::shared_ptr<NSTimer>&) {
    timerSave_.reset();
    save();
}

void FilterPersistElement::flushPendingSave() {
    if (!timerSave_) return;
    resetTimerSave();
    save();
}

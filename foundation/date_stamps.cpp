// Date: timestamps over their store file.
#include "foundation/date_stamps.h"

#include "foundation/date_custom.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"

std::shared_ptr<LastInfo> Date::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("Global.Date.2"));
    return lastInfo_;
}

double Date::read(std::optional<double>& field, const char* key) {
    if (!field) {
        Value stored = lastInfo()->get(key);
        if (stored.isDate()) {
            field = stored.dateValue();
        } else {
            field = dateNow();
            save();
        }
    }
    return *field;
}

double Date::ad() {
    return read(ad_, "ad");
}
double Date::scheme() {
    return read(scheme_, "scheme");
}

void Date::setAd(double date) {
    ad_ = date;
    save();
}

void Date::setScheme(double date) {
    scheme_ = date;
    save();
}

void Date::save() {
    if (ad_) lastInfo()->set(Value::date(*ad_), "ad");
    if (scheme_) lastInfo()->set(Value::date(*scheme_), "scheme");
    lastInfo()->save();
}

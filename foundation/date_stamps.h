// Date: two remembered timestamps, "ad" (when an advertisement was last shown) and "scheme", in
// "Global.Date.2". Dates are seconds since the reference date. Main-thread only.
#pragma once

#include <memory>
#include <optional>

#include "platform/runtime/object.h"

class LastInfo;

class Date : public NSObject {
public:
    KORVA_MAKE(Date)

    // The stored date; when none is stored, now, which is saved at once.
    double ad();
    double scheme();
    // Replace the value and save.
    void setAd(double date);
    void setScheme(double date);
    // Stores each value that is set and writes the file.
    void save();

    std::shared_ptr<LastInfo> lastInfo();

    std::string className() const override { return "Date"; }

protected:
    Date() = default;

private:
    double read(std::optional<double>& field, const char* key);

    std::optional<double> ad_;
    std::optional<double> scheme_;
    std::shared_ptr<LastInfo> lastInfo_;
};

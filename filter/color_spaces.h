// ColorSpaces: the colour spaces offered by name (display name -> colour-space name), with
// "Default" meaning no colour management.
#pragma once

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class ColorSpaces : public NSObject {
public:
    KORVA_MAKE(ColorSpaces)

    // Made on first read and kept: "Default" and every named space the platform knows.
    const Value& dict();
    void setDict(Value dict) { dict_ = std::move(dict); }

    std::string className() const override { return "ColorSpaces"; }

protected:
    ColorSpaces() = default;

private:
    Value dict_;
};

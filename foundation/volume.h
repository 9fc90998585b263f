// Volume: the output volume of the application's music player, 0.0 to 1.0. Main-thread only.
#pragma once

#include "platform/runtime/object.h"

class Volume : public NSObject {
public:
    KORVA_MAKE(Volume)

    float value() const;
    void setValue(float volume);

    std::string className() const override { return "Volume"; }

protected:
    Volume() = default;
};

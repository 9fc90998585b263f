// FilterMyElement: the working copy the camera screen and the photo editor hold.
#pragma once

#include "filter/filter_element.h"

class FilterMyElement : public FilterElement {
public:
    static std::shared_ptr<FilterMyElement> withDesc(const Value& desc) { return makeWithDesc<FilterMyElement>(desc); }
    static std::shared_ptr<FilterMyElement> withFilterElement(const FilterElement& source) {
        return makeCopy<FilterMyElement>(source);
    }
    std::string className() const override { return "FilterMyElement"; }

protected:
    FilterMyElement() = default;
};

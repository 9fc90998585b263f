// What a filter host gives the filter browser (the thumbnail source and the context that draws
// it) and what it is told (an edit was made; a record is about to be edited). The camera screen
// and the photo editor are the hosts. Called on the main thread.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/value.h"

class CIImage;
class FilterContext;
class FilterElement;

class FilterSource {
public:
    virtual ~FilterSource() = default;
    // The picture the thumbnails are made from, already at the strip's tile size; none while the
    // host has nothing to show yet.
    virtual std::shared_ptr<CIImage> onFilterSourceGetImage() = 0;
    // The context whose drawing context and GPU image context draw the thumbnails.
    virtual std::shared_ptr<FilterContext> onFilterSourceGetContext() = 0;
};

class FilterAttrDelegate : public FilterSource {
public:
    // An edit was made to the element: the host takes its own copy of it and shows that.
    virtual void onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) = 0;
    // An editor is about to open on the record of `key` under the top-level filter `filterName`;
    // the host may adjust the record in place.
    virtual void onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key,
                                              const Value& record) = 0;
};

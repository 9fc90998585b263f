// CIFilter: an image filter made by name from the registry, with inputs set and read by key.
//
// Attribute dictionaries follow the platform's shape: kCIAttributeFilterName, ...DisplayName,
// ...Categories, and per input key a dictionary of kCIAttributeClass, kCIAttributeType,
// kCIAttributeDefault, min and max, slider min and max, identity and display name.
// A filter is not thread-safe; its output images are.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image/ci_filter_keys.h"
#include "platform/image/ci_image.h"
#include "platform/image/ci_vector.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

struct FilterDescription;

class CIFilter : public NSObject {
public:
    // A new filter with its inputs at their defaults (setDefaults), or none for an unknown name.
    static std::shared_ptr<CIFilter> filterWithName(std::string_view name);
    // The same, then the given inputs set.
    static std::shared_ptr<CIFilter> filterWithName(std::string_view name, const ValueDictionary& inputs);

    // Registered names in the category (all of them for an empty category), sorted.
    static std::vector<std::string> filterNamesInCategory(std::string_view category);
    // Names that belong to every one of the categories (all names when none are given).
    static std::vector<std::string> filterNamesInCategories(const std::vector<std::string>& categories);
    // The localised display name of a filter, or "" for an unknown name.
    static std::string localizedNameForFilterName(std::string_view name);
    // Whether a registered filter produces output in this build (later issues add the rest).
    static bool isImplemented(std::string_view name);

    const std::string& name() const;
    // A fresh dictionary (callers may keep and change it).
    ValueDictionary attributes() const;
    const std::vector<std::string>& inputKeys() const;
    std::vector<std::string> outputKeys() const { return {kCIOutputImageKey}; }

    // Inputs: unknown keys are kept too, as on the platform. A null value removes the input.
    void setValue(const Value& value, const std::string& key);
    // "outputImage" gives the output; inputs give their value; null when unset.
    Value valueForKey(const std::string& key) const;
    void setDefaults();

    // The filtered image, or none when the inputs do not allow one (missing image, wrong data)
    // or the filter is not implemented yet.
    virtual std::shared_ptr<CIImage> outputImage() const;

    // Typed reads of inputs, converting where the platform does (a number for a vector, ...).
    std::shared_ptr<CIImage> imageInput(const std::string& key) const;
    double numberInput(const std::string& key, double fallback) const;
    std::shared_ptr<CIVector> vectorInput(const std::string& key) const;
    std::shared_ptr<CIColor> colorInput(const std::string& key) const;

    std::string description() const override;

protected:
    explicit CIFilter(const FilterDescription& description) : description_(&description) {}
    const FilterDescription& filterDescription() const { return *description_; }
    // Called after an input changed, so subclasses can drop what they prepared from it.
    virtual void inputChanged(const std::string& key) { (void)key; }

private:
    const FilterDescription* description_;
    ValueDictionary inputs_;
};

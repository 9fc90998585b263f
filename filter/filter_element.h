// FilterElement: one image filter by name with a typed, editor-annotated record per input. An
// image input may hold a nested element tree, so one element describes a whole chain.
//
// Threading: an element, its graph cache and its records carry no lock. Use each element from
// one thread at a time, and never write records through one element while another thread builds
// or renders with a copy that shares them (copies share records). The preview uses its element
// on the main thread, so a road that gets a frame on another thread hops there to filter it
// (filterOnMainThread in filter/filter_on_main.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/image/ci_image.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class CIFilter;
class UIColor;

class FilterElement : public NSObject {
public:
    // A new element from a filter description; none when the description yields no tree.
    static std::shared_ptr<FilterElement> withDesc(const Value& desc) { return makeWithDesc<FilterElement>(desc); }
    // A copy sharing the source's records (a change through either shows in both); no graph.
    static std::shared_ptr<FilterElement> withFilterElement(const FilterElement& source) {
        return makeCopy<FilterElement>(source);
    }

    const Value& desc() const { return desc_; }
    const Value& attrs() const { return attrs_; }
    const Value& lastFilter() const { return lastFilter_; }
    std::string displayName() const { return attrs_["disp"].stringValue(); }
    // The platform's description key text (nothing reads it).
    const std::string& kCIAttributeDescription();

    // A new top-level tree dictionary over the same records, after dropping every record's
    // conversion cache (nested trees included).
    Value copyAllAttrs() const;
    static void copyAllAttrs0(const Value& records);

    // Rebuilds attrs from desc.
    void loadAllAttrs();
    // The attribute tree of a description, or null (no name, a refused or unknown filter).
    static Value loadAttrs0(const Value& desc);
    static Value loadAttrs0(const std::string& name, const Value& entries);

    // The graph: the element's output for a source image, building the filter graph on the first
    // call and feeding later sources into it; none when no filter could be built.
    std::shared_ptr<CIImage> make(const std::shared_ptr<CIImage>& source);
    // Drops the cached graph; the records' conversion caches stay.
    void resetInstanceData() { lastFilter_ = Value(); }
    static std::shared_ptr<CIFilter> refresh(const std::shared_ptr<CIImage>& source, const Value& tree,
                                             const Value& cache);
    static std::shared_ptr<CIFilter> refresh(const std::shared_ptr<CIImage>& source, const std::string& name,
                                             const Value& records, const Value& cache);
    static std::shared_ptr<CIFilter> reuse(const std::shared_ptr<CIImage>& source, const Value& cache);

    // Typed setters: each writes a record's "value" in the record's own form (arrays stored
    // mutable, numbers as doubles unless named) and drops its conversion cache.
    static void setAttrValueBool(const Value& record, bool v);
    static void setAttrValueInt(const Value& record, std::int64_t v);
    static void setAttrValueFloat(const Value& record, double v);
    static void setAttrValueVec(const Value& record, double x, double y);
    // Ratios of a shown image and that image's size: stores pixels of the base size.
    static void setAttrValueVecRatio(const Value& record, double rx, double ry, CGSize baseImageSize);
    static void setAttrValueVec(const Value& record, double x, double y, double z);
    static void setAttrValueVec(const Value& record, double x, double y, double z, double w);
    // Two corners as ratios: stores origin and size in pixels of the base size.
    static void setAttrValueRect(const Value& record, double ltx, double lty, double rbx, double rby,
                                 CGSize baseImageSize);
    // A colour of four components; a two-component (grey, alpha) colour reads as (w, w, w, a).
    static void setAttrValueUIColor(const Value& record, const std::shared_ptr<UIColor>& color);
    static void setAttrValueColor(const Value& record, double r, double g, double b, double a);
    static void setAttrValueTransform(const Value& record, const CGAffineTransform& t);
    static void setAttrValueImage(const Value& record, const std::shared_ptr<CIImage>& image);
    static void setAttrValueArray(const Value& record, const ValueArray& array);
    // Replaces one element of the record's value array; an index outside the array or a value
    // that is not an array is ignored.
    static void setAttrValueArrayElement(const Value& record, std::size_t index, double v);
    static void setAttrValueString(const Value& record, const std::string& v);
    static void setAttrValueColorSpace(const Value& record, const std::string& name);

    // Tests and tools: the tree itself, to put a record or a name in place.
    Value& mutableAttrsForTesting() { return attrs_; }

    std::string className() const override { return "FilterElement"; }

protected:
    FilterElement() = default;

    template <class T>
    static std::shared_ptr<T> makeWithDesc(const Value& desc) {
        auto e = ::make<T>();
        return e->initWithDesc(desc) ? e : nullptr;
    }
    template <class T>
    static std::shared_ptr<T> makeCopy(const FilterElement& source) {
        auto e = ::make<T>();
        e->initWithFilterElement(source);
        return e;
    }
    bool initWithDesc(const Value& desc);
    void initWithFilterElement(const FilterElement& source);

private:
    Value desc_;
    Value attrs_;
    Value lastFilter_;
    std::string descriptionKey_;
};

// The filter's display name from its attributes ("" when it has none).
std::string dispName(const CIFilter& filter);

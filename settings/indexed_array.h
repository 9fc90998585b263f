// IndexedArray: the section bookkeeping of a flat, sorted list shown as a table. Consecutive rows
// with equal section strings form one section; an optional top section "-" gathers a fixed number
// of leading rows; each section may carry a side-index title. The owner keeps the rows and maps
// table positions to flat indexes through this object.
//
// Main-thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/ui/table/ns_index_path.h"

class IndexedArray : public NSObject {
public:
    KORVA_MAKE(IndexedArray)

    // Callbacks receive a flat index of the list.
    using SectionString = std::function<std::string(std::size_t index)>;
    using IndexName = std::function<std::optional<std::string>(std::size_t index)>;

    // Sections `count` rows. indexNameLength: 0 gives no index titles, a negative length the whole
    // section string, a positive one its first characters.
    void update(std::size_t count, const SectionString& sectionString) { update(count, 0, sectionString); }
    void update(std::size_t count, std::size_t top, const SectionString& sectionString) {
        update(count, top, sectionString, -1);
    }
    void update(std::size_t count, std::size_t top, const SectionString& sectionString, long indexNameLength);
    void update(std::size_t count, std::size_t top, const SectionString& sectionString, const IndexName& indexName);

    long getSectionCount() const { return long(arrSectionRowCount_.size()); }
    // Out-of-range sections (negative or past the last) give 0, nil or 0.
    long getRowCount(long section) const;
    std::optional<std::string> getSectionTitle(long section) const;
    long getIndex(long section, long row) const;
    // The section and row holding a flat index; nil for a negative index or one past the last row.
    std::optional<NSIndexPath> getIndexPath(long index) const;
    const std::optional<std::vector<std::string>>& getIndexTitles() const { return arrIndexName_; }

    const std::vector<std::string>& arrSectionName() const { return arrSectionName_; }
    const std::optional<std::vector<std::string>>& arrIndexName() const { return arrIndexName_; }
    const std::vector<long>& arrIndexPosition() const { return arrIndexPosition_; }
    const std::vector<long>& arrSectionRowCount() const { return arrSectionRowCount_; }
    void setArrSectionName(std::vector<std::string> v) { arrSectionName_ = std::move(v); }
    void setArrIndexName(std::optional<std::vector<std::string>> v) { arrIndexName_ = std::move(v); }
    void setArrIndexPosition(std::vector<long> v) { arrIndexPosition_ = std::move(v); }
    void setArrSectionRowCount(std::vector<long> v) { arrSectionRowCount_ = std::move(v); }

    std::string className() const override { return "IndexedArray"; }

private:
    bool hasSection(long section) const { return section >= 0 && section < getSectionCount(); }

    std::vector<std::string> arrSectionName_;
    std::optional<std::vector<std::string>> arrIndexName_;
    std::vector<long> arrIndexPosition_;
    std::vector<long> arrSectionRowCount_;
};

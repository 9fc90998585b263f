// Sectioning a flat list.
#include "settings/indexed_array.h"

#include "platform/runtime/utf16.h"

namespace {

constexpr const char* kTopSection = "-";

}  // namespace

void IndexedArray::update(std::size_t count, std::size_t top, const SectionString& sectionString,
                          long indexNameLength) {
    update(count, top, sectionString,
           [&sectionString, indexNameLength](std::size_t index) -> std::optional<std::string> {
               if (indexNameLength == 0) return std::nullopt;
               std::string name = sectionString(index);
               if (indexNameLength < 0) return name;
               std::u16string characters = toUtf16(name);
               if (characters.size() < std::size_t(indexNameLength)) return name;
               return fromUtf16(characters.substr(0, std::size_t(indexNameLength)));
           });
}

void IndexedArray::update(std::size_t count, std::size_t top, const SectionString& sectionString,
                          const IndexName& indexName) {
    std::vector<std::string> names;
    std::vector<std::string> titles;
    std::vector<long> positions;
    std::vector<long> rowCounts;
    if (top >= 1 && count >= top) {
        names.emplace_back(kTopSection);
        titles.emplace_back(kTopSection);
        positions.push_back(0);
        rowCounts.push_back(long(top));
    }
    if (count > top) {
        std::string current;
        std::size_t start = top;
        for (std::size_t i = top; i < count; ++i) {
            std::string name = sectionString(i);
            std::optional<std::string> title = indexName(i);
            if (i > top && name == current) continue;
            if (i > top) rowCounts.push_back(long(i - start));
            names.push_back(name);
            if (title) titles.push_back(std::move(*title));
            positions.push_back(long(i));
            current = std::move(name);
            start = i;
        }
        rowCounts.push_back(long(count - start));
    }
    arrSectionName_ = std::move(names);
    arrIndexName_ = titles.empty() ? std::nullopt : std::optional<std::vector<std::string>>(std::move(titles));
    arrIndexPosition_ = std::move(positions);
    arrSectionRowCount_ = std::move(rowCounts);
}

long IndexedArray::getRowCount(long section) const {
    return hasSection(section) ? arrSectionRowCount_[std::size_t(section)] : 0;
}

std::optional<std::string> IndexedArray::getSectionTitle(long section) const {
    if (!hasSection(section)) return std::nullopt;
    return arrSectionName_[std::size_t(section)];
}

long IndexedArray::getIndex(long section, long row) const {
    return hasSection(section) ? arrIndexPosition_[std::size_t(section)] + row : 0;
}

std::optional<NSIndexPath> IndexedArray::getIndexPath(long index) const {
    if (index < 0) return std::nullopt;
    for (std::size_t section = 0; section < arrSectionRowCount_.size(); ++section) {
        if (index < arrSectionRowCount_[section]) return NSIndexPath::indexPathForRow(std::size_t(index), section);
        index -= arrSectionRowCount_[section];
    }
    return std::nullopt;
}

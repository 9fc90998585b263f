// The flow layout: items placed in lines (rows when scrolling vertically, columns when
// horizontally) that wrap at the edge, with section insets, spacing, headers and footers.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/table/ns_index_path.h"
#include "platform/ui/view/ui_edge_insets.h"

enum class UICollectionViewScrollDirection { Vertical = 0, Horizontal = 1 };

struct UICollectionViewLayoutAttributes {
    NSIndexPath indexPath;
    CGRect frame = CGRectZero;
    enum class Kind { Cell, Header, Footer } kind = Kind::Cell;
};

class UICollectionView;

// Per-item and per-section answers that override the layout's own values (all optional).
class UICollectionViewDelegateFlowLayout {
public:
    virtual ~UICollectionViewDelegateFlowLayout() = default;
    virtual std::optional<CGSize> sizeForItemAtIndexPath(UICollectionView&, NSIndexPath) { return std::nullopt; }
    virtual std::optional<UIEdgeInsets> insetForSectionAtIndex(UICollectionView&, std::size_t) { return std::nullopt; }
    virtual std::optional<CGFloat> minimumLineSpacingForSectionAtIndex(UICollectionView&, std::size_t) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> minimumInteritemSpacingForSectionAtIndex(UICollectionView&, std::size_t) {
        return std::nullopt;
    }
    virtual std::optional<CGSize> referenceSizeForHeaderInSection(UICollectionView&, std::size_t) {
        return std::nullopt;
    }
    virtual std::optional<CGSize> referenceSizeForFooterInSection(UICollectionView&, std::size_t) {
        return std::nullopt;
    }
};

class UICollectionViewFlowLayout : public NSObject {
public:
    KORVA_MAKE(UICollectionViewFlowLayout)

    CGSize itemSize{50, 50};
    CGFloat minimumLineSpacing = 10;
    CGFloat minimumInteritemSpacing = 10;
    UIEdgeInsets sectionInset;
    CGSize headerReferenceSize{0, 0};
    CGSize footerReferenceSize{0, 0};
    UICollectionViewScrollDirection scrollDirection = UICollectionViewScrollDirection::Vertical;

    // Lays out every item for a view of the given bounds size; `items[s]` is the count of section s.
    void prepare(UICollectionView& view, CGSize bounds, const std::vector<std::size_t>& items,
                 UICollectionViewDelegateFlowLayout* delegate);
    CGSize collectionViewContentSize() const { return contentSize_; }
    std::vector<UICollectionViewLayoutAttributes> layoutAttributesForElementsInRect(CGRect rect) const;
    std::optional<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(NSIndexPath p) const;

    std::string className() const override { return "UICollectionViewFlowLayout"; }

protected:
    UICollectionViewFlowLayout() = default;

private:
    std::vector<UICollectionViewLayoutAttributes> all_;
    std::map<NSIndexPath, std::size_t> cellIndex_;
    CGSize contentSize_{0, 0};
};

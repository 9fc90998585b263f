// Flow layout: line breaking of items per section along the scroll direction.
#include "platform/ui/table/ui_collection_view_flow_layout.h"

#include <algorithm>

void UICollectionViewFlowLayout::prepare(UICollectionView& view, CGSize bounds, const std::vector<std::size_t>& items,
                                         UICollectionViewDelegateFlowLayout* d) {
    all_.clear();
    cellIndex_.clear();
    bool vertical = scrollDirection == UICollectionViewScrollDirection::Vertical;
    // Work in (along the line, across lines) coordinates and swap for horizontal scrolling.
    auto rect = [&](CGFloat along, CGFloat across, CGFloat w, CGFloat h) {
        return vertical ? CGRectMake(along, across, w, h) : CGRectMake(across, along, h, w);
    };
    CGFloat lineLength = vertical ? bounds.width : bounds.height;
    CGFloat cursor = 0;  // across-lines position
    for (std::size_t s = 0; s < items.size(); ++s) {
        UIEdgeInsets inset =
            d && d->insetForSectionAtIndex(view, s) ? *d->insetForSectionAtIndex(view, s) : sectionInset;
        CGFloat lineGap = d && d->minimumLineSpacingForSectionAtIndex(view, s)
                              ? *d->minimumLineSpacingForSectionAtIndex(view, s)
                              : minimumLineSpacing;
        CGFloat itemGap = d && d->minimumInteritemSpacingForSectionAtIndex(view, s)
                              ? *d->minimumInteritemSpacingForSectionAtIndex(view, s)
                              : minimumInteritemSpacing;
        CGSize header = d && d->referenceSizeForHeaderInSection(view, s) ? *d->referenceSizeForHeaderInSection(view, s)
                                                                         : headerReferenceSize;
        CGSize footer = d && d->referenceSizeForFooterInSection(view, s) ? *d->referenceSizeForFooterInSection(view, s)
                                                                         : footerReferenceSize;
        CGFloat headerDepth = vertical ? header.height : header.width;
        if (headerDepth > 0)
            all_.push_back(
                {{s, 0}, rect(0, cursor, lineLength, headerDepth), UICollectionViewLayoutAttributes::Kind::Header});
        cursor += headerDepth;
        CGFloat startAlong = vertical ? inset.left : inset.top;
        CGFloat endAlong = lineLength - (vertical ? inset.right : inset.bottom);
        cursor += vertical ? inset.top : inset.left;
        CGFloat along = startAlong, lineDepth = 0;
        bool lineEmpty = true;
        for (std::size_t i = 0; i < items[s]; ++i) {
            CGSize size =
                d && d->sizeForItemAtIndexPath(view, {s, i}) ? *d->sizeForItemAtIndexPath(view, {s, i}) : itemSize;
            CGFloat w = vertical ? size.width : size.height;
            CGFloat h = vertical ? size.height : size.width;
            if (!lineEmpty && along + w > endAlong + 0.001) {
                cursor += lineDepth + lineGap;
                along = startAlong;
                lineDepth = 0;
            }
            cellIndex_[{s, i}] = all_.size();
            all_.push_back({{s, i}, rect(along, cursor, w, h), UICollectionViewLayoutAttributes::Kind::Cell});
            along += w + itemGap;
            lineDepth = std::max(lineDepth, h);
            lineEmpty = false;
        }
        cursor += lineDepth + (vertical ? inset.bottom : inset.right);
        CGFloat footerDepth = vertical ? footer.height : footer.width;
        if (footerDepth > 0)
            all_.push_back(
                {{s, 0}, rect(0, cursor, lineLength, footerDepth), UICollectionViewLayoutAttributes::Kind::Footer});
        cursor += footerDepth;
    }
    contentSize_ = vertical ? CGSize{bounds.width, cursor} : CGSize{cursor, bounds.height};
}

std::vector<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForElementsInRect(
    CGRect r) const {
    std::vector<UICollectionViewLayoutAttributes> out;
    for (const auto& a : all_)
        if (CGRectIntersectsRect(a.frame, r) && a.frame.size.width > 0 && a.frame.size.height > 0) out.push_back(a);
    return out;
}

std::optional<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    NSIndexPath p) const {
    auto it = cellIndex_.find(p);
    if (it == cellIndex_.end()) return std::nullopt;
    return all_[it->second];
}

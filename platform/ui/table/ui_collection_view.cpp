// Collection view: layout on demand, tiling of visible items and supplementary views, reuse,
// updates and selection.
#include "platform/ui/table/ui_collection_view.h"

#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/table/list_reload_hooks.h"

void UICollectionView::init() {
    UIScrollView::init();
    if (!layout_) layout_ = UICollectionViewFlowLayout::make();
    std::weak_ptr<UICollectionView> weakSelf = self<UICollectionView>();
    relay_ = std::make_shared<UIScrollRelay>(
        [weakSelf] {
            if (auto v = weakSelf.lock()) v->tile();
        },
        [weakSelf]() -> std::shared_ptr<UIScrollViewDelegate> {
            auto v = weakSelf.lock();
            return v ? v->delegate() : nullptr;
        });
    UIScrollView::setDelegate(relay_);
    setBackgroundColor(UIColor::whiteColor());
}

UICollectionView::~UICollectionView() = default;

void UICollectionView::setCollectionViewLayout(std::shared_ptr<UICollectionViewFlowLayout> layout) {
    if (!layout) return;
    layout_ = std::move(layout);
    layoutValid_ = false;
    setNeedsLayout();
}

void UICollectionView::setDataSource(const std::shared_ptr<UICollectionViewDataSource>& d) {
    dataSource_ = d;
    reloadData();
}

void UICollectionView::setDelegate(const std::shared_ptr<UICollectionViewDelegate>& d) {
    delegate_ = d;
    layoutValid_ = false;
    setNeedsLayout();
}

void UICollectionView::registerCell(const std::string& identifier, CellFactory factory) {
    factories_[identifier] = std::move(factory);
}

void UICollectionView::registerSupplementary(const std::string& kind, const std::string& identifier,
                                             SupplementaryFactory f) {
    supplementaryFactories_[kind + "/" + identifier] = std::move(f);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::dequeueReusableCellWithReuseIdentifier(
    const std::string& identifier, NSIndexPath) {
    auto& pool = pool_[identifier];
    if (!pool.empty()) {
        auto cell = pool.back();
        pool.pop_back();
        cell->setHidden(false);
        cell->prepareForReuse();
        return cell;
    }
    auto f = factories_.find(identifier);
    std::shared_ptr<UICollectionViewCell> cell = f != factories_.end() && f->second ? f->second(identifier) : nullptr;
    if (!cell) {
        Log::warning("ui", "collection: no cell registered for \"" + identifier + "\"; using a plain cell");
        cell = UICollectionViewCell::make(identifier);
    }
    return cell;
}

std::shared_ptr<UICollectionReusableView> UICollectionView::dequeueReusableSupplementaryView(
    const std::string& kind, const std::string& identifier, NSIndexPath) {
    auto f = supplementaryFactories_.find(kind + "/" + identifier);
    auto v = f != supplementaryFactories_.end() && f->second ? f->second(identifier) : nullptr;
    return v ? v : UICollectionReusableView::make(identifier);
}

void UICollectionView::reloadData() {
    ListReloadHooks::run(ListKind::Collection, ListOperation::ReloadData, *this);
    auto cells = std::move(visible_);
    visible_.clear();
    for (auto& [p, c] : cells) recycle(p, c);
    for (auto& v : supplementary_) v->removeFromSuperview();
    supplementary_.clear();
    selected_.clear();
    layoutValid_ = false;
    setNeedsLayout();
}

void UICollectionView::ensureLayout() {
    if (layoutValid_ && laidOutFor_ == bounds().size) return;
    layoutValid_ = true;
    laidOutFor_ = bounds().size;
    counts_.clear();
    if (auto ds = dataSource()) {
        std::size_t n = ds->numberOfSectionsInCollectionView(*this);
        for (std::size_t s = 0; s < n; ++s) counts_.push_back(ds->numberOfItemsInSection(*this, s));
    }
    auto d = delegate();
    layout_->prepare(*this, bounds().size, counts_, d.get());
    setContentSize(layout_->collectionViewContentSize());
}

std::size_t UICollectionView::numberOfSections() {
    ensureLayout();
    return counts_.size();
}

std::size_t UICollectionView::numberOfItemsInSection(std::size_t section) {
    ensureLayout();
    return section < counts_.size() ? counts_[section] : 0;
}

void UICollectionView::recycle(const NSIndexPath& path, const std::shared_ptr<UICollectionViewCell>& cell) {
    // A reusable cell waits hidden in place: taking it out of the tree and putting it back at every
    // row a scroll passes would make the window's constraints be solved again each time.
    if (cell->reuseIdentifier().empty() || cell->superview().get() != this)
        cell->removeFromSuperview();
    else
        cell->setHidden(true);
    if (auto d = delegate()) d->didEndDisplayingCell(*this, *cell, path);
    if (!cell->reuseIdentifier().empty()) pool_[cell->reuseIdentifier()].push_back(cell);
}

void UICollectionView::tile() {
    if (tiling_) return;
    tiling_ = true;
    ensureLayout();
    auto ds = dataSource();
    auto attributes = layout_->layoutAttributesForElementsInRect(bounds());
    std::map<NSIndexPath, CGRect> wanted;
    for (const auto& a : attributes)
        if (a.kind == UICollectionViewLayoutAttributes::Kind::Cell) wanted[a.indexPath] = a.frame;
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        auto p = it->first;
        auto c = it->second;
        it = visible_.erase(it);
        recycle(p, c);
    }
    for (const auto& [path, frame] : wanted) {
        auto it = visible_.find(path);
        if (it != visible_.end()) {
            it->second->setFrame(frame);
            continue;
        }
        auto cell = ds ? ds->cellForItemAtIndexPath(*this, path) : nullptr;
        if (!cell) cell = UICollectionViewCell::make();
        cell->setFrame(frame);
        cell->setSelected(selected_.count(path) != 0);
        visible_[path] = cell;
        if (cell->superview().get() != this) addSubview(cell);
        if (auto d = delegate()) d->willDisplayCell(*this, *cell, path);
    }
    for (auto& v : supplementary_) v->removeFromSuperview();
    supplementary_.clear();
    for (const auto& a : attributes) {
        if (a.kind == UICollectionViewLayoutAttributes::Kind::Cell || !ds) continue;
        const char* kind = a.kind == UICollectionViewLayoutAttributes::Kind::Header
                               ? UICollectionElementKindSectionHeader
                               : UICollectionElementKindSectionFooter;
        auto v = ds->viewForSupplementaryElement(*this, kind, a.indexPath);
        if (!v) continue;
        v->setFrame(a.frame);
        addSubview(v);
        supplementary_.push_back(v);
    }
    tiling_ = false;
}

void UICollectionView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    tile();
}

void UICollectionView::insertItemsAtIndexPaths(const std::vector<NSIndexPath>&) {
    performBatchUpdates(nullptr);
}
void UICollectionView::deleteItemsAtIndexPaths(const std::vector<NSIndexPath>&) {
    performBatchUpdates(nullptr);
}
void UICollectionView::reloadItemsAtIndexPaths(const std::vector<NSIndexPath>&) {
    performBatchUpdates(nullptr);
}

void UICollectionView::performBatchUpdates(const std::function<void()>& updates, std::function<void(bool)> completion) {
    if (updates) updates();
    // Items are re-asked; the selection keeps the paths that still exist.
    auto keep = selected_;
    reloadData();
    ensureLayout();
    for (const auto& p : keep)
        if (validPath(p)) selected_.insert(p);
    tile();
    if (completion) completion(true);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellForItemAtIndexPath(NSIndexPath path) {
    layoutIfNeeded();
    auto it = visible_.find(path);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<UICollectionViewCell>> UICollectionView::visibleCells() {
    layoutIfNeeded();
    std::vector<std::shared_ptr<UICollectionViewCell>> out;
    for (auto& [p, c] : visible_) out.push_back(c);
    return out;
}

std::vector<NSIndexPath> UICollectionView::indexPathsForVisibleItems() {
    layoutIfNeeded();
    std::vector<NSIndexPath> out;
    for (auto& [p, c] : visible_) out.push_back(p);
    return out;
}

std::optional<NSIndexPath> UICollectionView::indexPathForItemAtPoint(CGPoint p) {
    ensureLayout();
    for (const auto& a : layout_->layoutAttributesForElementsInRect(CGRectMake(p.x, p.y, 0.001, 0.001)))
        if (a.kind == UICollectionViewLayoutAttributes::Kind::Cell) return a.indexPath;
    return std::nullopt;
}

std::optional<NSIndexPath> UICollectionView::indexPathForCell(const UICollectionViewCell& cell) const {
    for (const auto& [p, c] : visible_)
        if (c.get() == &cell) return p;
    return std::nullopt;
}

std::optional<UICollectionViewLayoutAttributes> UICollectionView::layoutAttributesForItemAtIndexPath(NSIndexPath p) {
    ensureLayout();
    return layout_->layoutAttributesForItemAtIndexPath(p);
}

void UICollectionView::scrollToItemAtIndexPath(NSIndexPath path, bool animated) {
    auto a = layoutAttributesForItemAtIndexPath(path);
    if (!a) return;
    scrollRectToVisible(a->frame, animated);
    tile();
}

void UICollectionView::selectItemAtIndexPath(std::optional<NSIndexPath> path, bool animated) {
    ensureLayout();
    if (!allowsMultiple_ || !path)
        for (auto p : std::vector<NSIndexPath>(selected_.begin(), selected_.end()))
            deselectItemAtIndexPath(p, animated);
    if (!path || !validPath(*path)) return;
    selected_.insert(*path);
    if (auto it = visible_.find(*path); it != visible_.end()) it->second->setSelected(true);
}

void UICollectionView::deselectItemAtIndexPath(NSIndexPath path, bool) {
    selected_.erase(path);
    if (auto it = visible_.find(path); it != visible_.end()) it->second->setSelected(false);
}

bool UICollectionView::tapItemAtIndexPath(NSIndexPath path) {
    ensureLayout();
    if (!allowsSelection_ || !validPath(path)) return false;
    auto keep = self<UICollectionView>();
    auto d = delegate();
    if (allowsMultiple_ && selected_.count(path)) {
        deselectItemAtIndexPath(path, false);
        if (d) d->didDeselectItemAtIndexPath(*this, path);
        return true;
    }
    if (d && !d->shouldSelectItemAtIndexPath(*this, path)) return false;
    if (!allowsMultiple_) {
        for (auto p : std::vector<NSIndexPath>(selected_.begin(), selected_.end())) {
            if (p == path) continue;
            deselectItemAtIndexPath(p, false);
            if (d) d->didDeselectItemAtIndexPath(*this, p);
        }
    }
    selected_.insert(path);
    if (auto it = visible_.find(path); it != visible_.end()) it->second->setSelected(true);
    if (d) d->didSelectItemAtIndexPath(*this, path);
    return true;
}

void UICollectionView::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIScrollView::touchesEnded(touches, event);
    if (touches.empty()) return;
    if (auto p = indexPathForItemAtPoint(touches.front()->locationInView(self<UIView>()))) tapItemAtIndexPath(*p);
}

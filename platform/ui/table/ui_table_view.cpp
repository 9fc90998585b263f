// Table view: data loading, geometry, tiling of visible rows and section views, reuse.
#include "platform/ui/table/ui_table_view.h"

#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/table/list_reload_hooks.h"

UITableView::UITableView(CGRect frame, UITableViewStyle style) : UIScrollView(frame), style_(style) {}

UITableViewCellEditingStyle UITableViewDelegate::editingStyleForRowAtIndexPath(UITableView&, NSIndexPath) {
    return UITableViewCellEditingStyle::Delete;
}

CGFloat UITableView::SectionGeometry::height() const {
    CGFloat rows = rowTops.empty() ? 0 : rowTops.back() + rowHeights.back();
    return headerHeight + rows + footerHeight;
}

void UITableView::init() {
    UIScrollView::init();
    std::weak_ptr<UITableView> weakSelf = self<UITableView>();
    relay_ = std::make_shared<UIScrollRelay>(
        [weakSelf] {
            if (auto t = weakSelf.lock()) t->tile();
        },
        [weakSelf]() -> std::shared_ptr<UIScrollViewDelegate> {
            auto t = weakSelf.lock();
            return t ? t->delegate() : nullptr;
        });
    UIScrollView::setDelegate(relay_);
    setAlwaysBounceVertical(true);
    setBackgroundColor(style_ == UITableViewStyle::Plain
                           ? UIColor::colorWithLight(UIColor::whiteColor(), UIColor::blackColor())
                           : UIColor::colorWithLight(UIColor::colorWithWhite(0.95, 1), UIColor::blackColor()));
    if (style_ != UITableViewStyle::Plain) separatorStyle_ = UITableViewCellSeparatorStyle::SingleLine;
}

UITableView::~UITableView() = default;

void UITableView::setDataSource(const std::shared_ptr<UITableViewDataSource>& d) {
    dataSource_ = d;
    reloadData();
}

void UITableView::setDelegate(const std::shared_ptr<UITableViewDelegate>& d) {
    delegate_ = d;
    invalidateGeometry();
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> v) {
    if (tableHeader_) tableHeader_->removeFromSuperview();
    tableHeader_ = std::move(v);
    if (tableHeader_) addSubview(tableHeader_);
    invalidateGeometry();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> v) {
    if (tableFooter_) tableFooter_->removeFromSuperview();
    tableFooter_ = std::move(v);
    if (tableFooter_) addSubview(tableFooter_);
    invalidateGeometry();
}

void UITableView::setBackgroundView(std::shared_ptr<UIView> v) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(v);
    if (backgroundView_) insertSubviewAtIndex(backgroundView_, 0);
    setNeedsLayout();
}

void UITableView::registerCell(const std::string& identifier, CellFactory factory) {
    if (factory)
        factories_[identifier] = std::move(factory);
    else
        factories_.erase(identifier);
}

void UITableView::registerHeaderFooter(const std::string& identifier, HeaderFooterFactory factory) {
    if (factory)
        headerFactories_[identifier] = std::move(factory);
    else
        headerFactories_.erase(identifier);
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = pool_.find(identifier);
    if (it == pool_.end() || it->second.empty()) return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier,
                                                                                NSIndexPath path) {
    auto cell = dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        auto f = factories_.find(identifier);
        if (f != factories_.end()) cell = f->second(identifier);
        if (!cell) {
            Log::warning("ui", "table: no cell registered for \"" + identifier + "\"; using a default cell");
            cell = UITableViewCell::make(UITableViewCellStyle::Default, identifier);
        }
    }
    CGRect r = rectForRowAtIndexPath(path);
    CGFloat fallback = rowHeight_ > 0 ? rowHeight_ : kDefaultRowHeight;
    cell->setFrame(CGRectMake(0, 0, bounds().size.width, r.size.height > 0 ? r.size.height : fallback));
    return cell;
}

CGFloat UITableView::fittingRowHeight(UITableViewDataSource& ds, NSIndexPath path) {
    // The cell is made as for display, measured and put back for reuse; the data source may
    // dequeue while the geometry is still being computed, which sees no rectangle for the row.
    auto cell = ds.cellForRowAtIndexPath(*this, path);
    if (!cell) return kDefaultRowHeight;
    CGFloat h = cell->heightFittingWidth(bounds().size.width, kDefaultRowHeight);
    if (!cell->reuseIdentifier().empty() && !cell->superview()) pool_[cell->reuseIdentifier()].push_back(cell);
    return h;
}

std::size_t UITableView::reusableCellCount(const std::string& identifier) const {
    auto it = pool_.find(identifier);
    return it == pool_.end() ? 0 : it->second.size();
}

std::shared_ptr<UITableViewHeaderFooterView> UITableView::dequeueReusableHeaderFooterViewWithIdentifier(
    const std::string& id) {
    auto& pool = headerPool_[id];
    if (!pool.empty()) {
        auto v = pool.back();
        pool.pop_back();
        return v;
    }
    auto f = headerFactories_.find(id);
    return f != headerFactories_.end() ? f->second(id) : UITableViewHeaderFooterView::make(id);
}

void UITableView::dropAllCells() {
    auto cells = visible_;
    visible_.clear();
    for (auto& [path, cell] : cells) recycle(path, cell);
    for (auto& [s, v] : headers_) v->removeFromSuperview();
    for (auto& [s, v] : footers_) v->removeFromSuperview();
    headers_.clear();
    footers_.clear();
}

void UITableView::reloadData() {
    ListReloadHooks::run(ListKind::Table, ListOperation::ReloadData, *this);
    dropAllCells();
    selected_.clear();
    highlighted_.reset();
    sections_.clear();
    dataLoaded_ = false;
    sectionIndexLoaded_ = false;
    invalidateGeometry();
}

void UITableView::invalidateGeometry() {
    geometryValid_ = false;
    setNeedsLayout();
}

void UITableView::ensureGeometry() {
    if (!geometryValid_) computeGeometry();
}

CGFloat UITableView::headerHeightFor(std::size_t section, const std::optional<std::string>& title) {
    if (auto d = delegate()) {
        CGFloat h = d->heightForHeaderInSection(*this, section);
        if (h >= 0) return h;
        if (auto v = d->viewForHeaderInSection(*this, section)) return v->frame().size.height;
    }
    if (headerHeight_ >= 0) return headerHeight_;
    bool titled = title && !title->empty();
    if (style_ == UITableViewStyle::Plain) return titled ? 28 : 0;
    return titled ? 38 : (section == 0 ? 35 : 18);
}

CGFloat UITableView::footerHeightFor(std::size_t section, const std::optional<std::string>& title) {
    if (auto d = delegate()) {
        CGFloat h = d->heightForFooterInSection(*this, section);
        if (h >= 0) return h;
        if (auto v = d->viewForFooterInSection(*this, section)) return v->frame().size.height;
    }
    if (footerHeight_ >= 0) return footerHeight_;
    bool titled = title && !title->empty();
    if (style_ == UITableViewStyle::Plain) return titled ? 28 : 0;
    return titled ? 38 : 18;
}

void UITableView::computeGeometry() {
    geometryValid_ = true;
    dataLoaded_ = true;
    sections_.clear();
    auto ds = dataSource();
    auto d = delegate();
    CGFloat y = tableHeader_ ? tableHeader_->frame().size.height : 0;
    std::size_t n = ds ? ds->numberOfSectionsInTableView(*this) : 0;
    for (std::size_t s = 0; s < n; ++s) {
        SectionGeometry g;
        g.top = y;
        g.headerTitle = ds->titleForHeaderInSection(*this, s);
        g.footerTitle = ds->titleForFooterInSection(*this, s);
        g.headerHeight = headerHeightFor(s, g.headerTitle);
        std::size_t rows = ds->numberOfRowsInSection(*this, s);
        CGFloat ry = 0;
        for (std::size_t r = 0; r < rows; ++r) {
            CGFloat h = d ? d->heightForRowAtIndexPath(*this, {s, r}) : UITableViewAutomaticDimension;
            if (h < 0) h = rowHeight_ >= 0 ? rowHeight_ : fittingRowHeight(*ds, {s, r});
            g.rowTops.push_back(ry);
            g.rowHeights.push_back(h);
            ry += h;
        }
        g.footerHeight = footerHeightFor(s, g.footerTitle);
        y += g.height();
        sections_.push_back(std::move(g));
    }
    if (tableFooter_) {
        tableFooter_->setFrame(CGRectMake(0, y, bounds().size.width, tableFooter_->frame().size.height));
        y += tableFooter_->frame().size.height;
    }
    if (tableHeader_) tableHeader_->setFrame(CGRectMake(0, 0, bounds().size.width, tableHeader_->frame().size.height));
    setContentSize(CGSize{bounds().size.width, y});
}

std::size_t UITableView::numberOfSections() {
    ensureGeometry();
    return sections_.size();
}

std::size_t UITableView::numberOfRowsInSection(std::size_t section) {
    ensureGeometry();
    return section < sections_.size() ? sections_[section].rowHeights.size() : 0;
}

bool UITableView::validPath(NSIndexPath p) const {
    return p.section < sections_.size() && p.row < sections_[p.section].rowHeights.size();
}

CGRect UITableView::rectForSection(std::size_t section) {
    ensureGeometry();
    if (section >= sections_.size()) return CGRectZero;
    return CGRectMake(0, sections_[section].top, bounds().size.width, sections_[section].height());
}

CGRect UITableView::rectForHeaderInSection(std::size_t section) {
    ensureGeometry();
    if (section >= sections_.size()) return CGRectZero;
    return CGRectMake(0, sections_[section].top, bounds().size.width, sections_[section].headerHeight);
}

CGRect UITableView::rectForFooterInSection(std::size_t section) {
    ensureGeometry();
    if (section >= sections_.size()) return CGRectZero;
    const auto& g = sections_[section];
    return CGRectMake(0, g.top + g.height() - g.footerHeight, bounds().size.width, g.footerHeight);
}

CGRect UITableView::rectForRowAtIndexPath(NSIndexPath path) {
    ensureGeometry();
    if (!validPath(path)) return CGRectZero;
    const auto& g = sections_[path.section];
    return CGRectMake(0, g.top + g.headerHeight + g.rowTops[path.row], bounds().size.width, g.rowHeights[path.row]);
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint p) {
    auto paths = indexPathsForRowsInRect(CGRectMake(p.x, p.y, 0.001, 0.001));
    if (paths.empty() || p.x < 0 || p.x > bounds().size.width) return std::nullopt;
    return paths.front();
}

std::vector<NSIndexPath> UITableView::indexPathsForRowsInRect(CGRect rect) {
    ensureGeometry();
    std::vector<NSIndexPath> out;
    CGFloat top = CGRectGetMinY(rect), bottom = CGRectGetMaxY(rect);
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const auto& g = sections_[s];
        if (g.top >= bottom || g.top + g.height() <= top) continue;
        CGFloat base = g.top + g.headerHeight;
        // Rows are sorted: start at the first row whose bottom passes the top.
        auto first = std::upper_bound(g.rowTops.begin(), g.rowTops.end(), top - base);
        std::size_t r = first == g.rowTops.begin() ? 0 : static_cast<std::size_t>(first - g.rowTops.begin()) - 1;
        for (; r < g.rowTops.size(); ++r) {
            CGFloat y0 = base + g.rowTops[r], y1 = y0 + g.rowHeights[r];
            if (y0 >= bottom) break;
            if (y1 > top && g.rowHeights[r] > 0) out.push_back({s, r});
        }
    }
    return out;
}

std::shared_ptr<UITableViewCell> UITableView::makeCell(NSIndexPath path) {
    std::shared_ptr<UITableViewCell> cell;
    if (auto ds = dataSource()) cell = ds->cellForRowAtIndexPath(*this, path);
    if (!cell) {
        Log::warning("ui", "table: the data source gave no cell; showing an empty row");
        cell = UITableViewCell::make();
    }
    return cell;
}

void UITableView::recycle(const NSIndexPath& path, const std::shared_ptr<UITableViewCell>& cell) {
    cell->removeFromSuperview();
    if (auto d = delegate()) d->didEndDisplayingCell(*this, *cell, path);
    if (!cell->reuseIdentifier().empty()) pool_[cell->reuseIdentifier()].push_back(cell);
}

void UITableView::tile() {
    if (tiling_) return;
    tiling_ = true;
    ensureGeometry();
    CGRect visible = bounds();
    auto wanted = indexPathsForRowsInRect(visible);
    std::set<NSIndexPath> keep(wanted.begin(), wanted.end());
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (keep.count(it->first)) {
            ++it;
            continue;
        }
        auto path = it->first;
        auto cell = it->second;
        it = visible_.erase(it);
        recycle(path, cell);
    }
    bool separators = separatorStyle_ != UITableViewCellSeparatorStyle::None;
    for (const auto& path : wanted) {
        CGRect r = rectForRowAtIndexPath(path);
        auto it = visible_.find(path);
        if (it != visible_.end()) {
            it->second->setFrame(r);
            continue;
        }
        auto cell = makeCell(path);
        // The data source may have reloaded the table meanwhile.
        if (!validPath(path)) break;
        cell->setFrame(r);
        cell->setSelected(selected_.count(path) != 0, false);
        cell->setEditing(editing_, false);
        applyEditingControls(path, *cell);
        cell->setSeparator(separators, separatorColor_);
        if (auto d = delegate())
            cell->setIndentationLevel(static_cast<CGFloat>(d->indentationLevelForRowAtIndexPath(*this, path)));
        visible_[path] = cell;
        if (cell->superview().get() != this) insertSubviewAtIndex(cell, backgroundView_ ? 1 : 0);
        if (auto d = delegate()) d->willDisplayCell(*this, *cell, path);
    }
    updateSectionViews(visible);
    if (backgroundView_) backgroundView_->setFrame(bounds());
    tiling_ = false;
}

void UITableView::updateSectionViews(CGRect visible) {
    auto ds = dataSource();
    auto d = delegate();
    auto place = [&](std::map<std::size_t, std::shared_ptr<UIView>>& views, bool header) {
        std::map<std::size_t, std::shared_ptr<UIView>> next;
        for (std::size_t s = 0; s < sections_.size(); ++s) {
            CGRect r = header ? rectForHeaderInSection(s) : rectForFooterInSection(s);
            if (r.size.height <= 0 || !CGRectIntersectsRect(r, visible)) continue;
            auto it = views.find(s);
            std::shared_ptr<UIView> v = it != views.end() ? it->second : nullptr;
            if (!v && d) v = header ? d->viewForHeaderInSection(*this, s) : d->viewForFooterInSection(*this, s);
            const auto& title = header ? sections_[s].headerTitle : sections_[s].footerTitle;
            if (!v && title && !title->empty()) {
                auto hv = dequeueReusableHeaderFooterViewWithIdentifier("");
                hv->textLabel()->setText(style_ == UITableViewStyle::Plain || !header ? *title : *title);
                v = hv;
            }
            if (!v) continue;
            v->setFrame(r);
            if (v->superview().get() != this)
                addSubview(v);
            else
                bringSubviewToFront(v);
            next[s] = v;
        }
        for (auto& [s, v] : views)
            if (!next.count(s) || next[s] != v) {
                v->removeFromSuperview();
                if (auto hv = std::dynamic_pointer_cast<UITableViewHeaderFooterView>(v))
                    headerPool_[hv->reuseIdentifier()].push_back(hv);
            }
        views = std::move(next);
    };
    (void)ds;
    place(headers_, true);
    place(footers_, false);
}

void UITableView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    tile();
    placeSectionIndex();
}

void UITableView::drawRect(CGRect) {}

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(NSIndexPath path) {
    layoutIfNeeded();
    auto it = visible_.find(path);
    return it == visible_.end() ? nullptr : it->second;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const {
    for (const auto& [path, c] : visible_)
        if (c.get() == &cell) return path;
    return std::nullopt;
}

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() {
    layoutIfNeeded();
    std::vector<std::shared_ptr<UITableViewCell>> out;
    for (auto& [p, c] : visible_) out.push_back(c);
    return out;
}

std::vector<NSIndexPath> UITableView::indexPathsForVisibleRows() {
    layoutIfNeeded();
    std::vector<NSIndexPath> out;
    for (auto& [p, c] : visible_) out.push_back(p);
    return out;
}

std::shared_ptr<UIView> UITableView::headerViewForSection(std::size_t section) {
    layoutIfNeeded();
    auto it = headers_.find(section);
    return it == headers_.end() ? nullptr : it->second;
}

std::shared_ptr<UIView> UITableView::footerViewForSection(std::size_t section) {
    layoutIfNeeded();
    auto it = footers_.find(section);
    return it == footers_.end() ? nullptr : it->second;
}

void UITableView::scrollToRowAtIndexPath(NSIndexPath path, UITableViewScrollPosition position, bool animated) {
    ensureGeometry();
    if (!validPath(path)) return;
    CGRect r = rectForRowAtIndexPath(path);
    CGFloat h = bounds().size.height;
    CGPoint offset = contentOffset();
    switch (position) {
        case UITableViewScrollPosition::Top: offset.y = r.origin.y; break;
        case UITableViewScrollPosition::Middle: offset.y = CGRectGetMidY(r) - h / 2; break;
        case UITableViewScrollPosition::Bottom: offset.y = CGRectGetMaxY(r) - h; break;
        case UITableViewScrollPosition::None: scrollRectToVisible(r, animated); return;
    }
    offset.y =
        std::clamp(offset.y, minimumContentOffset().y, std::max(minimumContentOffset().y, maximumContentOffset().y));
    setContentOffset(offset, animated);
    tile();
}

// Table view row and section updates: old rows are followed to their new places so that visible
// cells and the selection move with them; counts that do not add up fall back to a reload.
#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/table/ui_table_view.h"

void UITableView::beginUpdates() { ++updateDepth_; }

void UITableView::endUpdates() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ > 0) return;
    auto updates = std::move(pending_);
    pending_.clear();
    applyUpdates(std::move(updates));
}

void UITableView::performBatchUpdates(const std::function<void()>& updates, std::function<void(bool)> completion) {
    beginUpdates();
    if (updates) updates();
    endUpdates();
    if (completion) completion(true);
}

namespace {
template <class F>
void each(const std::vector<NSIndexPath>& paths, F f) {
    for (const auto& p : paths) f(p);
}
}  // namespace

void UITableView::insertRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    each(paths, [&](NSIndexPath p) { u.push_back({Update::InsertRow, p, p}); });
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::deleteRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    each(paths, [&](NSIndexPath p) { u.push_back({Update::DeleteRow, p, p}); });
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    each(paths, [&](NSIndexPath p) { u.push_back({Update::ReloadRow, p, p}); });
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::moveRowAtIndexPath(NSIndexPath from, NSIndexPath to) {
    Update u{Update::MoveRow, from, to};
    if (updateDepth_) pending_.push_back(u);
    else applyUpdates({u});
}

void UITableView::insertSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::InsertSection, {s, 0}, {s, 0}});
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::deleteSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::DeleteSection, {s, 0}, {s, 0}});
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::reloadSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::ReloadSection, {s, 0}, {s, 0}});
    if (updateDepth_) pending_.insert(pending_.end(), u.begin(), u.end());
    else applyUpdates(u);
}

void UITableView::applyUpdates(std::vector<Update> updates) {
    if (!dataLoaded_) {
        // Nothing shown yet: the next layout loads the new data.
        invalidateGeometry();
        return;
    }
    // Each slot is the old row now there, or none for a new (or reloaded) row.
    struct Slot {
        std::optional<NSIndexPath> old;
    };
    struct Section {
        std::vector<Slot> rows;
        bool deleted = false;
        std::vector<bool> rowDeleted;
    };
    std::vector<Section> model;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        Section sec;
        for (std::size_t r = 0; r < sections_[s].rowHeights.size(); ++r) sec.rows.push_back({NSIndexPath{s, r}});
        sec.rowDeleted.assign(sec.rows.size(), false);
        model.push_back(std::move(sec));
    }
    bool bad = false;
    auto oldValid = [&](NSIndexPath p) { return p.section < model.size() && p.row < model[p.section].rows.size(); };
    std::vector<std::pair<NSIndexPath, NSIndexPath>> moves;
    // Deletions, reloads and move sources name old positions.
    for (const auto& u : updates) {
        switch (u.kind) {
        case Update::DeleteRow:
        case Update::ReloadRow:
        case Update::MoveRow:
            if (!oldValid(u.path)) { bad = true; break; }
            if (u.kind == Update::ReloadRow) model[u.path.section].rows[u.path.row].old.reset();
            else model[u.path.section].rowDeleted[u.path.row] = true;
            if (u.kind == Update::MoveRow) moves.push_back({u.path, u.to});
            break;
        case Update::DeleteSection:
            if (u.path.section >= model.size()) bad = true;
            else model[u.path.section].deleted = true;
            break;
        case Update::ReloadSection:
            if (u.path.section >= model.size()) bad = true;
            else for (auto& slot : model[u.path.section].rows) slot.old.reset();
            break;
        default:
            break;
        }
    }
    std::vector<std::vector<Slot>> next;
    for (auto& sec : model) {
        if (sec.deleted) continue;
        std::vector<Slot> rows;
        for (std::size_t r = 0; r < sec.rows.size(); ++r)
            if (!sec.rowDeleted[r]) rows.push_back(sec.rows[r]);
        next.push_back(std::move(rows));
    }
    // Insertions and move destinations name new positions, applied in ascending order.
    std::vector<Update> inserts;
    for (const auto& u : updates)
        if (u.kind == Update::InsertSection) inserts.push_back(u);
    std::sort(inserts.begin(), inserts.end(), [](const Update& a, const Update& b) { return a.path < b.path; });
    auto ds = dataSource();
    for (const auto& u : inserts) {
        if (u.path.section > next.size() || !ds) { bad = true; continue; }
        next.insert(next.begin() + static_cast<long>(u.path.section),
                    std::vector<Slot>(ds->numberOfRowsInSection(*this, u.path.section)));
    }
    std::vector<std::pair<NSIndexPath, std::optional<NSIndexPath>>> rowInserts;
    for (const auto& u : updates)
        if (u.kind == Update::InsertRow) rowInserts.push_back({u.path, std::nullopt});
    for (const auto& [from, to] : moves) rowInserts.push_back({to, from});
    std::sort(rowInserts.begin(), rowInserts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [at, old] : rowInserts) {
        if (at.section >= next.size() || at.row > next[at.section].size()) { bad = true; continue; }
        next[at.section].insert(next[at.section].begin() + static_cast<long>(at.row), Slot{old});
    }
    if (ds && !bad) {
        std::size_t n = ds->numberOfSectionsInTableView(*this);
        if (n != next.size()) bad = true;
        for (std::size_t s = 0; !bad && s < n; ++s)
            if (ds->numberOfRowsInSection(*this, s) != next[s].size()) bad = true;
    }
    if (bad || !ds) {
        Log::warning("ui", "table: the update does not match the data source's counts; reloading");
        reloadData();
        layoutIfNeeded();
        return;
    }
    std::map<NSIndexPath, NSIndexPath> moved;
    for (std::size_t s = 0; s < next.size(); ++s)
        for (std::size_t r = 0; r < next[s].size(); ++r)
            if (next[s][r].old) moved[*next[s][r].old] = NSIndexPath{s, r};
    auto oldVisible = std::move(visible_);
    visible_.clear();
    for (auto& [path, cell] : oldVisible) {
        auto it = moved.find(path);
        if (it != moved.end()) visible_[it->second] = cell;
        else recycle(path, cell);
    }
    std::set<NSIndexPath> selected;
    for (const auto& p : selected_)
        if (auto it = moved.find(p); it != moved.end()) selected.insert(it->second);
    selected_ = std::move(selected);
    highlighted_.reset();
    // Section views are rebuilt for the new sections.
    for (auto& [s, v] : headers_) v->removeFromSuperview();
    for (auto& [s, v] : footers_) v->removeFromSuperview();
    headers_.clear();
    footers_.clear();
    invalidateGeometry();
    tile();
}

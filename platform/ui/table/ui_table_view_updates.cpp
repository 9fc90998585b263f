// Table view row and section updates: old rows are followed to their new places so that visible
// cells and the selection move with them; counts that do not add up fall back to a reload.
#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/table/list_reload_hooks.h"
#include "platform/ui/table/ui_table_view.h"

void UITableView::beginUpdates() {
    ++updateDepth_;
}

void UITableView::endUpdates() {
    ListReloadHooks::run(ListKind::Table, ListOperation::EndUpdates, *this);
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

void UITableView::insertRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (const auto& p : paths) u.push_back({Update::InsertRow, p, p});
    enqueue(std::move(u));
}

void UITableView::deleteRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (const auto& p : paths) u.push_back({Update::DeleteRow, p, p});
    enqueue(std::move(u));
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& paths, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (const auto& p : paths) u.push_back({Update::ReloadRow, p, p});
    enqueue(std::move(u));
}

void UITableView::moveRowAtIndexPath(NSIndexPath from, NSIndexPath to) {
    enqueue({{Update::MoveRow, from, to}});
}

void UITableView::insertSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::InsertSection, {s, 0}, {s, 0}});
    enqueue(std::move(u));
}

void UITableView::deleteSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::DeleteSection, {s, 0}, {s, 0}});
    enqueue(std::move(u));
}

void UITableView::reloadSections(const std::vector<std::size_t>& sections, UITableViewRowAnimation) {
    std::vector<Update> u;
    for (auto s : sections) u.push_back({Update::ReloadSection, {s, 0}, {s, 0}});
    enqueue(std::move(u));
}

// Inside beginUpdates/endUpdates the updates wait for the last endUpdates; otherwise they apply now.
void UITableView::enqueue(std::vector<Update> updates) {
    if (updateDepth_)
        pending_.insert(pending_.end(), updates.begin(), updates.end());
    else
        applyUpdates(std::move(updates));
}

// Follows every old row to its new place through one batch of updates. Deletions, reloads and
// move sources name old positions; insertions and move destinations name new positions and are
// applied in ascending order, sections before rows.
struct UITableView::UpdatePlan {
    // Each slot is the old row now there, or none for a new (or reloaded) row.
    struct Slot {
        std::optional<NSIndexPath> old;
    };
    struct OldSection {
        std::vector<Slot> rows;
        std::vector<bool> removed;
        bool deleted = false;
    };

    UITableView& table;
    const std::vector<Update>& updates;
    std::vector<OldSection> old;
    std::vector<std::vector<Slot>> next;
    std::vector<std::pair<NSIndexPath, NSIndexPath>> moves;
    bool bad = false;

    // Old path to new path for every row that stays; none when the updates do not add up to the
    // data source's new counts.
    std::optional<std::map<NSIndexPath, NSIndexPath>> newPlaces(UITableViewDataSource& ds) {
        listOldRows();
        markRemovedAndReloaded();
        dropRemoved();
        insertSections(ds);
        insertRowsAndMoveTargets();
        if (bad || !matchesDataSource(ds)) return std::nullopt;
        return placesOfOldRows();
    }

    void listOldRows() {
        for (std::size_t s = 0; s < table.sections_.size(); ++s) {
            OldSection section;
            for (std::size_t r = 0; r < table.sections_[s].rowHeights.size(); ++r)
                section.rows.push_back({NSIndexPath{s, r}});
            section.removed.assign(section.rows.size(), false);
            old.push_back(std::move(section));
        }
    }

    bool isOldRow(NSIndexPath p) const { return p.section < old.size() && p.row < old[p.section].rows.size(); }

    void markRemovedAndReloaded() {
        for (const auto& u : updates) {
            switch (u.kind) {
                case Update::DeleteRow:
                case Update::ReloadRow:
                case Update::MoveRow:
                    if (!isOldRow(u.path)) {
                        bad = true;
                        break;
                    }
                    if (u.kind == Update::ReloadRow)
                        old[u.path.section].rows[u.path.row].old.reset();
                    else
                        old[u.path.section].removed[u.path.row] = true;
                    if (u.kind == Update::MoveRow) moves.push_back({u.path, u.to});
                    break;
                case Update::DeleteSection:
                    if (u.path.section >= old.size())
                        bad = true;
                    else
                        old[u.path.section].deleted = true;
                    break;
                case Update::ReloadSection:
                    if (u.path.section >= old.size())
                        bad = true;
                    else
                        for (auto& slot : old[u.path.section].rows) slot.old.reset();
                    break;
                default: break;
            }
        }
    }

    void dropRemoved() {
        for (auto& section : old) {
            if (section.deleted) continue;
            std::vector<Slot> rows;
            for (std::size_t r = 0; r < section.rows.size(); ++r)
                if (!section.removed[r]) rows.push_back(section.rows[r]);
            next.push_back(std::move(rows));
        }
    }

    void insertSections(UITableViewDataSource& ds) {
        std::vector<Update> inserts;
        for (const auto& u : updates)
            if (u.kind == Update::InsertSection) inserts.push_back(u);
        std::sort(inserts.begin(), inserts.end(), [](const Update& a, const Update& b) { return a.path < b.path; });
        for (const auto& u : inserts) {
            if (u.path.section > next.size()) {
                bad = true;
                continue;
            }
            next.insert(next.begin() + static_cast<long>(u.path.section),
                        std::vector<Slot>(ds.numberOfRowsInSection(table, u.path.section)));
        }
    }

    void insertRowsAndMoveTargets() {
        std::vector<std::pair<NSIndexPath, std::optional<NSIndexPath>>> inserts;
        for (const auto& u : updates)
            if (u.kind == Update::InsertRow) inserts.push_back({u.path, std::nullopt});
        for (const auto& [from, to] : moves) inserts.push_back({to, from});
        std::sort(inserts.begin(), inserts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [at, from] : inserts) {
            if (at.section >= next.size() || at.row > next[at.section].size()) {
                bad = true;
                continue;
            }
            next[at.section].insert(next[at.section].begin() + static_cast<long>(at.row), Slot{from});
        }
    }

    bool matchesDataSource(UITableViewDataSource& ds) const {
        if (ds.numberOfSectionsInTableView(table) != next.size()) return false;
        for (std::size_t s = 0; s < next.size(); ++s)
            if (ds.numberOfRowsInSection(table, s) != next[s].size()) return false;
        return true;
    }

    std::map<NSIndexPath, NSIndexPath> placesOfOldRows() const {
        std::map<NSIndexPath, NSIndexPath> places;
        for (std::size_t s = 0; s < next.size(); ++s)
            for (std::size_t r = 0; r < next[s].size(); ++r)
                if (next[s][r].old) places[*next[s][r].old] = NSIndexPath{s, r};
        return places;
    }
};

void UITableView::applyUpdates(std::vector<Update> updates) {
    if (!dataLoaded_) {
        // Nothing shown yet: the next layout loads the new data.
        invalidateGeometry();
        return;
    }
    auto ds = dataSource();
    auto places = ds ? UpdatePlan{*this, updates, {}, {}, {}, false}.newPlaces(*ds) : std::nullopt;
    if (!places) {
        Log::warning("ui", "table: the update does not match the data source's counts; reloading");
        reloadData();
        layoutIfNeeded();
        return;
    }
    followRowsToNewPlaces(*places);
}

// Visible cells and the selection move with their rows; rows that went are recycled or
// deselected; section views are rebuilt for the new sections.
void UITableView::followRowsToNewPlaces(const std::map<NSIndexPath, NSIndexPath>& places) {
    auto oldVisible = std::move(visible_);
    visible_.clear();
    for (auto& [path, cell] : oldVisible) {
        auto it = places.find(path);
        if (it != places.end())
            visible_[it->second] = cell;
        else
            recycle(path, cell);
    }
    std::set<NSIndexPath> selected;
    for (const auto& p : selected_)
        if (auto it = places.find(p); it != places.end()) selected.insert(it->second);
    selected_ = std::move(selected);
    highlighted_.reset();
    for (auto& [s, v] : headers_) v->removeFromSuperview();
    for (auto& [s, v] : footers_) v->removeFromSuperview();
    headers_.clear();
    footers_.clear();
    invalidateGeometry();
    tile();
}

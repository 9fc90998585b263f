// Simplex tableau with slack, error and dummy symbols; each added constraint is solved at once
// and the objective (weighted errors of the optional constraints) is kept minimal.
//
// A column index tells which rows may hold a symbol, and the objective's entering candidates
// (its negative cells) are kept apart, so that making a symbol basic and each pivot touch only
// the rows and cells involved, not the whole tableau (a window's layout has thousands of rows and
// as many error cells in the objective). The pivots are the ones a scan of every row and cell in
// symbol order would pick.
#include "platform/ui/layout/linear_solver.h"

#include <cmath>
#include <limits>
#include <set>
#include <unordered_map>

namespace {

constexpr double kEpsilon = 1e-8;
bool nearZero(double v) {
    return std::abs(v) < kEpsilon;
}

enum class SymbolType { Invalid, External, Slack, Error, Dummy };

struct Symbol {
    std::uint64_t id = 0;
    SymbolType type = SymbolType::Invalid;
    bool valid() const { return type != SymbolType::Invalid; }
    bool operator<(const Symbol& o) const { return id < o.id; }
    bool operator==(const Symbol& o) const { return id == o.id; }
};

struct Row {
    std::map<Symbol, double> cells;
    double constant = 0;

    void add(double value) { constant += value; }
    void insert(const Symbol& s, double coefficient) {
        double& c = cells[s];
        c += coefficient;
        if (nearZero(c)) cells.erase(s);
    }
    void insert(const Row& other, double coefficient) {
        constant += other.constant * coefficient;
        for (const auto& [s, c] : other.cells) insert(s, c * coefficient);
    }
    void remove(const Symbol& s) { cells.erase(s); }
    void reverseSign() {
        constant = -constant;
        for (auto& [s, c] : cells) c = -c;
    }
    void solveFor(const Symbol& s) {
        double coefficient = -1.0 / cells[s];
        cells.erase(s);
        constant *= coefficient;
        for (auto& [sym, c] : cells) c *= coefficient;
    }
    void solveFor(const Symbol& lhs, const Symbol& rhs) {
        insert(lhs, -1.0);
        solveFor(rhs);
    }
    double coefficientFor(const Symbol& s) const {
        auto it = cells.find(s);
        return it == cells.end() ? 0.0 : it->second;
    }
    void substitute(const Symbol& s, const Row& row) {
        auto it = cells.find(s);
        if (it == cells.end()) return;
        double c = it->second;
        cells.erase(it);
        insert(row, c);
    }
};

struct Tag {
    Symbol marker;
    Symbol other;
};

}  // namespace

struct LinearSolver::Impl {
    std::map<Symbol, Row> rows;
    // Symbol id -> the basic symbols whose rows may hold it. A superset: every row holding the
    // symbol is listed; a listed row may have lost it since, or have left the tableau.
    std::unordered_map<std::uint64_t, std::set<Symbol>> columns;
    std::vector<Symbol> variables;
    Row objective;
    // The objective's non-dummy symbols with a negative coefficient, in symbol order.
    std::set<Symbol> entering;
    std::unique_ptr<Row> artificial;
    std::uint64_t nextId = 1;

    Symbol make(SymbolType type) { return {nextId++, type}; }

    // The row under `basic` holds (some of) the cells of `cells`.
    void note(const Symbol& basic, const Row& cells) {
        for (const auto& [s, c] : cells.cells) columns[s.id].insert(basic);
    }
    void place(const Symbol& basic, Row row) {
        Row& placed = rows[basic] = std::move(row);
        note(basic, placed);
    }
    void reindex() {
        columns.clear();
        for (const auto& [s, r] : rows) note(s, r);
        entering.clear();
        for (const auto& [s, c] : objective.cells) follow(s);
    }
    // The objective's cell of `s` may have changed.
    void follow(const Symbol& s) {
        if (s.type != SymbolType::Dummy && objective.coefficientFor(s) < 0)
            entering.insert(s);
        else
            entering.erase(s);
    }
    void addToObjective(const Symbol& s, double coefficient) {
        objective.insert(s, coefficient);
        follow(s);
    }

    Row createRow(const Constraint& c, Tag& tag) {
        Row row;
        row.constant = c.constant;
        for (const auto& term : c.terms) {
            if (nearZero(term.coefficient) || term.variable >= variables.size()) continue;
            Symbol s = variables[term.variable];
            auto it = rows.find(s);
            if (it != rows.end())
                row.insert(it->second, term.coefficient);
            else
                row.insert(s, term.coefficient);
        }
        bool required = c.strength == kRequired;
        switch (c.relation) {
            case Relation::LessOrEqual:
            case Relation::GreaterOrEqual: {
                double coefficient = c.relation == Relation::LessOrEqual ? 1.0 : -1.0;
                Symbol slack = make(SymbolType::Slack);
                tag.marker = slack;
                row.insert(slack, coefficient);
                if (!required) {
                    Symbol error = make(SymbolType::Error);
                    tag.other = error;
                    row.insert(error, -coefficient);
                    addToObjective(error, c.strength);
                }
                break;
            }
            case Relation::Equal:
                if (!required) {
                    Symbol plus = make(SymbolType::Error), minus = make(SymbolType::Error);
                    tag.marker = plus;
                    tag.other = minus;
                    row.insert(plus, -1.0);
                    row.insert(minus, 1.0);
                    addToObjective(plus, c.strength);
                    addToObjective(minus, c.strength);
                } else {
                    Symbol dummy = make(SymbolType::Dummy);
                    tag.marker = dummy;
                    row.insert(dummy, 1.0);
                }
                break;
        }
        if (row.constant < 0) row.reverseSign();
        return row;
    }

    static Symbol chooseSubject(const Row& row, const Tag& tag) {
        for (const auto& [s, c] : row.cells)
            if (s.type == SymbolType::External) return s;
        auto pivotable = [](const Symbol& s) { return s.type == SymbolType::Slack || s.type == SymbolType::Error; };
        if (pivotable(tag.marker) && row.coefficientFor(tag.marker) < 0) return tag.marker;
        if (pivotable(tag.other) && row.coefficientFor(tag.other) < 0) return tag.other;
        return {};
    }

    static bool allDummies(const Row& row) {
        for (const auto& [s, c] : row.cells)
            if (s.type != SymbolType::Dummy) return false;
        return true;
    }

    void substitute(const Symbol& s, const Row& row) {
        auto column = columns.find(s.id);
        if (column != columns.end()) {
            // Once substituted, no row holds the symbol any more.
            std::set<Symbol> holders = std::move(column->second);
            columns.erase(column);
            for (const Symbol& basic : holders) {
                auto it = rows.find(basic);
                if (it == rows.end() || it->second.cells.count(s) == 0) continue;
                it->second.substitute(s, row);
                note(basic, row);
            }
        }
        if (objective.cells.count(s)) {
            objective.substitute(s, row);
            entering.erase(s);
            for (const auto& [sym, c] : row.cells) follow(sym);
        }
        if (artificial) artificial->substitute(s, row);
    }

    Symbol enteringSymbol(const Row& target) const {
        if (&target == &objective) return entering.empty() ? Symbol{} : *entering.begin();
        for (const auto& [s, c] : target.cells)
            if (s.type != SymbolType::Dummy && c < 0) return s;
        return {};
    }

    Symbol leavingSymbol(const Symbol& entering) const {
        double ratio = std::numeric_limits<double>::max();
        Symbol found;
        auto column = columns.find(entering.id);
        if (column == columns.end()) return found;
        // In symbol order, as the rows themselves are kept: ties go to the same row.
        for (const Symbol& s : column->second) {
            if (s.type == SymbolType::External) continue;
            auto it = rows.find(s);
            if (it == rows.end()) continue;
            const Row& row = it->second;
            double c = row.coefficientFor(entering);
            if (c < 0) {
                double r = -row.constant / c;
                if (r < ratio) {
                    ratio = r;
                    found = s;
                }
            }
        }
        return found;
    }

    // False when the objective is unbounded (cannot happen for the constraints layout makes).
    bool optimize(Row& target) {
        for (int guard = 0; guard < 100000; ++guard) {
            Symbol in = enteringSymbol(target);
            if (!in.valid()) return true;
            Symbol leaving = leavingSymbol(in);
            if (!leaving.valid()) return false;
            Row row = std::move(rows[leaving]);
            rows.erase(leaving);
            row.solveFor(leaving, in);
            substitute(in, row);
            place(in, std::move(row));
        }
        return false;
    }

    static Symbol anyPivotableSymbol(const Row& row) {
        for (const auto& [s, c] : row.cells)
            if (s.type == SymbolType::Slack || s.type == SymbolType::Error) return s;
        return {};
    }

    bool addWithArtificialVariable(const Row& row) {
        Symbol art = make(SymbolType::Slack);
        place(art, row);
        artificial = std::make_unique<Row>(row);
        optimize(*artificial);
        bool success = nearZero(artificial->constant);
        artificial.reset();
        auto it = rows.find(art);
        if (it != rows.end()) {
            Row r = std::move(it->second);
            rows.erase(it);
            if (r.cells.empty()) return success;
            Symbol entering = anyPivotableSymbol(r);
            if (!entering.valid()) return false;
            r.solveFor(art, entering);
            substitute(entering, r);
            place(entering, std::move(r));
        }
        if (auto column = columns.find(art.id); column != columns.end()) {
            for (const Symbol& basic : column->second)
                if (auto it = rows.find(basic); it != rows.end()) it->second.remove(art);
            columns.erase(column);
        }
        objective.remove(art);
        follow(art);
        return success;
    }
};

LinearSolver::LinearSolver() : impl_(std::make_unique<Impl>()) {}
LinearSolver::~LinearSolver() = default;

LinearSolver::Variable LinearSolver::newVariable() {
    impl_->variables.push_back(impl_->make(SymbolType::External));
    return impl_->variables.size() - 1;
}

bool LinearSolver::addConstraint(const Constraint& constraint) {
    Tag tag;
    Row row = impl_->createRow(constraint, tag);
    Symbol subject = Impl::chooseSubject(row, tag);
    if (!subject.valid() && Impl::allDummies(row)) {
        // Nothing has changed yet: a required row of dummies with a constant cannot hold.
        if (!nearZero(row.constant)) return false;
        subject = tag.marker;
    }
    if (!subject.valid()) {
        // The artificial-variable path pivots the tableau before it knows whether the row can
        // hold; keep a copy so that a failing constraint leaves the solution as it was.
        auto savedRows = impl_->rows;
        auto savedObjective = impl_->objective;
        if (!impl_->addWithArtificialVariable(row)) {
            impl_->rows = std::move(savedRows);
            impl_->objective = std::move(savedObjective);
            impl_->artificial.reset();
            impl_->reindex();
            return false;
        }
    } else {
        row.solveFor(subject);
        impl_->substitute(subject, row);
        impl_->place(subject, std::move(row));
    }
    return impl_->optimize(impl_->objective);
}

double LinearSolver::value(Variable v) const {
    if (v >= impl_->variables.size()) return 0;
    auto it = impl_->rows.find(impl_->variables[v]);
    return it == impl_->rows.end() ? 0.0 : it->second.constant;
}

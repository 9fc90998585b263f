// An incremental simplex solver for linear equalities and inequalities with strengths, in the
// Cassowary style: required constraints must hold, weaker ones are met as far as their weights allow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class LinearSolver {
public:
    using Variable = std::size_t;
    enum class Relation { LessOrEqual, Equal, GreaterOrEqual };
    static constexpr double kRequired = -1;  // strength of a constraint that must hold

    struct Term {
        Variable variable;
        double coefficient;
    };
    // sum(terms) + constant  (relation)  0
    struct Constraint {
        std::vector<Term> terms;
        double constant = 0;
        Relation relation = Relation::Equal;
        double strength = kRequired;
    };

    LinearSolver();
    ~LinearSolver();
    LinearSolver(const LinearSolver&) = delete;
    LinearSolver& operator=(const LinearSolver&) = delete;

    Variable newVariable();
    // False when a required constraint cannot hold together with those already added; the solver
    // is then left as it was before the call.
    bool addConstraint(const Constraint& constraint);
    // The current solution (0 for a variable that no constraint mentions).
    double value(Variable v) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The visual format language: a small recursive-descent parser that turns one line of the
// language into constraints between the named views and their superview.
#include <cctype>
#include <optional>

#include "platform/runtime/log.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/view/ui_view.h"

namespace {

// Spacing of "-" between two views, and between a view and its superview's edge.
constexpr CGFloat kStandardSpacing = 8;
constexpr CGFloat kStandardEdgeSpacing = 20;

struct Predicate {
    NSLayoutRelation relation = NSLayoutRelation::Equal;
    CGFloat constant = 0;
    UILayoutPriority priority = UILayoutPriorityRequired;
};

struct Malformed {
    std::string why;
};

class Parser {
public:
    Parser(std::string_view text, const std::map<std::string, CGFloat>& metrics,
           const std::map<std::string, std::shared_ptr<UIView>>& views)
        : text_(text), metrics_(metrics), views_(views) {}

    std::vector<std::shared_ptr<NSLayoutConstraint>> parse() {
        bool vertical = false;
        if (take("V:"))
            vertical = true;
        else
            take("H:");
        const auto lead = vertical ? NSLayoutAttribute::Top : NSLayoutAttribute::Leading;
        const auto trail = vertical ? NSLayoutAttribute::Bottom : NSLayoutAttribute::Trailing;
        const auto size = vertical ? NSLayoutAttribute::Height : NSLayoutAttribute::Width;

        bool edgeFirst = take("|");
        std::optional<std::vector<Predicate>> pending;  // the spacing before the next view
        if (edgeFirst) pending = connection(true);
        std::shared_ptr<UIView> previous;
        if (!peek('[')) fail("a view in brackets expected");
        while (peek('[')) {
            auto [view, sizes] = viewTerm();
            for (const auto& p : sizes) add(view, size, p.relation, nullptr, NSLayoutAttribute::NotAnAttribute, p);
            if (pending) {
                if (previous) {
                    for (const auto& p : *pending) add(view, lead, p.relation, previous, trail, p);
                } else {
                    auto super = superOf(view);
                    for (const auto& p : *pending) add(view, lead, p.relation, super, lead, p);
                }
            }
            previous = view;
            pending = connection(false);
            if (pending && pending->empty()) pending.reset();
        }
        if (take("|")) {
            auto super = superOf(previous);
            // "[v]|" touches the edge; "[v]-|" and "[v]-N-|" keep a gap.
            std::vector<Predicate> gap = pending ? *pending : std::vector<Predicate>{Predicate{}};
            if (pending && lastWasStandard_) gap = {Predicate{NSLayoutRelation::Equal, kStandardEdgeSpacing}};
            for (auto p : gap) {
                // superview.trailing - view.trailing (relation) gap
                add(super, trail, p.relation, previous, trail, p);
            }
        } else if (pending) {
            fail("a connection must end in a view or an edge");
        }
        if (pos_ != text_.size()) fail("unexpected text at " + std::to_string(pos_));
        return out_;
    }

private:
    bool peek(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
    bool take(std::string_view s) {
        if (text_.substr(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }
    [[noreturn]] void fail(std::string why) { throw Malformed{std::move(why)}; }

    std::string name() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        if (start == pos_) fail("a name expected at " + std::to_string(start));
        return std::string(text_.substr(start, pos_ - start));
    }

    CGFloat number() {
        std::size_t start = pos_;
        if (peek('-')) ++pos_;
        while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
            ++pos_;
        if (start == pos_ || (pos_ == start + 1 && text_[start] == '-')) fail("a number expected");
        return std::stod(std::string(text_.substr(start, pos_ - start)));
    }

    // A number or a metric's name.
    CGFloat constant() {
        if (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || peek('-')))
            return number();
        auto n = name();
        auto it = metrics_.find(n);
        if (it == metrics_.end()) fail("unknown metric \"" + n + "\"");
        return it->second;
    }

    Predicate predicate() {
        Predicate p;
        if (take("=="))
            p.relation = NSLayoutRelation::Equal;
        else if (take(">="))
            p.relation = NSLayoutRelation::GreaterThanOrEqual;
        else if (take("<="))
            p.relation = NSLayoutRelation::LessThanOrEqual;
        p.constant = constant();
        if (take("@")) p.priority = static_cast<UILayoutPriority>(constant());
        return p;
    }

    std::vector<Predicate> predicateList() {
        std::vector<Predicate> list{predicate()};
        while (take(",")) list.push_back(predicate());
        return list;
    }

    // What follows a view or the leading edge: nothing (adjacent), "-" (standard), "-N-",
    // "-metric-" or "-(list)-". None when no connection follows at all.
    std::optional<std::vector<Predicate>> connection(bool fromEdge) {
        lastWasStandard_ = false;
        if (!take("-"))
            return peek('[') ? std::optional<std::vector<Predicate>>(std::vector<Predicate>{Predicate{}})
                             : std::nullopt;
        if (peek('[') || peek('|')) {
            lastWasStandard_ = true;
            return std::vector<Predicate>{
                Predicate{NSLayoutRelation::Equal, fromEdge ? kStandardEdgeSpacing : kStandardSpacing}};
        }
        std::vector<Predicate> list;
        if (take("(")) {
            list = predicateList();
            if (!take(")")) fail("\")\" expected");
        } else {
            list = {predicate()};
        }
        if (!take("-")) fail("\"-\" expected after a spacing");
        return list;
    }

    std::pair<std::shared_ptr<UIView>, std::vector<Predicate>> viewTerm() {
        take("[");
        auto n = name();
        auto it = views_.find(n);
        if (it == views_.end() || !it->second) fail("unknown view \"" + n + "\"");
        std::vector<Predicate> sizes;
        if (take("(")) {
            sizes = predicateList();
            if (!take(")")) fail("\")\" expected");
        }
        if (!take("]")) fail("\"]\" expected");
        return {it->second, sizes};
    }

    std::shared_ptr<UIView> superOf(const std::shared_ptr<UIView>& view) {
        auto super = view ? view->superview() : nullptr;
        if (!super) fail("\"|\" needs the view to have a superview");
        return super;
    }

    void add(const std::shared_ptr<UIView>& a, NSLayoutAttribute aa, NSLayoutRelation r,
             const std::shared_ptr<UIView>& b, NSLayoutAttribute ba, const Predicate& p) {
        auto c = NSLayoutConstraint::constraintWithItem(a, aa, r, b, ba, 1, p.constant);
        c->setPriority(p.priority);
        out_.push_back(std::move(c));
    }

    std::string_view text_;
    const std::map<std::string, CGFloat>& metrics_;
    const std::map<std::string, std::shared_ptr<UIView>>& views_;
    std::size_t pos_ = 0;
    bool lastWasStandard_ = false;
    std::vector<std::shared_ptr<NSLayoutConstraint>> out_;
};

}  // namespace

std::vector<std::shared_ptr<NSLayoutConstraint>> NSLayoutConstraint::constraintsWithVisualFormat(
    std::string_view format, unsigned, const std::map<std::string, CGFloat>& metrics,
    const std::map<std::string, std::shared_ptr<UIView>>& views) {
    std::string compact;
    for (char c : format)
        if (!std::isspace(static_cast<unsigned char>(c))) compact += c;
    try {
        return Parser(compact, metrics, views).parse();
    } catch (const Malformed& m) {
        Log::error("layout", "visual format \"" + std::string(format) + "\": " + m.why);
        return {};
    } catch (const std::exception&) {
        Log::error("layout", "visual format \"" + std::string(format) + "\": a number out of range");
        return {};
    }
}

// The manager: set-up, the registry, the cells and the section answers. Editing, moving, menus
// and the forwards live in form_table_view_manager_rows.cpp.
#include "settings/form/form_table_view_manager.h"

#include <cmath>

#include "platform/runtime/format.h"
#include "platform/runtime/log.h"
#include "platform/ui/text/ui_font.h"
#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_validation.h"

namespace {
// Room around a measured section title: the table's side insets, and above and below the text.
constexpr CGFloat kTitleSideInsets = 40;
constexpr CGFloat kHeaderTitlePadding = 20;
constexpr CGFloat kFooterTitlePadding = 10;

void registerValidationOnce() {
    FormValidation::registerDefaultValidators();
    FormValidation::registerDefaultErrorMessages();
}
}  // namespace

FormTableViewManager::FormTableViewManager(std::shared_ptr<UITableView> table,
                                           std::shared_ptr<FormTableViewManagerDelegate> delegate)
    : table_(table),
      delegate_(delegate),
      sections_(
          [this](const std::shared_ptr<FormTableViewSection>& s) {
              if (s) s->setTableViewManager(self<FormTableViewManager>());
          },
          [](const auto& a, const auto& b) { return a == b || (a && b && a->isEqual(*b)); },
          [](const auto& a, const auto& b) { return a == b; }) {}

void FormTableViewManager::init() {
    NSObject::init();
    registerValidationOnce();
    style_ = FormTableViewCellStyle::make();
    registerDefaultClasses();
    if (auto table = tableView()) {
        auto me = self<FormTableViewManager>();
        table->setDelegate(std::static_pointer_cast<UITableViewDelegate>(me));
        table->setDataSource(std::static_pointer_cast<UITableViewDataSource>(me));
    }
}

FormTableViewManager::~FormTableViewManager() {
    delegate_.reset();
    // The table's weak references to this manager have expired; clear them unless the table
    // has been given to someone else meanwhile.
    if (auto table = table_.lock()) {
        if (!table->delegate()) table->setDelegate(nullptr);
        if (!table->dataSource()) table->setDataSource(nullptr);
    }
}

double FormTableViewManager::defaultTableViewSectionHeight() const {
    auto table = tableView();
    return table && table->style() == UITableViewStyle::Grouped ? 44.0 : 22.0;
}

std::optional<FormErrors> FormTableViewManager::errors() const {
    std::optional<FormErrors> out;
    for (const auto& s : sections()) {
        auto e = s->errors();
        if (!e) continue;
        if (!out) out.emplace();
        out->insert(out->end(), e->begin(), e->end());
    }
    return out;
}

// ---- registry ----

void FormTableViewManager::registerClass(const std::string& itemClass, const std::string& cellClass,
                                         const std::shared_ptr<NSBundle>& given) {
    const FormCellClass* cell = FormCellClasses::named(cellClass);
    if (!cell) {
        Log::warning("settings", "form: no cell class \"" + cellClass + "\" for \"" + itemClass + "\"");
        return;
    }
    registered_[itemClass] = cellClass;
    auto bundle = given ? given : NSBundle::mainBundle();
    if (!bundle || !bundle->pathForResource(cellClass, "nib")) return;
    xibs_[cellClass] = itemClass;
    if (auto table = tableView()) {
        auto make = cell->make;
        table->registerCell(itemClass, [make](const std::string& id) {
            return std::static_pointer_cast<UITableViewCell>(make(UITableViewCellStyle::Default, id));
        });
    }
}

void FormTableViewManager::registerDefaultClasses() {
    for (const auto& [item, cell] : FormCellClasses::defaultPairs()) registerClass(item, cell);
}

const FormCellClass* FormTableViewManager::cellClassForItemClass(const std::string& itemClass) const {
    auto it = registered_.find(itemClass);
    return it == registered_.end() ? nullptr : FormCellClasses::named(it->second);
}

const FormCellClass* FormTableViewManager::classForItem(const FormItem& item) const {
    return cellClassForItemClass(formItemClassName(item));
}

const FormCellClass* FormTableViewManager::classForCellAtIndexPath(NSIndexPath path) const {
    auto item = itemAtIndexPath(path);
    return item ? classForItem(*item) : nullptr;
}

std::optional<FormItem> FormTableViewManager::itemAtIndexPath(NSIndexPath path) const {
    if (path.section >= sections().size()) return std::nullopt;
    const auto& items = sections()[path.section]->items();
    if (path.row >= items.size()) return std::nullopt;
    return items[path.row];
}

std::shared_ptr<FormTableViewItem> FormTableViewManager::itemObjectAt(NSIndexPath path) const {
    auto item = itemAtIndexPath(path);
    return item ? formItemObject(*item) : nullptr;
}

std::shared_ptr<FormTableViewManagerDelegate> FormTableViewManager::answering(FormDelegateQuestion q) const {
    auto d = delegate();
    return d && d->answers(q) ? d : nullptr;
}

// ---- cells ----

std::size_t FormTableViewManager::numberOfRowsInSection(UITableView&, std::size_t section) {
    return section < sections().size() ? sections()[section]->items().size() : 0;
}

void FormTableViewManager::loadCell(FormTableViewCell& cell, UITableView& table, NSIndexPath path) {
    cell.setTableViewManager(self<FormTableViewManager>());
    if (auto d = answering(FormDelegateQuestion::WillLoadCell)) d->willLoadCell(table, cell, path);
    cell.cellDidLoad();
    if (auto d = answering(FormDelegateQuestion::DidLoadCell)) d->didLoadCell(table, cell, path);
}

std::shared_ptr<UITableViewCell> FormTableViewManager::cellForRowAtIndexPath(UITableView& table, NSIndexPath path) {
    auto item = itemAtIndexPath(path);
    if (!item) return nullptr;
    auto object = formItemObject(*item);
    auto cellStyle = object ? object->style : UITableViewCellStyle::Default;

    std::string itemClass = formItemClassName(*item);
    const FormCellClass* cellClass = classForItem(*item);
    if (!cellClass) {
        Log::warning("settings",
                     "form: no cell registered for items of class \"" + itemClass + "\"; using a plain row");
        cellClass = FormCellClasses::named("FormTableViewCell");
    }
    // Put together by hand: every row that scrolls in asks, and a format string is parsed each time.
    std::string identifier = "FormTableViewManager_" + itemClass + '_' + std::to_string(static_cast<long>(cellStyle));
    auto xib = xibs_.find(cellClass->name);
    if (xib != xibs_.end()) identifier = xib->second;
    if (object && object->cellIdentifier) identifier = *object->cellIdentifier;

    auto reused = table.dequeueReusableCellWithIdentifier(identifier);
    if (!reused && xib != xibs_.end() && identifier == xib->second)
        reused = table.dequeueReusableCellWithIdentifier(identifier, path);
    auto cell = std::dynamic_pointer_cast<FormTableViewCell>(reused);
    if (!cell) {
        cell = cellClass->make(cellStyle, identifier);
        loadCell(*cell, table, path);
    }
    if (!cell->loaded()) loadCell(*cell, table, path);

    cell->setRowIndex(static_cast<long>(path.row));
    cell->setSectionIndex(static_cast<long>(path.section));
    cell->setParentTableView(table.self<UITableView>());
    cell->setSection(sections()[path.section]);
    cell->setItem(*item);
    // A default-style cell has no detail label until a detail text asks for one.
    bool hasDetail = object && object->detailLabelText;
    if (hasDetail || cell->style() != UITableViewCellStyle::Default) {
        cell->detailTextLabel()->setText(std::nullopt);
        if (hasDetail) cell->detailTextLabel()->setText(*object->detailLabelText);
    }
    cell->cellWillAppear();
    return cell;
}

// ---- sections ----

std::vector<std::string> FormTableViewManager::sectionIndexTitles(UITableView&) {
    return sectionIndexTitlesForTableView().value_or(std::vector<std::string>{});
}

std::optional<std::vector<std::string>> FormTableViewManager::sectionIndexTitlesForTableView() const {
    bool any = false;
    std::vector<std::string> titles;
    for (const auto& s : sections()) {
        any = any || s->indexTitle.has_value();
        titles.push_back(s->indexTitle.value_or(""));
    }
    if (!any) return std::nullopt;
    return titles;
}

std::optional<std::string> FormTableViewManager::titleForHeaderInSection(UITableView&, std::size_t section) {
    return section < sections().size() ? sections()[section]->headerTitle : std::nullopt;
}

std::optional<std::string> FormTableViewManager::titleForFooterInSection(UITableView&, std::size_t section) {
    return section < sections().size() ? sections()[section]->footerTitle : std::nullopt;
}

CGFloat FormTableViewManager::sectionViewHeight(std::size_t index, bool header) {
    if (index >= sections().size()) return UITableViewAutomaticDimension;
    const auto& s = *sections()[index];
    double fixed = header ? s.headerHeight : s.footerHeight;
    if (fixed != FormAutomaticSectionHeight) return fixed;
    if (const auto& view = header ? s.headerView : s.footerView) return view->frame().size.height;
    const auto& title = header ? s.headerTitle : s.footerTitle;
    auto table = tableView();
    if (title && !title->empty() && table) {
        CGFloat width = std::floor(table->bounds().size.width) - kTitleSideInsets;
        auto font = UIFont::preferredFontForTextStyle(header ? UIFontTextStyleHeadline : UIFontTextStyleFootnote);
        CGFloat height = form_sizeWithFont(*title, font, {width, DBL_MAX}).height;
        return height + (header ? kHeaderTitlePadding : kFooterTitlePadding);
    }
    auto q = header ? FormDelegateQuestion::HeightForHeader : FormDelegateQuestion::HeightForFooter;
    if (auto d = answering(q); d && table)
        return header ? d->heightForHeaderInSection(*table, index) : d->heightForFooterInSection(*table, index);
    return UITableViewAutomaticDimension;
}

CGFloat FormTableViewManager::heightForHeaderInSection(UITableView&, std::size_t section) {
    return sectionViewHeight(section, true);
}

CGFloat FormTableViewManager::heightForFooterInSection(UITableView&, std::size_t section) {
    return sectionViewHeight(section, false);
}

std::shared_ptr<UIView> FormTableViewManager::viewForHeaderInSection(UITableView& t, std::size_t section) {
    if (auto d = answering(FormDelegateQuestion::ViewForHeader)) return d->viewForHeaderInSection(t, section);
    return section < sections().size() ? sections()[section]->headerView : nullptr;
}

std::shared_ptr<UIView> FormTableViewManager::viewForFooterInSection(UITableView& t, std::size_t section) {
    if (auto d = answering(FormDelegateQuestion::ViewForFooter)) return d->viewForFooterInSection(t, section);
    return section < sections().size() ? sections()[section]->footerView : nullptr;
}

CGFloat FormTableViewManager::heightForRowAtIndexPath(UITableView& t, NSIndexPath path) {
    if (auto d = answering(FormDelegateQuestion::HeightForRow)) return d->heightForRowAtIndexPath(t, path);
    auto item = itemAtIndexPath(path);
    const FormCellClass* cell = item ? classForItem(*item) : nullptr;
    if (!cell) cell = FormCellClasses::named("FormTableViewCell");
    return item ? cell->heightWithItem(*item, *this) : style_->cellHeight;
}

CGFloat FormTableViewManager::estimatedHeightForRowAtIndexPath(UITableView& t, NSIndexPath path) {
    if (auto d = answering(FormDelegateQuestion::EstimatedHeightForRow))
        return d->estimatedHeightForRowAtIndexPath(t, path);
    if (path.section >= sections().size()) return UITableViewAutomaticDimension;
    CGFloat h = heightForRowAtIndexPath(t, path);
    return h == 0 ? UITableViewAutomaticDimension : h;
}

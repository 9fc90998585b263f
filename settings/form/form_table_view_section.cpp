// Sections: construction, position, the widest title and the collected errors.
#include "settings/form/form_table_view_section.h"

#include <algorithm>

#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_manager.h"

FormTableViewSection::FormTableViewSection()
    : items_(
          [this](const FormItem& item) {
              if (auto object = formItemObject(item)) object->setSection(self<FormTableViewSection>());
          },
          formItemsEqual, formItemsIdentical) {}

void FormTableViewSection::init() {
    NSObject::init();
}

std::shared_ptr<FormTableViewSection> FormTableViewSection::sectionWithHeaderTitle(std::optional<std::string> header,
                                                                                   std::optional<std::string> footer) {
    auto s = make();
    s->headerTitle = std::move(header);
    s->footerTitle = std::move(footer);
    return s;
}

std::shared_ptr<FormTableViewSection> FormTableViewSection::sectionWithHeaderView(std::shared_ptr<UIView> header,
                                                                                  std::shared_ptr<UIView> footer) {
    auto s = make();
    s->headerView = std::move(header);
    s->footerView = std::move(footer);
    return s;
}

std::shared_ptr<FormTableViewCellStyle> FormTableViewSection::style() const {
    if (style_) return style_;
    auto m = tableViewManager();
    return m ? m->style() : nullptr;
}

std::optional<std::size_t> FormTableViewSection::index() const {
    auto m = tableViewManager();
    if (!m) return std::nullopt;
    const auto& sections = m->sections();
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (sections[i].get() == this) return i;
    return std::nullopt;
}

std::optional<std::size_t> FormTableViewSection::indexOfItem(const FormTableViewItem& item) const {
    const auto& all = items_.all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        // Compared in place: every row's refresh asks, and a copied pointer costs two atomic counts.
        const auto* held = std::get_if<std::shared_ptr<FormTableViewItem>>(&all[i]);
        if (held && held->get() == &item) return i;
    }
    return std::nullopt;
}

void FormTableViewSection::reloadSectionWithAnimation(UITableViewRowAnimation animation) {
    auto m = tableViewManager();
    auto table = m ? m->tableView() : nullptr;
    if (auto i = index(); table && i) table->reloadSections({*i}, animation);
}

double FormTableViewSection::maximumTitleWidthWithFont(const std::shared_ptr<UIFont>& font) const {
    // Every row's layout asks, so the check that the cached width stands must be cheap: no key
    // is formatted, and only the measured rows' titles are compared, in place.
    auto cached = std::find_if(widths_.begin(), widths_.end(), [&](const CachedWidth& c) {
        return font ? c.hasFont && c.pointSize == font->pointSize() && c.fontName == font->fontName() : !c.hasFont;
    });
    if (cached != widths_.end()) {
        const bool same = std::all_of(cached->titles.begin(), cached->titles.end(),
                                      [](const MeasuredTitle& t) { return t.item->title == t.title; });
        if (same) return cached->width + cellTitlePadding;
        widths_.erase(cached);
    }
    CachedWidth entry{font != nullptr, font ? font->fontName() : std::string(), font ? font->pointSize() : 0, {}, 0};
    for (const auto& item : items_.all())
        if (auto object = formItemObject(item); object && object->countsForTitleWidth()) {
            entry.titles.push_back({object.get(), object->title});
            entry.width = std::max<double>(entry.width, form_sizeWithFont(object->title.value_or(""), font).width);
        }
    const double width = entry.width;
    widths_.push_back(std::move(entry));
    return width + cellTitlePadding;
}

std::optional<FormErrors> FormTableViewSection::errors() const {
    std::optional<FormErrors> out;
    for (const auto& item : items_.all()) {
        auto object = formItemObject(item);
        if (!object) continue;
        auto e = object->errors();
        if (!e) continue;
        if (!out) out.emplace();
        if (!e->empty()) out->push_back(e->front());
    }
    return out;
}

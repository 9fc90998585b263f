// The base cell: loading, refreshing, layout by the section style, and the keyboard bar's
// navigation between rows.
#include "settings/form/form_table_view_cell.h"

#include <algorithm>

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/input/text_input_traits.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_table_view_section.h"

namespace {
// Insets of a value view from the content edges: without a content margin, and with one.
constexpr CGFloat kDetailInset = 15;
constexpr CGFloat kDetailInsetWithMargin = 10;
// Gap between the widest title and a value view, and between an image and the title.
constexpr CGFloat kTitleGap = 10;
constexpr CGFloat kImageGap = 15;
}  // namespace

FormTableViewCell::~FormTableViewCell() {
    if (auto old = observed_.lock(); old && observation_) old->removeObserver(observation_);
}

double FormTableViewCell::heightWithItem(const FormItem& item, const FormTableViewManager& manager) {
    auto object = formItemObject(item);
    if (object && object->cellHeight > 0) return object->cellHeight;
    if (object && object->cellHeight == 0) {
        auto section = object->section();
        auto style = section ? section->style() : manager.style();
        return style ? style->cellHeight : manager.style()->cellHeight;
    }
    return manager.style()->cellHeight;
}

void FormTableViewCell::setItem(FormItem item) {
    // The same item again (a refresh) keeps its observation.
    if (auto object = formItemObject(item); object && object == observed_.lock() && observation_) {
        item_ = std::move(item);
        return;
    }
    if (auto old = observed_.lock(); old && observation_) old->removeObserver(observation_);
    observation_.reset();
    observed_.reset();
    item_ = std::move(item);
    if (auto object = formItemObject(item_)) {
        std::weak_ptr<FormTableViewCell> weak = self<FormTableViewCell>();
        observation_ = object->addObserver("enabled", [weak](const std::string&, const Value& v) {
            if (auto cell = weak.lock()) cell->setEnabled(v.boolValue());
        });
        observed_ = object;
    }
}

std::shared_ptr<FormTableViewCellStyle> FormTableViewCell::sectionStyle() const {
    auto s = section();
    if (auto style = s ? s->style() : nullptr) return style;
    auto m = tableViewManager();
    return m ? m->style() : FormTableViewCellStyle::make();
}

void FormTableViewCell::cellDidLoad() {
    loaded_ = true;
    actionBar_ = FormActionBar::make(std::weak_ptr<FormActionBarDelegate>(
        std::static_pointer_cast<FormActionBarDelegate>(self<FormTableViewCell>())));
    auto m = tableViewManager();
    auto style = m ? m->style() : FormTableViewCellStyle::make();
    setSelectionStyle(style->defaultCellSelectionStyle);
    if (style->hasCustomBackgroundImage()) addBackgroundImage();
    if (style->hasCustomSelectedBackgroundImage()) addSelectedBackgroundImage();
}

void FormTableViewCell::showTitle(const std::optional<std::string>& title) {
    textLabel()->setText(title && !title->empty() ? *title : " ");
}

void FormTableViewCell::cellWillAppear() {
    updateActionBarNavigationControl();
    setSelectionStyle(sectionStyle()->defaultCellSelectionStyle);
    auto object = formItemObject(item_);
    if (!object) {
        textLabel()->setText(std::get<std::string>(item_));
        textLabel()->setBackgroundColor(UIColor::clearColor());
        setSelectionStyle(UITableViewCellSelectionStyle::None);
    } else {
        textLabel()->setText(object->title);
        textLabel()->setBackgroundColor(UIColor::clearColor());
        setAccessoryType(object->accessoryType);
        setAccessoryView(object->accessoryView);
        textLabel()->setTextAlignment(object->textAlignment);
        if (selectionStyle() != UITableViewCellSelectionStyle::None) setSelectionStyle(object->selectionStyle);
        imageView()->setImage(object->image);
        imageView()->setHighlightedImage(object->highlightedImage);
    }
    if (!textLabel()->text() || textLabel()->text()->empty()) textLabel()->setText(" ");
}

FormCellPosition FormTableViewCell::type() const {
    auto s = section();
    long n = s ? static_cast<long>(s->items().size()) : 0;
    long r = rowIndex_;
    if (r == 0 && n == 1) return FormCellPosition::Single;
    if (r == 0 && n > 1) return FormCellPosition::First;
    if (r >= 1 && r < n - 1 && n > 2) return FormCellPosition::Middle;
    if (r == n - 1 && n >= 2) return FormCellPosition::Last;
    return FormCellPosition::Any;
}

void FormTableViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    auto style = sectionStyle();
    CGFloat m = style->contentViewMargin;
    CGRect content = contentView()->frame();
    content.origin.x += m;
    content.size.width = std::max<CGFloat>(0, content.size.width - 2 * m);
    contentView()->setFrame(content);
    if (m > 0) {
        CGRect label = textLabel()->frame();
        if (auto image = imageView()->image()) {
            CGRect f = imageView()->frame();
            f.origin.x = m;
            imageView()->setFrame(f);
            label.origin.x = m + image->size().width + kImageGap;
        } else {
            label.origin.x = m;
        }
        textLabel()->setFrame(label);
    }
    if (style->hasCustomBackgroundImage()) {
        // The images draw the row's edges; the table's separator line would cross them.
        setSeparator(false, nullptr);
        setBackgroundColor(UIColor::clearColor());
        if (!backgroundImageView_) addBackgroundImage();
        backgroundImageView_->setImage(style->backgroundImageForCellType(type()));
    }
    if (style->hasCustomSelectedBackgroundImage()) {
        if (!selectedBackgroundImageView_) addSelectedBackgroundImage();
        selectedBackgroundImageView_->setImage(style->selectedBackgroundImageForCellType(type()));
    }
    CGFloat inset = style->backgroundImageMargin;
    for (auto* pair : {&backgroundImageView_, &selectedBackgroundImageView_}) {
        auto& view = *pair;
        if (!view) continue;
        auto holder = view->superview();
        CGFloat width = holder ? holder->bounds().size.width : bounds().size.width;
        CGRect f = view->frame();
        view->setFrame(CGRectMake(inset, f.origin.y, width - 2 * inset, f.size.height));
    }
}

namespace {
// A plain view filling the content with an image view inside, one point taller so that the
// images of neighbouring rows meet.
std::shared_ptr<UIView> imageHolder(CGRect bounds, std::shared_ptr<UIImageView>& imageView) {
    auto holder = UIView::make(bounds);
    holder->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    imageView = UIImageView::make(nullptr);
    imageView->setFrame(CGRectMake(0, 0, bounds.size.width, bounds.size.height + 1));
    imageView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    holder->addSubview(imageView);
    return holder;
}
}  // namespace

void FormTableViewCell::addBackgroundImage() {
    if (auto m = tableViewManager(); m && m->tableView())
        m->tableView()->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    setBackgroundView(imageHolder(contentView()->bounds(), backgroundImageView_));
}

void FormTableViewCell::addSelectedBackgroundImage() {
    setSelectedBackgroundView(imageHolder(contentView()->bounds(), selectedBackgroundImageView_));
}

void FormTableViewCell::layoutDetailView(UIView& view, CGFloat minimumWidth) {
    CGFloat m = sectionStyle()->contentViewMargin;
    CGFloat inset = m <= 0 ? kDetailInset : kDetailInsetWithMargin;
    CGFloat x = inset;
    auto object = formItemObject(item_);
    auto s = section();
    // The titles start after the row's image, where it has one, so the value view does too
    // (lined up after the widest title, it would otherwise cover the title of an image row).
    CGFloat titleStart = imageView()->image() ? std::max(inset, textLabel()->frame().origin.x) : inset;
    if (object && object->title && !object->title->empty() && s)
        x = titleStart + static_cast<CGFloat>(s->maximumTitleWidthWithFont(textLabel()->font())) + kTitleGap;
    CGFloat width = contentView()->frame().size.width - x - inset;
    if (width < minimumWidth) {
        x -= minimumWidth - width;
        width = minimumWidth;
    }
    CGRect label = textLabel()->frame();
    view.setFrame(CGRectMake(x, label.origin.y, width, label.size.height));
}

void FormTableViewCell::notifyWillLayoutSubviews() {
    auto m = tableViewManager();
    auto d = m ? m->answering(FormDelegateQuestion::WillLayoutCellSubviews) : nullptr;
    auto table = m ? m->tableView() : nullptr;
    if (!d || !table) return;
    if (auto path = table->indexPathForCell(*this)) d->willLayoutCellSubviews(*table, *this, *path);
}

// ---- navigation between rows that take the keyboard ----

bool FormTableViewCell::canFocus(const FormItem& item) const {
    auto m = tableViewManager();
    if (!m || !formItemObject(item)) return false;
    const FormCellClass* cell = m->classForItem(item);
    return cell && cell->canFocusWithItem(item);
}

std::optional<NSIndexPath> FormTableViewCell::indexPathForPreviousResponderInSectionIndex(std::size_t k) const {
    auto m = tableViewManager();
    if (!m || k >= m->sections().size()) return std::nullopt;
    const auto& s = m->sections()[k];
    const auto& items = s->items();
    long start = static_cast<long>(items.size()) - 1;
    if (s == section()) {
        auto object = formItemObject(item_);
        auto own = object ? s->indexOfItem(*object) : std::nullopt;
        start = own ? static_cast<long>(*own) - 1 : rowIndex_ - 1;
    }
    for (long r = start; r >= 0; --r)
        if (canFocus(items[static_cast<std::size_t>(r)])) return NSIndexPath{k, static_cast<std::size_t>(r)};
    return std::nullopt;
}

std::optional<NSIndexPath> FormTableViewCell::indexPathForNextResponderInSectionIndex(std::size_t k) const {
    auto m = tableViewManager();
    if (!m || k >= m->sections().size()) return std::nullopt;
    const auto& s = m->sections()[k];
    const auto& items = s->items();
    std::size_t start = 0;
    if (s == section()) {
        auto object = formItemObject(item_);
        auto own = object ? s->indexOfItem(*object) : std::nullopt;
        start = own ? *own + 1 : static_cast<std::size_t>(rowIndex_ + 1);
    }
    for (std::size_t r = start; r < items.size(); ++r)
        if (canFocus(items[r])) return NSIndexPath{k, r};
    return std::nullopt;
}

std::optional<NSIndexPath> FormTableViewCell::indexPathForPreviousResponder() const {
    for (long k = sectionIndex_; k >= 0; --k)
        if (auto p = indexPathForPreviousResponderInSectionIndex(static_cast<std::size_t>(k))) return p;
    return std::nullopt;
}

std::optional<NSIndexPath> FormTableViewCell::indexPathForNextResponder() const {
    auto m = tableViewManager();
    if (!m) return std::nullopt;
    for (std::size_t k = static_cast<std::size_t>(std::max(0L, sectionIndex_)); k < m->sections().size(); ++k)
        if (auto p = indexPathForNextResponderInSectionIndex(k)) return p;
    return std::nullopt;
}

void FormTableViewCell::updateActionBarNavigationControl() {
    if (!actionBar_) return;
    auto control = actionBar_->navigationControl();
    control->setEnabledForSegmentAtIndex(indexPathForPreviousResponder().has_value(), 0);
    control->setEnabledForSegmentAtIndex(indexPathForNextResponder().has_value(), 1);
}

void FormTableViewCell::actionBarNavigationControlValueChanged(FormActionBar&, UISegmentedControl& control) {
    auto keep = self<FormTableViewCell>();
    auto target = control.selectedSegmentIndex() == 0 ? indexPathForPreviousResponder() : indexPathForNextResponder();
    auto table = parentTableView();
    if (target && table) {
        if (!table->cellForRowAtIndexPath(*target))
            table->scrollToRowAtIndexPath(*target, UITableViewScrollPosition::Top, false);
        if (auto cell = std::dynamic_pointer_cast<FormTableViewCell>(table->cellForRowAtIndexPath(*target)))
            cell->becomeResponder();
    }
    auto object = formItemObject(item_);
    if (object && object->actionBarNavButtonTapHandler) object->actionBarNavButtonTapHandler(*object);
}

void FormTableViewCell::actionBarDoneButtonPressed(FormActionBar&, UIBarButtonItem&) {
    auto keep = self<FormTableViewCell>();
    auto object = formItemObject(item_);
    if (object && object->actionBarDoneButtonTapHandler) object->actionBarDoneButtonTapHandler(*object);
    endEditing(*this, true);
}

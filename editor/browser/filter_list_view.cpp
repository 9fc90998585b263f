// The filter strip: construction, the load and its hand-back, the tile row, and the views of
// each loading state.
#include "editor/browser/filter_list_view.h"

#include "editor/browser/filter_strip_geometry.h"
#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "platform/runtime/log.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/theme/font.h"

namespace {
constexpr const char* kBrowserLog = "browser";
}  // namespace

FilterListView::FilterListView(std::shared_ptr<UIViewController> vc, std::shared_ptr<FilterAttrDelegate> attrDelegate)
    : GradientLRView(UIColor::blackColor(), kGradientWidth), vc_(vc), attrDelegate_(std::move(attrDelegate)) {
    if (vc) {
        CGRect f = vc->view()->frame();
        auto metrics = filter_strip::tileMetrics(std::min(f.size.width, f.size.height));
        itemLabelHeight_ = metrics.labelHeight;
        itemSize_ = metrics.itemSize;
    }
}

FilterListView::~FilterListView() = default;

void FilterListView::init() {
    GradientLRView::init();
    label_ = UILabel::make();
    if (auto font = Global::shared()->font()) label_->setFont(font->textFixedNormal());
    label_->setTextColor(UIColor::whiteColor());
    label_->setBackgroundColor(UIColor::darkGrayColor());
    label_->setTextAlignment(NSTextAlignment::Center);
    addSubview(label_);
    act_ = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::WhiteLarge);
    addSubview(act_);
}

void FilterListView::layoutSubviews() {
    GradientLRView::layoutSubviews();
    CGRect b = bounds();
    label_->setFrame(b);
    CGSize a = act_->intrinsicContentSize();
    act_->setFrame({{CGRectGetMidX(b) - a.width / 2, CGRectGetMidY(b) - a.height / 2}, a});
}

const dispatch_queue_t& FilterListView::qUI() {
    if (!qUI_) qUI_ = dispatch_queue_create(kQueueLabel);
    return qUI_;
}

// ---- loading ----

void FilterListView::updateData() {
    switch (status_) {
        case Status::NotLoaded:
            updateData0();
            updateView();
            break;
        case Status::Loading: updateView(); break;
        case Status::Loaded: layoutTiles(); break;
    }
}

void FilterListView::updateData0() {
    status_ = Status::Loading;
    updateData();
    auto source = source_.lock();
    Value entries = source ? source->onFilterListViewGetArray(*this) : Value();
    std::uint64_t number = ++loadNumber_;
    std::weak_ptr<FilterListView> weak = self<FilterListView>();
    dispatch_async(qUI(), [weak, entries, cache = loadedElements_, number]() mutable {
        auto result = std::make_shared<LoadResult>(load(entries, std::move(cache)));
        dispatch_async(dispatch_get_main_queue(), [weak, result, number] {
            // Taken out here, so that whatever the strip does not keep is released on this thread.
            LoadResult mine = std::move(*result);
            if (auto strip = weak.lock()) strip->adopt(number, std::move(mine));
        });
    });
}

FilterListView::LoadResult FilterListView::load(const Value& entries, Elements cache) {
    LoadResult r;
    r.elements = std::move(cache);
    const ValueArray* list = entries.arrayPtr();
    if (!list) return r;
    for (const Value& entry : *list) {
        const Value& key = entry["key"];
        if (!key.isString()) continue;
        auto found = r.elements.find(*key.string());
        if (found == r.elements.end() || !found->second) {
            auto element = FilterPersistElement::withKey(*key.string(), entry["desc"]);
            if (!element) continue;
            r.elements[*key.string()] = std::move(element);
        }
        r.keys.push_back(*key.string());
    }
    return r;
}

void FilterListView::adopt(std::uint64_t number, LoadResult result) {
    if (number != loadNumber_ || status_ != Status::Loading) return;
    loadedElements_ = std::move(result.elements);
    keys_ = std::move(result.keys);
    status_ = Status::Loaded;
    updateData();
}

void FilterListView::refresh() {
    // Pending edits go to the stores first, so that the fresh elements read them.
    for (const auto& [key, element] : loadedElements_)
        if (element) element->flushPendingSave();
    status_ = Status::NotLoaded;
    loadedElements_.clear();
    keys_.clear();
    lastSelected_ = -1;
    scroll()->setContentOffset({0, 0});
    updateData();
}

std::shared_ptr<FilterPersistElement> FilterListView::elementAt(long index) const {
    if (index < 0 || std::size_t(index) >= keys_.size()) return nullptr;
    auto found = loadedElements_.find(keys_[std::size_t(index)]);
    return found == loadedElements_.end() ? nullptr : found->second;
}

// ---- the row ----

void FilterListView::layoutTiles() {
    for (const auto& tile : loadedItems_) {
        tile->resetLastImage();
        tile->removeFromSuperview();
    }
    auto me = self<FilterListView>();
    const std::size_t n = keys_.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i == loadedItems_.size()) {
            auto tile = FilterItemView::make(vc_.lock(), itemLabelHeight_, attrDelegate_.lock());
            tile->setDelegate(me);
            loadedItems_.push_back(tile);
        }
        const auto& tile = loadedItems_[i];
        tile->settings()->setHidden(true);
        scroll()->addSubview(tile);
        tile->setFrame({{0, filter_strip::kTileTop}, itemSize_});
        tile->setTag(long(i));
        tile->setElement(elementAt(long(i)));
    }
    CGFloat x0 = filter_strip::rowStart(n, itemSize_.width, bounds().size.width);
    scroll()->setContentSize(filter_strip::contentSize(n, itemSize_));
    std::weak_ptr<FilterListView> weak = me;
    UIViewAnimation::animate(
        kLayoutDuration,
        [this, n, x0] {
            for (std::size_t i = 0; i < n; ++i) {
                loadedItems_[i]->setAlpha(1);
                loadedItems_[i]->setFrame(filter_strip::tileFrame(i, x0, itemSize_));
            }
        },
        [weak, n](bool finished) {
            auto s = weak.lock();
            if (!s) return;
            s->updateSelectionAndScroll(false, nullptr);
            // From here the tiles take taps: while they slide in they let touches pass by. A slide
            // cut short by a newer one reports nothing; the newer one does. The screen's name tells
            // the camera's strip from the editor's.
            if (!finished) return;
            auto vc = s->vc_.lock();
            Log::debug(kBrowserLog, "the row of " + std::to_string(n) + " tiles is in place on " +
                                        (vc ? vc->className() : std::string("no screen")));
        });
    firstDraw_.restart(kFirstDrawDelay, weakBind(me, &FilterListView::drawRefiltered));
    updateView();
}

void FilterListView::updateView() {
    if (status_ == Status::Loaded) {
        act_->stopAnimating();
        act_->setHidden(true);
        scroll()->setHidden(keys_.empty());
        label_->setHidden(!keys_.empty());
    } else {
        scroll()->setHidden(true);
        label_->setHidden(true);
        act_->setHidden(false);
        act_->startAnimating();
    }
    GradientLRView::updateView();
}

void FilterListView::hideAllPopAdj() {
    for (const auto& tile : loadedItems_) tile->hideAdj();
}

void FilterListView::scheduledLayout() {
    for (const auto& tile : loadedItems_) tile->scheduledLayout();
}

// The empty-list decision: when the placeholder is wanted, what it shows and how it leaves.
#include "settings/empty/scroll_view_empty_state.h"

#include "platform/dispatch/queue.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/table/list_reload_hooks.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/empty/empty_state_view.h"

namespace {
constexpr const char* kSourceKey = "emptyStateSource";
constexpr const char* kDelegateKey = "emptyStateDelegate";
constexpr const char* kViewKey = "emptyStateView";
constexpr const char* kImageAnimationKey = "com.es.emptyState.imageViewAnimation";

// Lets the placeholder's tap begin only when touches are allowed, beside any other recogniser.
class PlaceholderTapGate : public UIGestureRecognizerDelegate {
public:
    explicit PlaceholderTapGate(std::weak_ptr<UIScrollView> list) : list_(std::move(list)) {}
    bool gestureRecognizerShouldBegin(UIGestureRecognizer&) override {
        auto list = list_.lock();
        auto delegate = list ? emptyStateDelegate(*list) : nullptr;
        return !delegate || delegate->emptyStateShouldAllowTouch(*list);
    }
    bool shouldRecognizeSimultaneously(UIGestureRecognizer&, UIGestureRecognizer&) override { return true; }

private:
    std::weak_ptr<UIScrollView> list_;
};

template <class T>
std::shared_ptr<T> weakAttached(const UIScrollView& list, const char* key) {
    auto container = std::dynamic_pointer_cast<WeakObjectContainer>(list.attachedObject(key));
    return container ? container->weakObject<T>() : nullptr;
}

void installReloadHooks() {
    auto hook = [](UIScrollView& list) { reloadEmptyState(list); };
    ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, hook);
    ListReloadHooks::install(ListKind::Table, ListOperation::EndUpdates, hook);
    ListReloadHooks::install(ListKind::Collection, ListOperation::ReloadData, hook);
}

std::shared_ptr<EmptyStateView> attachedView(const UIScrollView& list) {
    return std::dynamic_pointer_cast<EmptyStateView>(list.attachedObject(kViewKey));
}

// Hides the placeholder and forgets its view; scrolling comes back.
void invalidate(UIScrollView& list) {
    auto delegate = emptyStateDelegate(list);
    if (delegate) delegate->emptyStateWillDisappear(list);
    if (auto view = attachedView(list)) {
        view->prepareForReuse();
        view->removeFromSuperview();
        list.setAttachedObject(kViewKey, nullptr);
    }
    list.setScrollEnabled(true);
    if (delegate) delegate->emptyStateDidDisappear(list);
}

void fill(EmptyStateView& view, UIScrollView& list, EmptyStateSource& source) {
    if (auto custom = source.customViewForEmptyState(list)) {
        view.setCustomView(custom);
        return;
    }
    view.setVerticalSpace(source.spaceHeightForEmptyState(list));
    if (auto image = source.imageForEmptyState(list)) {
        auto tint = source.imageTintColorForEmptyState(list);
        auto imageView = view.imageView();
        imageView->setImage(image->imageWithRenderingMode(tint ? UIImageRenderingMode::AlwaysTemplate
                                                               : UIImageRenderingMode::AlwaysOriginal));
        imageView->setTintColor(tint);
    }
    if (auto title = source.titleForEmptyState(list)) view.titleLabel()->setAttributedText(title);
    if (auto detail = source.descriptionForEmptyState(list)) view.detailLabel()->setAttributedText(detail);
    if (auto image = source.buttonImageForEmptyState(list, UIControlStateNormal)) {
        view.button()->setImage(image, UIControlStateNormal);
        view.button()->setImage(source.buttonImageForEmptyState(list, UIControlStateHighlighted),
                                UIControlStateHighlighted);
    } else if (auto title = source.buttonTitleForEmptyState(list, UIControlStateNormal)) {
        auto button = view.button();
        button->setAttributedTitle(title, UIControlStateNormal);
        button->setAttributedTitle(source.buttonTitleForEmptyState(list, UIControlStateHighlighted),
                                   UIControlStateHighlighted);
        button->setBackgroundImage(source.buttonBackgroundImageForEmptyState(list, UIControlStateNormal),
                                   UIControlStateNormal);
        button->setBackgroundImage(source.buttonBackgroundImageForEmptyState(list, UIControlStateHighlighted),
                                   UIControlStateHighlighted);
    }
}
}  // namespace

std::shared_ptr<EmptyStateSource> emptyStateSource(const UIScrollView& list) {
    return weakAttached<EmptyStateSource>(list, kSourceKey);
}

void setEmptyStateSource(UIScrollView& list, const std::shared_ptr<EmptyStateSource>& source) {
    if (!source) invalidate(list);
    list.setAttachedObject(kSourceKey, source ? WeakObjectContainer::make(source) : nullptr);
    if (source) installReloadHooks();
}

std::shared_ptr<EmptyStateDelegate> emptyStateDelegate(const UIScrollView& list) {
    return weakAttached<EmptyStateDelegate>(list, kDelegateKey);
}

void setEmptyStateDelegate(UIScrollView& list, const std::shared_ptr<EmptyStateDelegate>& delegate) {
    if (!delegate) invalidate(list);
    list.setAttachedObject(kDelegateKey, delegate ? WeakObjectContainer::make(delegate) : nullptr);
}

bool isEmptyStateVisible(const UIScrollView& list) {
    auto view = attachedView(list);
    return view && !view->isHidden();
}

std::shared_ptr<EmptyStateView> emptyStateView(UIScrollView& list) {
    if (auto view = attachedView(list)) return view;
    auto view = EmptyStateView::make();
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setHidden(true);
    std::weak_ptr<UIScrollView> weakList = list.self<UIScrollView>();
    auto tap = UITapGestureRecognizer::make();
    auto gate = std::make_shared<PlaceholderTapGate>(weakList);
    tap->setDelegate(gate);
    // The recogniser holds its delegate weakly: its own action keeps the gate alive.
    tap->addTarget([weakList, gate](UIGestureRecognizer& recognizer) {
        auto list = weakList.lock();
        auto delegate = list ? emptyStateDelegate(*list) : nullptr;
        if (delegate && recognizer.view()) delegate->emptyStateDidTapView(*list, *recognizer.view());
    });
    UIViewAddGestureRecognizer(*view, tap);
    view->setTapGesture(tap);
    view->setOnTapButton([weakList](UIButton& button) {
        auto list = weakList.lock();
        auto delegate = list ? emptyStateDelegate(*list) : nullptr;
        if (delegate) delegate->emptyStateDidTapButton(*list, button);
    });
    list.setAttachedObject(kViewKey, view);
    return view;
}

std::size_t emptyStateItemsCount(UIScrollView& list) {
    std::size_t items = 0;
    if (auto* table = dynamic_cast<UITableView*>(&list)) {
        auto source = table->dataSource();
        if (!source) return 0;
        const std::size_t sections = source->numberOfSectionsInTableView(*table);
        for (std::size_t s = 0; s < sections; ++s) items += source->numberOfRowsInSection(*table, s);
    } else if (auto* collection = dynamic_cast<UICollectionView*>(&list)) {
        auto source = collection->dataSource();
        if (!source) return 0;
        const std::size_t sections = source->numberOfSectionsInCollectionView(*collection);
        for (std::size_t s = 0; s < sections; ++s) items += source->numberOfItemsInSection(*collection, s);
    }
    return items;
}

void reloadEmptyState(UIScrollView& list) {
    auto source = emptyStateSource(list);
    if (!source) return;
    auto delegate = emptyStateDelegate(list);
    EmptyStateDelegate defaults;
    EmptyStateDelegate& answers = delegate ? *delegate : defaults;

    const bool wanted = (answers.emptyStateShouldDisplay(list) && emptyStateItemsCount(list) == 0) ||
                        answers.emptyStateShouldBeForcedToDisplay(list);
    if (!wanted) {
        if (isEmptyStateVisible(list)) invalidate(list);
        return;
    }

    answers.emptyStateWillAppear(list);
    auto view = emptyStateView(list);
    if (view->superview().get() != &list) {
        const bool isList = dynamic_cast<UITableView*>(&list) || dynamic_cast<UICollectionView*>(&list);
        if (isList && list.subviews().size() >= 2)
            list.insertSubviewAtIndex(view, 0);
        else
            list.addSubview(view);
    }

    view->prepareForReuse();
    fill(*view, list, *source);
    view->setVerticalOffset(source->verticalOffsetForEmptyState(list));
    auto background = source->backgroundColorForEmptyState(list);
    view->setBackgroundColor(background ? background : UIColor::clearColor());
    view->setHidden(false);
    view->setClipsToBounds(true);
    view->setUserInteractionEnabled(answers.emptyStateShouldAllowTouch(list));
    view->setFadeInOnDisplay(answers.emptyStateShouldFadeIn(list));
    view->setupConstraints();
    view->layoutIfNeeded();

    list.setScrollEnabled(answers.emptyStateShouldAllowScroll(list));

    auto imageLayer = view->hasImageView() ? view->imageView()->layer() : nullptr;
    if (imageLayer) {
        auto animation = source->imageAnimationForEmptyState(list);
        if (answers.emptyStateShouldAnimateImageView(list) && animation)
            CAAnimationEngine::addAnimation(imageLayer, animation, kImageAnimationKey);
        else if (!answers.emptyStateShouldAnimateImageView(list))
            CAAnimationEngine::removeAnimationForKey(*imageLayer, kImageAnimationKey);
    }
    answers.emptyStateDidAppear(list);
}

// The placeholder for empty lists, added to every scroll view: a weakly held source and delegate
// hung on the list, and a decision, run before each reload of a table or collection (through the
// platform's list reload hooks), whether the placeholder shows. A plain scroll view has no
// reload: its owner calls reloadEmptyState. Main-thread only.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/runtime/object.h"
#include "settings/empty/empty_state_source.h"

class EmptyStateView;
class UIScrollView;

// A weak reference kept as an attached object, so that the list does not keep its owner alive.
class WeakObjectContainer : public NSObject {
public:
    KORVA_MAKE(WeakObjectContainer)
    template <class T>
    std::shared_ptr<T> weakObject() const {
        return std::static_pointer_cast<T>(weakObject_.lock());
    }
    std::string className() const override { return "WeakObjectContainer"; }

protected:
    template <class T>
    explicit WeakObjectContainer(const std::shared_ptr<T>& object) : weakObject_(std::shared_ptr<void>(object)) {}

private:
    std::weak_ptr<void> weakObject_;
};

std::shared_ptr<EmptyStateSource> emptyStateSource(const UIScrollView& list);
// A none or gone source hides the placeholder; a source installs the reload hooks once.
void setEmptyStateSource(UIScrollView& list, const std::shared_ptr<EmptyStateSource>& source);
std::shared_ptr<EmptyStateDelegate> emptyStateDelegate(const UIScrollView& list);
// A none delegate hides the placeholder.
void setEmptyStateDelegate(UIScrollView& list, const std::shared_ptr<EmptyStateDelegate>& delegate);

bool isEmptyStateVisible(const UIScrollView& list);
// The placeholder view, made (hidden) on first use.
std::shared_ptr<EmptyStateView> emptyStateView(UIScrollView& list);
// Decides and shows or hides the placeholder now.
void reloadEmptyState(UIScrollView& list);
// The items the list shows: the table's rows or the collection's items over every section, 0 for
// a plain scroll view or a list without a data source.
std::size_t emptyStateItemsCount(UIScrollView& list);

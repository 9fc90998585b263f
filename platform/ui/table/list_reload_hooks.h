// Code that runs before every reload of a list of one kind: the table's reloadData and endUpdates,
// the collection's reloadData. A feature that must see each reload of every list (such as a
// placeholder for empty lists) installs its hook once, process-wide, instead of replacing the
// lists' own operations. Main-thread only, like the lists.
#pragma once

#include <functional>

class UIScrollView;

enum class ListKind { Table, Collection };
enum class ListOperation { ReloadData, EndUpdates };

class ListReloadHooks {
public:
    using Hook = std::function<void(UIScrollView& list)>;
    // Installs the hook for the kind and operation; false, changing nothing, when one is already
    // installed there or the kind has no such operation (a collection has no endUpdates).
    static bool install(ListKind kind, ListOperation operation, Hook hook);
    static bool isInstalled(ListKind kind, ListOperation operation);
    // Removes the hook, so that a later install may put another one in its place.
    static void remove(ListKind kind, ListOperation operation);
    // Called by the lists at the start of the operation.
    static void run(ListKind kind, ListOperation operation, UIScrollView& list);
};

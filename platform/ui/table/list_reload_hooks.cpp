// The process-wide table of list reload hooks, one slot per kind and operation.
#include "platform/ui/table/list_reload_hooks.h"

#include <array>

namespace {
constexpr std::size_t kOperations = 2;

std::array<ListReloadHooks::Hook, 2 * kOperations>& hooks() {
    static std::array<ListReloadHooks::Hook, 2 * kOperations> table;
    return table;
}

std::size_t slot(ListKind kind, ListOperation operation) {
    return static_cast<std::size_t>(kind) * kOperations + static_cast<std::size_t>(operation);
}

bool supported(ListKind kind, ListOperation operation) {
    return !(kind == ListKind::Collection && operation == ListOperation::EndUpdates);
}
}  // namespace

bool ListReloadHooks::install(ListKind kind, ListOperation operation, Hook hook) {
    if (!hook || !supported(kind, operation) || isInstalled(kind, operation)) return false;
    hooks()[slot(kind, operation)] = std::move(hook);
    return true;
}

bool ListReloadHooks::isInstalled(ListKind kind, ListOperation operation) {
    return supported(kind, operation) && static_cast<bool>(hooks()[slot(kind, operation)]);
}

void ListReloadHooks::remove(ListKind kind, ListOperation operation) {
    if (supported(kind, operation)) hooks()[slot(kind, operation)] = nullptr;
}

void ListReloadHooks::run(ListKind kind, ListOperation operation, UIScrollView& list) {
    if (!supported(kind, operation)) return;
    // A copy: the hook may install or remove hooks while it runs.
    Hook hook = hooks()[slot(kind, operation)];
    if (hook) hook(list);
}

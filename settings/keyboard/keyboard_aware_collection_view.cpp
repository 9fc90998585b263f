// The keyboard-aware collection view's question to the system.
#include "settings/keyboard/keyboard_aware_collection_view.h"

#include <cstdlib>

#include "foundation/system_services.h"

namespace {
constexpr long kFirstAutomaticMajorVersion = 9;
}

bool KeyboardAwareCollectionView::hasAutomaticKeyboardAvoidingBehaviour() const {
    long major = std::strtol(SystemServices::shared()->systemVersion().c_str(), nullptr, 10);
    return major >= kFirstAutomaticMajorVersion &&
           std::dynamic_pointer_cast<UICollectionViewController>(delegate()) != nullptr;
}

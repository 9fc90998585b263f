// The value and placeholder labels of the picker and date rows.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_label.h"

// A 17-point label on a clear background, white when highlighted.
std::shared_ptr<UILabel> formValueLabel(std::shared_ptr<UIColor> colour);
// The value text and the placeholder (hidden while there is a value); the value sits right of the
// title, or at the left when the item has no title at all. Set on every refresh, so a reused cell
// does not keep a previous item's alignment.
void formShowValue(UILabel& value, UILabel& placeholder, const std::string& text,
                   const std::optional<std::string>& placeholderText, const std::optional<std::string>& title);

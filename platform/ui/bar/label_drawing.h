// Drawing a line of text in a rectangle, as the bars, cells, fields and pop-ups of this toolkit
// do when they draw themselves.
#pragma once

#include <memory>
#include <string_view>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"

enum class LabelAlignment { Left, Center, Right };

NSAttributes labelAttributes(const std::shared_ptr<UIFont>& font, const std::shared_ptr<UIColor>& color);
CGSize labelSize(std::string_view text, const std::shared_ptr<UIFont>& font);
// One line, vertically centred in the rectangle, clipped to it.
void drawLabel(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
               const std::shared_ptr<UIColor>& color, LabelAlignment alignment);
// drawLabel for a mark drawn the same on many rows (a disclosure chevron, a check): its layout is
// made once per text, face and colour and kept (per thread, a few dozen at most).
void drawMark(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
              const std::shared_ptr<UIColor>& color, LabelAlignment alignment);
// Text wrapped within the rectangle's width from its top.
void drawWrapped(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
                 const std::shared_ptr<UIColor>& color, LabelAlignment alignment);
// A filled rounded rectangle in the current context.
void fillRoundedRect(CGRect rect, CGFloat radius, const std::shared_ptr<UIColor>& color);

// The right margin of the control rows: 15 points in a style without a content margin, 10 in one
// with a margin, whatever its size.
#pragma once

#include "settings/form/form_table_view_cell_style.h"

inline CGFloat formRowMargin(const FormTableViewCellStyle& style) {
    constexpr CGFloat kWithoutContentMargin = 15;
    constexpr CGFloat kWithContentMargin = 10;
    return style.contentViewMargin <= 0 ? kWithoutContentMargin : kWithContentMargin;
}

// The platform's text forms of points, sizes, rectangles and edge insets ("{x, y}", "{width, height}",
// "{top, left, bottom, right}"), for archives and logs.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/geometry_string.h"
#include "platform/ui/view/ui_edge_insets.h"

std::string NSStringFromCGSize(CGSize size);
std::string NSStringFromUIEdgeInsets(UIEdgeInsets insets);
// Numbers are read in order wherever they stand; missing or unreadable ones are 0, as are
// numbers that are not finite. (Points: platform/runtime/geometry_string.h.)
CGSize CGSizeFromString(std::string_view text);
UIEdgeInsets UIEdgeInsetsFromString(std::string_view text);
// "{{x, y}, {width, height}}"; read the same way.
std::string NSStringFromCGRect(CGRect rect);
CGRect CGRectFromString(std::string_view text);

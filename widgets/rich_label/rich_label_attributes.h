// The attribute keys the rich label draws from, and the two dictionaries it makes: its own
// settings as text attributes, and link attributes under the names its drawing reads.
#pragma once

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/core_text_keys.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/view/ui_edge_insets.h"

class RichLabel;

// A number read as a bool: a line is drawn through the run.
inline constexpr const char* kRichStrikeOutAttributeName = "RichStrikeOutAttribute";
// Colours (UIColor) of the box drawn behind a run, filled and outlined.
inline constexpr const char* kRichBackgroundFillColorAttributeName = "RichBackgroundFillColor";
inline constexpr const char* kRichBackgroundStrokeColorAttributeName = "RichBackgroundStrokeColor";
// Edge insets around the run, in the text form "{top, left, bottom, right}" (RichEdgeInsetsValue).
inline constexpr const char* kRichBackgroundFillPaddingAttributeName = "RichBackgroundFillPadding";
// Numbers: the inset of the box's outline and its corner radius, in points.
inline constexpr const char* kRichBackgroundLineWidthAttributeName = "RichBackgroundLineWidth";
inline constexpr const char* kRichBackgroundCornerRadiusAttributeName = "RichBackgroundCornerRadius";

// The value of a padding attribute.
Value RichEdgeInsetsValue(UIEdgeInsets insets);

// Link attributes with the platform's text keys renamed to those the label's drawing reads (a
// background colour becomes a box); other keys and every value stay as they are.
NSAttributes RichLinkAttributesForCoreText(const NSAttributes& attributes);

// The label's font, colour, kern and paragraph settings as text attributes.
NSAttributes RichAttributesFromLabel(const RichLabel& label);

// Where a line sits in its width for an alignment: 0 left, 0.5 centred, 1 right.
CGFloat RichFlushFactor(NSTextAlignment alignment);

// Styling recipes on views.
#include "ui/layout/view_custom_style.h"

#include "platform/ui/view/ui_view.h"
#include "ui/layout/layer_custom.h"
#include "widgets/flat/flat_palette.h"

void assignShadow(UIView& view) {
    assignShadow(*view.layer());
}
void assignShadow(UIView& view, const std::shared_ptr<UIColor>& color) {
    assignShadow(*view.layer(), color);
}
void assignRound(UIView& view, CGFloat radius) {
    assignRound(*view.layer(), radius);
}
void assignBorder(UIView& view, CGFloat width, const std::shared_ptr<UIColor>& color) {
    assignBorder(*view.layer(), width, color);
}

void setRoundEdge(UIView& view) {
    view.setClipsToBounds(true);
    auto& layer = *view.layer();
    layer.setCornerRadius(view.frame().size.height / 2);
    layer.setBorderColor(flatGrayColor()->cgColor());
    layer.setBorderWidth(1);
    layer.setShouldRasterize(true);
}

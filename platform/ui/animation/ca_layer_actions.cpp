// The default implicit action, per-layer action tables, and the conditions that switch them off.
#include "platform/ui/animation/ca_layer_actions.h"

#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/view/ui_view.h"

namespace {

constexpr const char* kActionsKey = "korva.layerActions";

struct ActionTable : NSObject {
    std::map<std::string, std::shared_ptr<CAAnimation>> actions;
};

bool isViewLayer(const CALayer& layer) {
    auto d = layer.delegate().lock();
    return d && dynamic_cast<UIView*>(d.get());
}

}  // namespace

void CALayerActions::setActions(CALayer& layer, std::map<std::string, std::shared_ptr<CAAnimation>> actions) {
    auto table = std::make_shared<ActionTable>();
    table->actions = std::move(actions);
    layer.setAttachedObject(kActionsKey, table);
}

std::map<std::string, std::shared_ptr<CAAnimation>> CALayerActions::actions(const CALayer& layer) {
    auto table = std::dynamic_pointer_cast<ActionTable>(layer.attachedObject(kActionsKey));
    return table ? table->actions : std::map<std::string, std::shared_ptr<CAAnimation>>{};
}

void CALayerActions::layerWillChange(CALayer& layer, const char* keyPath) {
    if (!keyPath || CATransaction::disableActions() || !CAKeyPath::isAnimatable(keyPath)) return;
    // Views animate only inside animation blocks; layers not yet in a tree have nothing on screen.
    if (isViewLayer(layer) || !layer.superlayer()) return;
    auto self = std::static_pointer_cast<CALayer>(layer.weak_from_this().lock());
    if (!self) return;
    std::shared_ptr<CAAnimation> action;
    auto table = actions(layer);
    if (auto it = table.find(keyPath); it != table.end()) {
        if (!it->second) return;
        action = it->second->copy();
    }
    CAValue shown = CAAnimationEngine::presentedValue(layer, keyPath);
    if (!action) {
        auto basic = CABasicAnimation::animationWithKeyPath(keyPath);
        basic->setFromValue(shown);  // to the model value, whatever it becomes
        basic->setTimingFunction(CATransaction::animationTimingFunction()
                                     ? CATransaction::animationTimingFunction()
                                     : CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionDefault));
        action = basic;
    } else if (auto basic = std::dynamic_pointer_cast<CABasicAnimation>(action);
               basic && CAValueIsNone(basic->fromValue())) {
        basic->setFromValue(shown);
    }
    CAAnimationEngine::addAnimation(self, action, keyPath);
}

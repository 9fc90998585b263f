// The sample view tree.
#include "sample_view_tree.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"

namespace {

using A = NSLayoutAttribute;

void pin(const std::shared_ptr<UIView>& holder, const std::shared_ptr<NSObject>& a, A aa,
         const std::shared_ptr<NSObject>& b, A ba, CGFloat constant) {
    holder->addConstraint(NSLayoutConstraint::constraintWithItem(a, aa, NSLayoutRelation::Equal, b, ba, 1, constant));
}

struct GradientView : UIView {
    std::shared_ptr<CALayer> makeLayer() const override { return CAGradientLayer::make(); }
};

}  // namespace

std::shared_ptr<UIView> buildSampleViewTree(const std::shared_ptr<UIWindow>& window) {
    auto root = UIView::make(window->bounds());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    root->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
    window->addSubview(root);
    auto guide = root->safeAreaLayoutGuide();

    auto header = UIView::make();
    header->setBackgroundColor(UIColor::colorWithRed(0.1, 0.3, 0.8, 1));
    header->setTag(1);
    root->addSubview(header);
    header->setTranslatesAutoresizingMaskIntoConstraints(false);
    pin(root, header, A::Top, guide, A::Top, 0);
    pin(root, header, A::Left, root, A::Left, 0);
    pin(root, header, A::Right, root, A::Right, 0);
    pin(header, header, A::Height, nullptr, A::NotAnAttribute, 60);

    auto card = UIView::make();
    card->setBackgroundColor(UIColor::whiteColor());
    card->setTag(2);
    card->layer()->setCornerRadius(16);
    card->layer()->setBorderWidth(2);
    card->layer()->setBorderColor(CGColor::rgb(0.2, 0.2, 0.2, 1));
    card->layer()->setShadowOpacity(0.4);
    card->layer()->setShadowRadius(8);
    card->layer()->setShadowOffset({0, 4});
    root->addSubview(card);
    card->setTranslatesAutoresizingMaskIntoConstraints(false);
    pin(root, card, A::CenterX, root, A::CenterX, 0);
    pin(root, card, A::CenterY, root, A::CenterY, 0);
    pin(card, card, A::Width, nullptr, A::NotAnAttribute, 240);
    pin(card, card, A::Height, nullptr, A::NotAnAttribute, 160);

    // Inside the card: a ring of dots drawn by a replicator.
    auto dots = CAReplicatorLayer::make();
    dots->setFrame(CGRectMake(80, 40, 80, 80));
    auto dot = CALayer::make();
    dot->setFrame(CGRectMake(36, 0, 8, 8));
    dot->setCornerRadius(4);
    dot->setBackgroundColor(CGColor::rgb(0.9, 0.3, 0.1, 1));
    dots->addSublayer(dot);
    dots->setInstanceCount(8);
    dots->setInstanceTransform(CATransform3DMakeRotation(M_PI / 4, 0, 0, 1));
    dots->setInstanceAlphaOffset(-0.1f);
    card->layer()->addSublayer(dots);

    auto strip = make<GradientView>();
    strip->setTag(3);
    auto gradient = std::static_pointer_cast<CAGradientLayer>(strip->layer());
    gradient->setColors({CGColor::rgb(1, 0.6, 0, 1), CGColor::rgb(0.6, 0, 0.8, 1)});
    gradient->setStartPoint({0, 0.5});
    gradient->setEndPoint({1, 0.5});
    root->addSubview(strip);
    strip->setTranslatesAutoresizingMaskIntoConstraints(false);
    pin(root, strip, A::Bottom, guide, A::Bottom, -20);
    pin(root, strip, A::Left, guide, A::Left, 20);
    pin(root, strip, A::Right, guide, A::Right, -20);
    pin(strip, strip, A::Height, nullptr, A::NotAnAttribute, 40);

    auto check = CAShapeLayer::make();
    check->setFrame(CGRectMake(0, 0, 40, 40));
    CGPath path;
    path.moveToPoint({10, 20});
    path.addLineToPoint({18, 28});
    path.addLineToPoint({30, 12});
    check->setPath(path);
    check->setFillColor(std::nullopt);
    check->setStrokeColor(CGColor::rgb(1, 1, 1, 1));
    check->setLineWidth(4);
    check->setLineCap(CGLineCap::Round);
    check->setLineJoin(CGLineJoin::Round);
    strip->layer()->addSublayer(check);
    return root;
}

// A layer that draws its sublayers a number of times, each copy through one more instance transform.
#pragma once

#include "platform/ui/layer/ca_layer.h"

class CAReplicatorLayer : public CALayer {
public:
    KORVA_MAKE(CAReplicatorLayer)

    long instanceCount() const { return instanceCount_; }
    void setInstanceCount(long n);
    // Applied about the layer's anchor point, once more for each further copy.
    CATransform3D instanceTransform() const { return instanceTransform_; }
    void setInstanceTransform(const CATransform3D& t);
    // Time offset between copies, for animations.
    double instanceDelay() const { return instanceDelay_; }
    void setInstanceDelay(double d) { instanceDelay_ = d; }
    // Added to the alpha of each further copy (negative values fade the copies out).
    float instanceAlphaOffset() const { return instanceAlphaOffset_; }
    void setInstanceAlphaOffset(float a);

    std::string className() const override { return "CAReplicatorLayer"; }

protected:
    CAReplicatorLayer() = default;

private:
    long instanceCount_ = 1;
    CATransform3D instanceTransform_;
    double instanceDelay_ = 0;
    float instanceAlphaOffset_ = 0;
};

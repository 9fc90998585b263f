// Replicator layer properties.
#include "platform/ui/layer/ca_replicator_layer.h"

#include <algorithm>

void CAReplicatorLayer::setInstanceCount(long n) {
    instanceCount_ = std::max(0L, n);
    changed();
}

void CAReplicatorLayer::setInstanceTransform(const CATransform3D& t) {
    instanceTransform_ = t;
    changed();
}

void CAReplicatorLayer::setInstanceAlphaOffset(float a) {
    instanceAlphaOffset_ = a;
    changed();
}

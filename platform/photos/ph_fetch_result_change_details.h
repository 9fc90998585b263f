// What one library change did to a fetch result: the result fetched again and the assets that
// came, went or were modified.
#pragma once

#include <memory>
#include <vector>

#include "platform/photos/ph_asset.h"

class PHFetchResultChangeDetails : public NSObject {
public:
    KORVA_MAKE(PHFetchResultChangeDetails)
    using Assets = std::vector<std::shared_ptr<PHAsset>>;

    const std::shared_ptr<PHFetchResult>& fetchResultBeforeChanges() const { return before_; }
    const std::shared_ptr<PHFetchResult>& fetchResultAfterChanges() const { return after_; }
    // Assets of the result after the change that were not in it before.
    const Assets& insertedObjects() const { return inserted_; }
    // Assets of the result before the change that the change deleted.
    const Assets& removedObjects() const { return removed_; }
    // Assets in both whose modification date moved.
    const Assets& changedObjects() const { return changed_; }
    bool hasIncrementalChanges() const { return true; }

    std::string className() const override { return "PHFetchResultChangeDetails"; }

protected:
    PHFetchResultChangeDetails(std::shared_ptr<PHFetchResult> before, std::shared_ptr<PHFetchResult> after,
                               Assets inserted, Assets removed, Assets changed)
        : before_(std::move(before)),
          after_(std::move(after)),
          inserted_(std::move(inserted)),
          removed_(std::move(removed)),
          changed_(std::move(changed)) {}

private:
    std::shared_ptr<PHFetchResult> before_, after_;
    Assets inserted_, removed_, changed_;
};

// DownloadService: what the foundation asks of the background download service. The language
// subsystem implements it and registers its maker with ServiceFactory<DownloadService>.
#pragma once

#include "platform/runtime/object.h"

class DownloadService : public NSObject {
public:
    // Reconciles the persisted download table with the background session's live tasks.
    virtual void refresh() = 0;
};

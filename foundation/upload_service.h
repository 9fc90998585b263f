// UploadService: what the foundation asks of the background upload service. The language
// subsystem implements it and registers its maker with ServiceFactory<UploadService>.
#pragma once

#include <memory>

#include "platform/net/url_session_task.h"

class UploadService : public NSObject {
public:
    // An upload task for the request, not yet started (the caller resumes it); none when none
    // could be made. The handler runs once on the main queue with the reply data, the response
    // and the error.
    virtual std::shared_ptr<NSURLSessionUploadTask> request(NSURLRequest request, bool noti, URLCompletion handler) = 0;
};

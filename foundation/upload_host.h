// UploadHost: what the foundation asks of the background upload service. The language
// subsystem implements it and registers its maker with ServiceFactory<UploadHost>.
#pragma once

#include <memory>

#include "platform/net/url_session.h"

class UploadHost : public NSObject {
public:
    // A task for the request, not yet started (the caller resumes it). The handler runs once on
    // the main queue with the reply data, the response and the error.
    virtual std::shared_ptr<NSURLSessionDataTask> request(NSURLRequest request, bool noti, URLCompletion handler) = 0;
};

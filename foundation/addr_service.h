// AddrService: what the foundation asks of the server address book. The language subsystem implements
// it (the address book) and registers its maker with ServiceFactory<AddrService>.
#pragma once

#include <functional>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class AddrService : public NSObject {
public:
    // Fetches the remote string table; the completion runs once on the main queue with the parsed
    // dictionary, or with null when the request or the parse failed.
    virtual void stringTable(std::function<void(Value)> completion) = 0;
};

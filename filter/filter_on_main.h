// Applying an element from another thread: elements and the records they share are used on one
// thread at a time, and the preview uses its element on the main thread, so a road that gets its
// frame on another thread (a photo delivered by the platform) hops to the main thread to filter.
#pragma once

#include <functional>
#include <memory>

#include "platform/image/ci_image.h"

class FilterElement;

// Calls completion on the main thread with the element's output for the image: at once when the
// caller is on the main thread, else on the next turn of the main run loop. The element is kept
// alive until then.
void filterOnMainThread(std::shared_ptr<FilterElement> element, std::shared_ptr<CIImage> image,
                        std::function<void(std::shared_ptr<CIImage>)> completion);

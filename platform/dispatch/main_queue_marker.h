// Whether the calling thread is inside a block handed to the main queue (by dispatch_async or
// dispatch_after). The queue sets the marker around each such block.
#pragma once

bool dispatch_in_main_queue_block();

// Tells the foundation how to make the toolkit's services: the font catalogue, the palette and
// the animation holder that Global makes on first access, the glyph maker of the shared images,
// the dismisser Global uses to take presented controllers down, and the layout and image
// operations of the capture engine's photo strip. Call once at start-up, on the
// main thread.
#pragma once

void registerUIServices();

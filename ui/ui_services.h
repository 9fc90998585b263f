// Tells the foundation how to make the toolkit's services: the font catalogue, the palette and
// the animation holder that Global makes on first access, the glyph maker of the shared images,
// and the dismisser Global uses to take presented controllers down. Call once at start-up, on the
// main thread.
#pragma once

void registerUIServices();
